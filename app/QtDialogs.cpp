#include "app/QtDialogs.h"

#include "print/QtText.h"

#include <QAbstractItemView>
#include <QAbstractListModel>
#include <QApplication>
#include <QCompleter>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QUrl>

#include <algorithm>

namespace sbk3 {
namespace {

// Boxes sit over the window that asked; without a window manager nothing is ever active, so
// the visible main window stands in.
QWidget* owner() {
    // Not the splash, which may still be the active window for a moment after its click.
    if (QWidget* active = QApplication::activeWindow();
        active && active->isVisible() && active->objectName() != QStringLiteral("frmSplash"))
        return active;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->objectName() == QStringLiteral("frmMain"))
            return widget;
    return nullptr;
}

// The stored worksheets for a number box: the list shows "ADD007042  Drill ADD007042", and a
// pick puts only the number in the field.
class ChoiceModel : public QAbstractListModel {
public:
    ChoiceModel(const std::vector<ListedWorksheet>& choices, QObject* parent)
        : QAbstractListModel(parent) {
        m_numbers.reserve(static_cast<qsizetype>(choices.size()));
        m_shown.reserve(static_cast<qsizetype>(choices.size()));
        for (const ListedWorksheet& choice : choices) {
            m_numbers.push_back(fromUtf8(choice.number));
            m_shown.push_back(fromUtf8(choice.number + "  " + choice.title +
                                       (choice.incomplete ? "  (incomplete)" : "")));
        }
    }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_numbers.size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= m_numbers.size())
            return {};
        if (role == Qt::DisplayRole)
            return m_shown[index.row()];
        if (role == Qt::EditRole)
            return m_numbers[index.row()];
        return {};
    }

private:
    QStringList m_numbers;
    QStringList m_shown;
};

} // namespace

MsgResult QtDialogs::messageBox(const Message& message) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    if (message.icon == MsgIcon::Question)
        icon = QMessageBox::Question;
    else if (message.icon == MsgIcon::Exclamation)
        icon = QMessageBox::Warning;
    const bool yesNo = message.buttons == MsgButtons::YesNo;
    QMessageBox box(icon, fromUtf8(message.caption), fromUtf8(message.text),
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

std::string QtDialogs::inputBox(const std::string& prompt, const std::string& caption,
                                const std::vector<ListedWorksheet>& choices) {
    QInputDialog box(owner());
    box.setObjectName(QStringLiteral("inputBox"));
    box.setWindowTitle(fromUtf8(caption));
    box.setLabelText(fromUtf8(prompt));
    box.setInputMode(QInputDialog::TextInput);
    // Wide enough for the title bar to show the caption whole ("Save Answer Key as PDF"), with
    // room for its icon and buttons.
    box.setMinimumWidth(box.fontMetrics().horizontalAdvance(box.windowTitle()) + 200);
    if (!choices.empty()) {
        if (auto* field = box.findChild<QLineEdit*>()) {
            auto* completer = new QCompleter(new ChoiceModel(choices, &box), &box);
            completer->setObjectName(QStringLiteral("worksheetCompleter"));
            completer->setCaseSensitivity(Qt::CaseInsensitive);
            completer->setFilterMode(Qt::MatchStartsWith);
            completer->setModelSorting(QCompleter::UnsortedModel); // newest first, as given
            completer->setCompletionMode(QCompleter::PopupCompletion);
            completer->setMaxVisibleItems(12);
            field->setCompleter(completer);
            // Wide enough for a number and a title of some length, not only for the field.
            int widest = 0;
            for (const ListedWorksheet& choice : choices)
                widest = std::max(widest, field->fontMetrics().horizontalAdvance(fromUtf8(
                                              choice.number + "  " + choice.title.substr(0, 48))));
            completer->popup()->setMinimumWidth(
                widest + 2 * field->fontMetrics().averageCharWidth() +
                completer->popup()->verticalScrollBar()->sizeHint().width());
            // Return takes the number as typed, or the one picked in the list, in one press:
            // while the list is open, the completer hands Return to the field alone.
            QObject::connect(field, &QLineEdit::returnPressed, &box, &QDialog::accept);
        }
    }
    if (box.exec() != QDialog::Accepted)
        return {};
    return box.textValue().toStdString();
}

std::string QtDialogs::saveFileBox(const std::string& caption, const std::string& proposedPath) {
    return QFileDialog::getSaveFileName(owner(), fromUtf8(caption), fromUtf8(proposedPath),
                                        QStringLiteral("PDF files (*.pdf)"))
        .toStdString();
}

bool QtDialogs::openFolder(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(fromUtf8(path)));
}

} // namespace sbk3
