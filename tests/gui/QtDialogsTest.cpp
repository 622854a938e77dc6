#include "app/QtDialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
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

TEST(QtDialogsTest, MessageBoxShowsCaptionTextIconAndReturnsTheButton) {
    QtDialogs dialogs;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    whenModal([&](QWidget* widget) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        box->button(QMessageBox::Yes)->click();
    });
    const MsgResult answer = dialogs.messageBox(
        {.text = "Print now?", .buttons = MsgButtons::YesNo, .icon = MsgIcon::Question});
    EXPECT_EQ(answer, MsgResult::Yes);
    EXPECT_EQ(title, QStringLiteral("Sumbrook 3"));
    EXPECT_EQ(text, QStringLiteral("Print now?"));
    EXPECT_EQ(icon, QMessageBox::Question);

    whenModal([](QWidget* widget) {
        qobject_cast<QMessageBox*>(widget)->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(dialogs.messageBox({.text = "?", .buttons = MsgButtons::YesNo}), MsgResult::No);

    whenModal([&](QWidget* widget) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        title = box->windowTitle();
        icon = box->icon();
        EXPECT_EQ(box->buttons().size(), 1);
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(
        dialogs.messageBox({.text = "Gone", .icon = MsgIcon::Exclamation, .caption = "No Serial"}),
        MsgResult::Ok);
    EXPECT_EQ(title, QStringLiteral("No Serial"));
    EXPECT_EQ(icon, QMessageBox::Warning);
}

TEST(QtDialogsTest, InputBoxReturnsTheTextOrNothingOnCancel) {
    QtDialogs dialogs;
    QString label;
    whenModal([&](QWidget* widget) {
        auto* box = qobject_cast<QInputDialog*>(widget);
        ASSERT_NE(box, nullptr);
        label = box->labelText();
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Print Saved"));
        EXPECT_EQ(box->textValue(), QString());
        box->setTextValue(QStringLiteral("ADD007042"));
        box->accept();
    });
    EXPECT_EQ(dialogs.inputBox("Enter the worksheet number:", "Print Saved"), "ADD007042");
    EXPECT_EQ(label, QStringLiteral("Enter the worksheet number:"));

    whenModal([](QWidget* widget) {
        auto* box = qobject_cast<QInputDialog*>(widget);
        box->setTextValue(QStringLiteral("typed then cancelled"));
        box->reject();
    });
    EXPECT_EQ(dialogs.inputBox("Enter the worksheet number:", "Print Saved"), "");
}

} // namespace
} // namespace sbk3
