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
    EXPECT_EQ(dialogs.inputBox("Enter the worksheet number:", "Print Saved"), "");
}

} // namespace
} // namespace sbk3
