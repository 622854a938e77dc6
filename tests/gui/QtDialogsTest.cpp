#include "app/QtDialogs.h"

#include "app/WorksheetCatalog.h"
#include "support/TempFolder.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <chrono>
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

    // A screen reader reads the Help box without its heading's underline.
    QString spoken;
    whenModal([&](QWidget* box) {
        spoken = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->accessibleName();
        qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
    });
    dialogs.messageBox({.text = "Help\r\n====\r\n\r\nA (N) anywhere in the code means "
                                "worksheet serial."});
    EXPECT_EQ(spoken,
              QStringLiteral("Help\r\n\r\nA (N) anywhere in the code means worksheet serial."));

    whenModal([](QWidget* box) {
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Print Saved"));
        EXPECT_NE(box->findChild<QLabel*>()->text().indexOf(QStringLiteral("worksheet number")),
                  -1);
        box->findChild<QLineEdit*>()->setText(QStringLiteral("typed then cancelled"));
        QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_EQ(dialogs.inputBox("Enter the worksheet number:", "Print Saved", {}), "");
}

// The number box offers what matches any part of a number or title, newest first, in a list
// that is part of the box: it never covers OK and Cancel.
TEST(QtDialogsTest, TheNumberBoxOffersWhatMatchesAnyPartOfNumberOrTitle) {
    test::TempFolder folder;
    int age = 0;
    for (const auto& [number, title] : std::vector<std::pair<std::string, std::string>>{
             {"MIX008042", "Friday test"}, {"ADD007238", "Drill"}, {"SUB001001", "Take away"}}) {
        test::writeBytes(folder / number, "\"" + title + "\",\"" + number + "\",1\r\n1,2,+\r\n");
        std::filesystem::last_write_time(folder / number,
                                         std::filesystem::file_time_type::clock::now() -
                                             std::chrono::hours(++age));
    }
    QtDialogs dialogs;
    const auto shownNumbers = [](QTreeView* list) {
        QStringList numbers;
        for (int row = 0; row < list->model()->rowCount(); ++row)
            numbers << list->model()->index(row, 0).data().toString();
        return numbers;
    };
    QStringList fridayTest, all;
    bool coversButtons = true;
    whenModal([&](QWidget* box) {
        auto* field = box->findChild<QLineEdit*>();
        auto* list = box->findChild<QTreeView*>(QStringLiteral("lstChoices"));
        ASSERT_NE(list, nullptr);
        auto* catalog = qobject_cast<WorksheetCatalog*>(list->model());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !catalog->isReading(); }, 5000));
        EXPECT_FALSE(list->isVisible());      // nothing typed yet
        QTest::keyClick(field, Qt::Key_Down); // an empty box lists the newest first
        all = shownNumbers(list);
        QTest::keyClicks(field, QStringLiteral("fri TEST"));
        fridayTest = shownNumbers(list);
        QTest::keyClicks(field, QStringLiteral("x"));
        EXPECT_FALSE(list->isVisible()); // nothing matches "fri TESTx"
        field->clear();
        QTest::keyClicks(field, QStringLiteral("238"));
        EXPECT_TRUE(list->isVisible());
        const QRect listArea(list->mapTo(box, QPoint()), list->size());
        coversButtons = false;
        for (QPushButton* button : box->findChildren<QPushButton*>())
            coversButtons |=
                listArea.intersects(QRect(button->mapTo(box, QPoint()), button->size()));
        QTest::keyClick(field, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return); // takes the worksheet in one press
    });
    const std::string answer =
        dialogs.inputBox("Enter the worksheet number:", "Print Saved", folder.path());
    EXPECT_EQ(all, (QStringList{QStringLiteral("MIX008042"), QStringLiteral("ADD007238"),
                                QStringLiteral("SUB001001")}));
    EXPECT_EQ(fridayTest, QStringList{QStringLiteral("MIX008042")});
    EXPECT_FALSE(coversButtons);
    EXPECT_EQ(answer, "ADD007238");
}

} // namespace
} // namespace sbk3
