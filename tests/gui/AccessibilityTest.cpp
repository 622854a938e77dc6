#include "app/Accessibility.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace sbk3 {
namespace {

// Ends the whole run where a query has not come back in 10 seconds: a hang is a failure, not a
// test that never ends.
class Watchdog {
public:
    Watchdog()
        : m_thread([this] {
              for (int k = 0; k < 100 && !m_done; ++k)
                  std::this_thread::sleep_for(std::chrono::milliseconds(100));
              if (!m_done) {
                  std::fputs("FAILED: an accessibility query did not come back\n", stderr);
                  std::_Exit(1);
              }
          }) {}
    ~Watchdog() {
        m_done = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

// What a screen reader asks of a text box: the word at the end of "30" (the query that spun for
// ever in Qt's own answer), the run of attributes (empty in Qt's, after which the last character
// was not read), a whole selection, and an edit.
TEST(AccessibilityTest, ATextBoxAnswersTheWordAtItsEndAndOneRunOverItsText) {
    installAccessibility();
    QLineEdit box(QStringLiteral("30"));
    box.show();
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(&box);
    ASSERT_NE(read, nullptr);
    QAccessibleTextInterface* text = read->textInterface();
    ASSERT_NE(text, nullptr);
    const Watchdog watching;
    for (const QString& value : {QStringLiteral("30"), QStringLiteral("Sums (N)"),
                                 QStringLiteral("Year 3 sums"), QString()}) {
        box.setText(value);
        const int count = static_cast<int>(value.size());
        int start = -1, end = -1;
        const QString word = text->textAtOffset(count, QAccessible::WordBoundary, &start, &end);
        EXPECT_EQ(end, count > 0 ? count : end) << value.toStdString();
        EXPECT_TRUE(value.endsWith(word)) << value.toStdString() << " / " << word.toStdString();
        text->textAtOffset(count, QAccessible::SentenceBoundary, &start, &end);
        text->attributes(count > 0 ? count - 1 : 0, &start, &end);
        EXPECT_EQ(std::pair(start, end), std::pair(0, count)) << value.toStdString();
    }
    box.setText(QStringLiteral("(N)"));
    box.selectAll();
    int start = -1, end = -1;
    ASSERT_EQ(text->selectionCount(), 1);
    text->selection(0, &start, &end);
    EXPECT_EQ(text->text(start, end), QStringLiteral("(N)"));
    EXPECT_EQ(read->text(QAccessible::Value), QStringLiteral("(N)"));
    read->editableTextInterface()->insertText(0, QStringLiteral("Sums "));
    EXPECT_EQ(box.text(), QStringLiteral("Sums (N)"));
    box.setEchoMode(QLineEdit::Password);
    EXPECT_NE(read->text(QAccessible::Value), box.text());
}

} // namespace
} // namespace sbk3
