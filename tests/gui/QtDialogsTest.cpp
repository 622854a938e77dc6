#include "app/QtDialogs.h"

#include <QApplication>
#include <QCompleter>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace sbk3 {
namespace {

// Runs answer on the box once it is up; a real modal box blocks until something closes it.
void whenModal(std::function<void(QWidget*)> answer) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            answer(box);
        }
    });
    timer->start(10);
}

// Real boxes, closed by a timer as a person would close them.
TEST(QtDialogsTest, RealBoxesCarryCaptionIconAndReturnTheAnswer) {
    QtDialogs dialogs;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    whenModal([&](QWidget* widget) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        icon = box->icon();
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(dialogs.messageBox(
                  {.text = "Print now?", .buttons = MsgButtons::YesNo, .icon = MsgIcon::Question}),
              MsgResult::Yes);
    EXPECT_EQ(title, QStringLiteral("Sumbrook 3"));
    EXPECT_EQ(icon, QMessageBox::Question);

    whenModal([](QWidget* widget) {
        auto* box = qobject_cast<QInputDialog*>(widget);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Print Saved"));
        EXPECT_EQ(box->labelText(), QStringLiteral("Enter the worksheet number:"));
        box->setTextValue(QStringLiteral("typed then cancelled"));
        box->reject();
    });
    EXPECT_EQ(dialogs.inputBox("Enter the worksheet number:", "Print Saved", {}), "");
}

TEST(QtDialogsTest, TheNumberBoxCompletesFromTheStoredWorksheets) {
    QtDialogs dialogs;
    const std::vector<ListedWorksheet> stored = {{"MIX008042", "Mixed drill"},
                                                 {"ADD007042", "Drill ADD007042"},
                                                 {"ADD030001", "Sums"},
                                                 {"SUB001001", "Take away"}};
    QStringList offered;
    QString picked;
    whenModal([&](QWidget* widget) {
        auto* field = widget->findChild<QLineEdit*>();
        ASSERT_NE(field, nullptr);
        QCompleter* completer = field->completer();
        ASSERT_NE(completer, nullptr);
        completer->setCompletionPrefix(QStringLiteral("add0")); // as typed, any letter case
        for (int row = 0; row < completer->completionCount(); ++row) {
            completer->setCurrentRow(row);
            offered << completer->completionModel()
                           ->data(completer->currentIndex(), Qt::DisplayRole)
                           .toString();
        }
        completer->setCurrentRow(0);
        picked = completer->currentCompletion(); // what a pick puts in the field
        field->setText(picked);
        QTest::keyClick(field, Qt::Key_Return); // one press takes it
    });
    const std::string answer =
        dialogs.inputBox("Enter the worksheet number:", "Print Saved", stored);
    EXPECT_EQ(offered, (QStringList{QStringLiteral("ADD007042  Drill ADD007042"),
                                    QStringLiteral("ADD030001  Sums")}));
    EXPECT_EQ(picked, QStringLiteral("ADD007042"));
    EXPECT_EQ(answer, "ADD007042");
}

} // namespace
} // namespace sbk3
