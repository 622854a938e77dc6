#include "app/QtDialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace sbk3 {
namespace {

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

// Boxes sit over the window that asked; without a window manager nothing is ever active, so
// the visible main window stands in.
QWidget* owner() {
    if (QWidget* active = QApplication::activeWindow())
        return active;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->objectName() == QStringLiteral("frmMain"))
            return widget;
    return nullptr;
}

} // namespace

MsgResult QtDialogs::messageBox(const Message& message) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    if (message.icon == MsgIcon::Question)
        icon = QMessageBox::Question;
    else if (message.icon == MsgIcon::Exclamation)
        icon = QMessageBox::Warning;
    const bool yesNo = message.buttons == MsgButtons::YesNo;
    QMessageBox box(icon, q(message.caption), q(message.text),
                    yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, owner());
    box.setObjectName(QStringLiteral("messageBox"));
    if (yesNo) {
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    }
    const int pressed = box.exec();
    if (!yesNo)
        return MsgResult::Ok;
    return pressed == QMessageBox::Yes ? MsgResult::Yes : MsgResult::No;
}

std::string QtDialogs::inputBox(const std::string& prompt, const std::string& caption) {
    QInputDialog box(owner());
    box.setObjectName(QStringLiteral("inputBox"));
    box.setWindowTitle(q(caption));
    box.setLabelText(q(prompt));
    box.setInputMode(QInputDialog::TextInput);
    if (box.exec() != QDialog::Accepted)
        return {};
    return box.textValue().toStdString();
}

} // namespace sbk3
