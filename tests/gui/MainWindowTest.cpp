#include "app/MainWindow.h"

#include "support/FakeDialogs.h"
#include "support/RecordingPrinter.h"
#include "support/ScriptedRandom.h"
#include "support/TempFolder.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <optional>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace sbk3 {
namespace {

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest()
        : window(MainPorts{dialogs, printer, random, folder.path(), ".", [this] { ++ended; },
                           documents.path(),
                           [this](const ClassSetRequest& opening, bool easy) {
                               settingsOpenings.push_back({opening, easy});
                               return settingsAnswer;
                           }}) {
        // What earlier tests of this run kept is not this one's.
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Sumbrook"),
                  QStringLiteral("SBK3"))
            .clear();
    }

    template <typename T> T* control(const char* name) {
        T* found = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    void showAndFocus() {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    std::string focusName() const {
        const QWidget* focus = QApplication::focusWidget();
        return focus ? focus->objectName().toStdString() : "<none>";
    }

    test::FakeDialogs dialogs;
    test::RecordingPrinter printer;
    test::ScriptedRandom random{{0.0425f, 0.95f, 0.15f}};
    std::vector<std::pair<ClassSetRequest, bool>> settingsOpenings;
    std::optional<ClassSetRequest> settingsAnswer;
    test::TempFolder folder;
    test::TempFolder documents;
    int ended = 0;
    frmMain window;
};

TEST_F(MainWindowTest, StateAfterLoad) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Sumbrook 3"));
    EXPECT_TRUE(printer.log.empty()); // loading touches no printer
    EXPECT_EQ(control<QLineEdit>("txtTitle")->text(), QStringLiteral("Math Worksheet - (N)"));
    EXPECT_EQ(control<QLineEdit>("txtNumOfProblems")->text(), QStringLiteral("30"));
    EXPECT_EQ(control<QLineEdit>("txtAppend")->text(), QString());
    auto* type = control<QComboBox>("cboType");
    EXPECT_FALSE(type->isEditable());
    EXPECT_EQ(type->currentText(), QStringLiteral("Addition"));
    QStringList items;
    for (int i = 0; i < type->count(); ++i)
        items << type->itemText(i);
    EXPECT_EQ(items, (QStringList{QStringLiteral("Addition"), QStringLiteral("Subtraction"),
                                  QStringLiteral("Multiplication"), QStringLiteral("Division"),
                                  QStringLiteral("Mixed")}));
    EXPECT_TRUE(control<QRadioButton>("optEasy")->isChecked());
    EXPECT_FALSE(control<QRadioButton>("optCompact")->isChecked());
    auto* bold = control<QPushButton>("chkBold");
    EXPECT_TRUE(bold->isCheckable());
    EXPECT_FALSE(bold->isChecked());
    EXPECT_EQ(window.ProblemPos(1), (Position{3, 4}));
    EXPECT_EQ(window.ProblemPos(80), (Position{93, 60}));
    for (int k = 81; k <= 300; ++k)
        ASSERT_EQ(window.ProblemPos(k), (Position{0, 0})) << k;
    EXPECT_FALSE(window.sheet.PrintNewSheet);
    EXPECT_EQ(window.sheet.SheetCode, "");
    EXPECT_EQ(window.font().family(), QStringLiteral("MS Sans Serif"));
    EXPECT_DOUBLE_EQ(window.font().pointSizeF(), 9.75);
}

TEST_F(MainWindowTest, WindowAndControlsTakeTheirTwipGeometry) {
    ASSERT_EQ(window.logicalDpiX(), 96); // 15 twips to a pixel
    EXPECT_EQ(window.size(), QSize(314, 272));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    const struct {
        const char* name;
        const char* caption;
        int left, top, width, height;
    } table[] = {
        {"lblTitle", "Worksheet Title:", 120, 120, 1455, 240},
        {"txtTitle", nullptr, 1725, 120, 2730, 345},
        {"lblType", "Type:", 120, 600, 525, 240},
        {"cboType", nullptr, 720, 600, 3735, 360},
        {"lblNumOfProblems", "Number Of Problems:", 120, 1080, 1905, 240},
        {"txtNumOfProblems", nullptr, 2160, 1080, 2295, 345},
        {"lblCopyright", "Append At Bottom:", 120, 1560, 1665, 240},
        {"txtAppend", nullptr, 1920, 1560, 2535, 345},
        {"optEasy", "Easy Reading", 480, 2040, 1695, 375},
        {"optCompact", "Compact Test", 2640, 2040, 1695, 375},
        {"cmdPrint", "Print/Save", 240, 2640, 1215, 495},
        {"cmdPrintSaved", "Print Saved", 1800, 2640, 1215, 495},
        {"chkBold", "Bold", 3360, 2640, 1215, 495},
        {"cmdHelp", "Help", 240, 3360, 1215, 495},
        {"cmdAbout", "About", 1800, 3360, 1215, 495},
        {"cmdExit", "Exit", 3360, 3360, 1215, 495},
    };
    for (const auto& row : table) {
        QWidget* widget = control<QWidget>(row.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(),
                  QRect(row.left / 15, row.top / 15, row.width / 15, row.height / 15))
            << row.name;
        EXPECT_EQ(widget->font().family(), QStringLiteral("MS Sans Serif")) << row.name;
        if (!row.caption)
            continue;
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            EXPECT_EQ(label->text(), QString::fromLatin1(row.caption));
            // The caption fits its box with the font the program substitutes.
            EXPECT_LE(label->sizeHint().width(), label->width() + 2) << row.name;
        } else {
            EXPECT_EQ(qobject_cast<QAbstractButton*>(widget)->text(),
                      QString::fromLatin1(row.caption));
        }
    }
}

TEST_F(MainWindowTest, TextBoxesRefuseCharactersBeyondTheirLimit) {
    auto* count = control<QLineEdit>("txtNumOfProblems");
    count->clear();
    QTest::keyClicks(count, QStringLiteral("1a -"));
    EXPECT_EQ(count->text(), QStringLiteral("1a "));
    auto* append = control<QLineEdit>("txtAppend");
    QTest::keyClicks(append, QString(129, QLatin1Char('z')));
    EXPECT_EQ(append->text().size(), 128);
    auto* title = control<QLineEdit>("txtTitle");
    title->clear();
    QTest::keyClicks(title, QString(300, QLatin1Char('t')));
    EXPECT_EQ(title->text().size(), 300);
}

TEST_F(MainWindowTest, TabWalksTheControlsAndOnlyTheSelectedOptionIsAStop) {
    showAndFocus();
    EXPECT_EQ(focusName(), "txtTitle");
    const std::vector<std::string> withEasy = {
        "cboType", "txtNumOfProblems", "txtAppend", "optEasy", "cmdPrint", "cmdPrintSaved",
        "chkBold", "cmdHelp",          "cmdAbout",  "cmdExit", "txtTitle"};
    std::vector<std::string> seen;
    for (std::size_t i = 0; i < withEasy.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        seen.push_back(focusName());
    }
    EXPECT_EQ(seen, withEasy);

    // Shift+Tab walks back; with Compact selected it is the stop instead.
    control<QRadioButton>("optCompact")->click();
    control<QPushButton>("cmdPrint")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(focusName(), "optCompact");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(focusName(), "txtAppend");
}

TEST_F(MainWindowTest, ArrowKeysMoveTheLayoutChoiceAndRefillThePositions) {
    showAndFocus();
    auto* easy = control<QRadioButton>("optEasy");
    auto* compact = control<QRadioButton>("optCompact");
    easy->setFocus();
    QTest::keyClick(easy, Qt::Key_Right);
    EXPECT_TRUE(compact->isChecked());
    EXPECT_FALSE(easy->isChecked());
    EXPECT_EQ(focusName(), "optCompact");
    EXPECT_EQ(window.ProblemPos(1), (Position{1, 4}));
    EXPECT_EQ(window.ProblemPos(300), (Position{96, 60}));

    QTest::keyClick(compact, Qt::Key_Up);
    EXPECT_TRUE(easy->isChecked());
    EXPECT_EQ(window.ProblemPos(1), (Position{3, 4}));
    EXPECT_EQ(window.ProblemPos(80), (Position{93, 60}));
    EXPECT_EQ(window.ProblemPos(81), (Position{1, 20})); // compact's, kept

    QTest::keyClick(easy, Qt::Key_Down);
    EXPECT_TRUE(compact->isChecked());
    QTest::mouseClick(easy, Qt::LeftButton);
    EXPECT_TRUE(easy->isChecked());
    EXPECT_EQ(window.ProblemPos(11), (Position{3, 12}));
}

TEST_F(MainWindowTest, AboutAndHelpShowOneFixedBoxEach) {
    control<QPushButton>("cmdAbout")->click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const Message& about = dialogs.last();
    EXPECT_EQ(about.caption, "About");
    EXPECT_EQ(about.buttons, MsgButtons::Ok);
    EXPECT_EQ(about.icon, MsgIcon::None);
    EXPECT_EQ(about.text.rfind("About\r\n=====\r\n\r\n", 0), 0u);
    EXPECT_EQ(about.text.substr(about.text.size() - 15), "\r\nVersion: 1.12");
    EXPECT_EQ(std::count(about.text.begin(), about.text.end(), '\n'), 4);

    control<QPushButton>("cmdHelp")->click();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.last().caption, "Help");
    EXPECT_EQ(dialogs.last().icon, MsgIcon::None);
    EXPECT_EQ(dialogs.last().text,
              "Help\r\n====\r\n\r\nA (N) anywhere in the code means worksheet serial.");
    EXPECT_EQ(window.sheet.SheetCode, "");
    EXPECT_TRUE(printer.log.empty());
}

TEST_F(MainWindowTest, ExitEscapeAndTheCloseBoxEndTheProgram) {
    showAndFocus();
    control<QPushButton>("cmdExit")->click();
    EXPECT_EQ(ended, 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(ended, 2);
    window.close();
    EXPECT_EQ(ended, 3);
}

TEST_F(MainWindowTest, EscOnAnOpenListOnlyClosesIt) {
    showAndFocus();
    auto* type = control<QComboBox>("cboType");
    type->setFocus();
    type->showPopup();
    QWidget* list = QApplication::activePopupWidget();
    ASSERT_NE(list, nullptr);
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(ended, 0);
    QTest::qWait(150);
    QTest::keyClick(type, Qt::Key_Escape); // no control uses this one: Exit
    EXPECT_EQ(ended, 1);

    // As on Wayland: the Esc that closes the list reaches the window again before its release,
    // and repeats there. Only a new Esc is Exit.
    type->showPopup();
    list = QApplication::activePopupWidget();
    ASSERT_NE(list, nullptr);
    QTest::keyPress(list, Qt::Key_Escape);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    QTest::keyPress(type, Qt::Key_Escape);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(type, &repeat);
    EXPECT_EQ(ended, 1);
    QTest::keyRelease(type, Qt::Key_Escape);
    QTest::qWait(150);
    QTest::keyClick(type, Qt::Key_Escape);
    EXPECT_EQ(ended, 2);

    // As sway does it: the list closes as the Esc is pressed, which then reaches the window.
    type->showPopup();
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    type->hidePopup();
    QTest::keyClick(type, Qt::Key_Escape);
    EXPECT_EQ(ended, 2);
    QTest::qWait(150);
    QTest::keyClick(type, Qt::Key_Escape);
    EXPECT_EQ(ended, 3);
}

TEST_F(MainWindowTest, ReturnAndEnterPressTheFocusedButton) {
    showAndFocus();
    dialogs.typed = {"", ""}; // Print Saved asks, and is cancelled
    const struct {
        const char* button;
        std::function<bool()> ran;
    } cases[] = {
        {"cmdHelp", [&] { return !dialogs.messages.empty() && dialogs.last().caption == "Help"; }},
        {"cmdAbout",
         [&] { return !dialogs.messages.empty() && dialogs.last().caption == "About"; }},
        {"cmdPrintSaved", [&] { return !dialogs.inputs.empty(); }},
        {"cmdPrint", [&] { return !window.sheet.SheetCode.empty(); }},
        {"chkBold", [&] { return control<QPushButton>("chkBold")->isChecked(); }},
        {"cmdExit", [&] { return ended > 0; }},
    };
    for (const auto& c : cases) {
        for (const auto& [key, modifier] : {std::pair{Qt::Key_Return, Qt::NoModifier},
                                            std::pair{Qt::Key_Enter, Qt::KeypadModifier}}) {
            dialogs.messages.clear();
            dialogs.inputs.clear();
            window.sheet.SheetCode.clear();
            ended = 0;
            auto* button = control<QPushButton>(c.button);
            if (button->isCheckable())
                button->setChecked(false);
            button->setFocus();
            QTest::keyClick(button, key, modifier);
            EXPECT_TRUE(c.ran()) << c.button << " " << key;
        }
    }
}

TEST_F(MainWindowTest, EachBoxIsNamedByItsLabel) {
    const struct {
        const char* control;
        const char* label;
    } cases[] = {{"txtTitle", "lblTitle"},
                 {"cboType", "lblType"},
                 {"txtNumOfProblems", "lblNumOfProblems"},
                 {"txtAppend", "lblCopyright"}};
    for (const auto& c : cases) {
        QAccessibleInterface* accessible =
            QAccessible::queryAccessibleInterface(control<QWidget>(c.control));
        ASSERT_NE(accessible, nullptr) << c.control;
        // A drop-down is read with its value, "Type: Addition": screen readers read no value of
        // a box that takes focus.
        const auto* list = qobject_cast<QComboBox*>(control<QWidget>(c.control));
        const QString value = list ? QStringLiteral(" ") + list->currentText() : QString();
        EXPECT_EQ(accessible->text(QAccessible::Name), control<QLabel>(c.label)->text() + value)
            << c.control;
        EXPECT_EQ(control<QLabel>(c.label)->buddy(), control<QWidget>(c.control));
    }
    // Each new value of the focused drop-down is announced, as a notification that appears.
    showAndFocus();
    auto* type = control<QComboBox>("cboType");
    type->setFocus();
    QTest::keyClick(type, Qt::Key_Down);
    const auto* said = window.findChild<QLabel*>(QStringLiteral("announcement"));
    ASSERT_NE(said, nullptr);
    EXPECT_EQ(said->text(), type->currentText());
    EXPECT_NE(said->text(), QStringLiteral("Addition"));
    EXPECT_TRUE(said->isVisible());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(const_cast<QLabel*>(said))->role(),
              QAccessible::Notification);
}

// The library is one window beside the main one, never a second copy, and the main window stays
// usable while it is open.
TEST_F(MainWindowTest, TheWorksheetLibraryOpensOnceAndLeavesTheWindowUsable) {
    showAndFocus();
    auto* library = control<QAction>("actWorksheetLibrary");
    library->trigger();
    library->trigger();
    QWidgetList open;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QStringLiteral("frmLibrary") && widget->isVisible())
            open << widget;
    ASSERT_EQ(open.size(), 1);
    EXPECT_EQ(open[0]->windowTitle(), QStringLiteral("Worksheet Library"));
    EXPECT_FALSE(open[0]->isModal());
    ASSERT_NE(open[0]->focusWidget(), nullptr);
    EXPECT_EQ(open[0]->focusWidget()->accessibleName(), QStringLiteral("Search"));
    open[0]->close();
}

TEST_F(MainWindowTest, TheContextMenuOffersTheCommandsBesideTheWindow) {
    showAndFocus();
    auto* menu = control<QMenu>("contextMenu");
    std::vector<std::string> items;
    for (const QAction* action : menu->actions())
        items.push_back(action->isSeparator() ? "-" : action->text().toStdString());
    EXPECT_EQ(items, (std::vector<std::string>{"Print Answer Key...", "Save Worksheet as PDF...",
                                               "Save Answer Key as PDF...",
                                               "New Worksheets with Settings...", "-",
                                               "Worksheet Library...", "Open Worksheet Folder"}));

    // Opened by a right-click on the window, a label or a button, or the Menu key on a button;
    // a text box keeps its own menu.
    const auto opensOn = [&](QWidget* widget, bool keyboard) {
        menu->hide();
        if (keyboard) {
            widget->setFocus();
            QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(2, 2),
                                    widget->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(widget, &event);
        } else {
            QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2),
                                    widget->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(widget, &event);
        }
        const bool open = menu->isVisible();
        menu->hide();
        QApplication::processEvents();
        return open;
    };
    EXPECT_TRUE(opensOn(&window, false));
    EXPECT_TRUE(opensOn(control<QLabel>("lblType"), false));
    EXPECT_TRUE(opensOn(control<QPushButton>("cmdPrint"), false));
    EXPECT_TRUE(opensOn(control<QPushButton>("cmdAbout"), true));
    EXPECT_FALSE(opensOn(control<QLineEdit>("txtTitle"), false));
    // By keyboard: Shift+F10 from every control that takes focus, the Menu key from all but the
    // text boxes, which keep their edit menu there.
    for (QWidget* focusable : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (focusable->focusPolicy() == Qt::NoFocus || focusable == menu)
            continue;
        for (const auto& [key, modifier] :
             {std::pair{Qt::Key_Menu, Qt::NoModifier}, std::pair{Qt::Key_F10, Qt::ShiftModifier}}) {
            menu->hide();
            focusable->setFocus();
            QTest::keyClick(focusable, key, modifier);
            const bool textBox = qobject_cast<QLineEdit*>(focusable) != nullptr;
            EXPECT_EQ(menu->isVisible(), key == Qt::Key_F10 || !textBox)
                << focusable->objectName().toStdString() << " " << key;
            menu->hide();
            if (QWidget* own = QApplication::activePopupWidget())
                own->close();
        }
    }
    EXPECT_EQ(menu->accessibleName(), QStringLiteral("More Commands"));
    QApplication::processEvents();
    if (QWidget* own = QApplication::activePopupWidget())
        own->close();

    // Each item reaches its command; every item has an object name.
    const std::pair<const char*, const char*> asks[] = {
        {"actPrintAnswerKey", "Print Answer Key"},
        {"actSaveWorksheetPdf", "Save Worksheet as PDF"},
        {"actSaveAnswerKeyPdf", "Save Answer Key as PDF"}};
    for (const auto& [name, caption] : asks) {
        dialogs.inputs.clear();
        window.findChild<QAction*>(QString::fromLatin1(name))->trigger();
        ASSERT_EQ(dialogs.inputs.size(), 1u) << caption;
        EXPECT_EQ(dialogs.inputs[0].caption, caption);
    }
    auto* folderItem = window.findChild<QAction*>(QStringLiteral("actOpenWorksheetFolder"));
    folderItem->trigger();
    EXPECT_EQ(dialogs.openedFolders, std::vector<std::string>{folder.path().string()});
    dialogs.folderOpens = false; // no file manager: the box names the folder
    folderItem->trigger();
    EXPECT_EQ(dialogs.last().text,
              "The worksheets are stored in the folder:\n" + folder.path().string());
}

TEST_F(MainWindowTest, PrintSaveFromTheWindowStoresAMixedSheet) {
    auto* count = control<QLineEdit>("txtNumOfProblems");
    count->selectAll();
    QTest::keyClicks(count, QStringLiteral("7"));
    auto* type = control<QComboBox>("cboType");
    type->setCurrentIndex(type->findText(QStringLiteral("Mixed")));
    QTest::mouseClick(control<QPushButton>("cmdPrint"), Qt::LeftButton);

    EXPECT_EQ(window.sheet.SheetCode, "MIX007042");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.last().buttons, MsgButtons::YesNo);
    const std::string bytes = test::readBytes(folder / "MIX007042");
    EXPECT_EQ(bytes.rfind("\"Math Worksheet - MIX007042\",\"MIX007042\",7\r\n", 0), 0u);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 8);
    EXPECT_FALSE(window.sheet.PrintNewSheet);
    EXPECT_EQ(printer.calls("EndDoc").size(), 0u);
}

// The menu's settings: opened with what Print/Save would make, kept until the program ends; a
// class set is stored and printed as one document, and one box says what was made.
TEST_F(MainWindowTest, NewWorksheetsWithSettingsMakesAClassSetInOneJob) {
    auto* count = control<QLineEdit>("txtNumOfProblems");
    count->setText(QStringLiteral("12"));
    auto* type = control<QComboBox>("cboType");
    type->setCurrentIndex(type->findText(QStringLiteral("Division")));
    auto* item = window.findChild<QAction*>(QStringLiteral("actNewWorksheetsWithSettings"));
    item->trigger(); // Cancel
    ASSERT_EQ(settingsOpenings.size(), 1u);
    EXPECT_EQ(settingsOpenings[0].first.settings, SettingsForType("Division"));
    EXPECT_EQ(settingsOpenings[0].first.problems, 12);
    EXPECT_TRUE(settingsOpenings[0].second); // Easy Reading
    EXPECT_TRUE(dialogs.messages.empty());

    ClassSetRequest request = settingsOpenings[0].first;
    request.versions = 2;
    request.keys = AnswerKeys::AfterEach;
    request.printer = "Office";
    settingsAnswer = request;
    item->trigger();
    EXPECT_TRUE(window.isMakingClassSet()); // made off the window's thread
    item->trigger();                        // one set at a time: no second dialog meanwhile
    EXPECT_EQ(settingsOpenings.size(), 2u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.isMakingClassSet(); }, 10000));
    EXPECT_EQ(printer.calls("Printer"), std::vector<std::string>{"Printer Office"});
    EXPECT_EQ(printer.calls("NewPage").size(), 3u); // sheet, key, sheet, key
    EXPECT_EQ(printer.calls("EndDoc").size(), 1u);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.last().caption, "New Worksheets with Settings");
    EXPECT_EQ(dialogs.last().text.rfind("Made 2 worksheets (DIV012", 0), 0u) << dialogs.last().text;
    EXPECT_NE(dialogs.last().text.find(": 4 pages sent to the printer Office."), std::string::npos)
        << dialogs.last().text;
    // The values are kept for the next time, and for the next run of the program: a new window
    // opens the dialog with them, its own page (title, layout, Bold, bottom line) beside them.
    item->trigger();
    EXPECT_EQ(settingsOpenings.back().first.versions, 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.isMakingClassSet(); }, 10000));
    std::vector<ClassSetRequest> reopened;
    frmMain restarted(MainPorts{dialogs, printer, random, folder.path(), ".", [] {},
                                documents.path(),
                                [&](const ClassSetRequest& opening, bool) {
                                    reopened.push_back(opening);
                                    return std::nullopt;
                                }});
    restarted.findChild<QLineEdit*>(QStringLiteral("txtTitle"))->setText(QStringLiteral("New (N)"));
    restarted.findChild<QAction*>(QStringLiteral("actNewWorksheetsWithSettings"))->trigger();
    ASSERT_EQ(reopened.size(), 1u);
    EXPECT_EQ(reopened[0].settings, request.settings);
    EXPECT_EQ(reopened[0].versions, 2);
    EXPECT_EQ(reopened[0].keys, AnswerKeys::AfterEach);
    EXPECT_EQ(reopened[0].printer, "Office");
    EXPECT_EQ(reopened[0].title, "New (N)");
}

} // namespace
} // namespace sbk3
