#include "app/QtDialogs.h"

#include "app/ScreenFit.h"
#include "app/WorksheetCatalog.h"
#include "print/QtText.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

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

// A number box: the prompt, the field and, below the field and above the buttons, the stored
// worksheets that match what is typed (any part of the number or title), newest first. Down
// opens the list on an empty field too; Return or a double click in it takes that worksheet.
class NumberBox : public QDialog {
public:
    NumberBox(const QString& prompt, const QString& caption,
              const std::filesystem::path& offeredFolder, QWidget* parent)
        : QDialog(parent), m_field(new QLineEdit(this)) {
        setObjectName(QStringLiteral("inputBox"));
        setWindowTitle(caption);
        auto* label = new QLabel(prompt, this);
        label->setBuddy(m_field);
        m_field->setObjectName(QStringLiteral("txtNumber"));
        m_field->setAccessibleName(prompt);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(label);
        layout->addWidget(m_field);
        if (!offeredFolder.empty()) {
            m_catalog = new WorksheetCatalog(offeredFolder, this);
            m_list = newCatalogView(m_catalog, this);
            m_list->setObjectName(QStringLiteral("lstChoices"));
            m_list->setAccessibleName(QStringLiteral("Stored worksheets"));
            m_list->setColumnHidden(WorksheetCatalog::TypeColumn, true);
            m_list->setColumnHidden(WorksheetCatalog::ProblemsColumn, true);
            const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
            m_list->setMinimumSize(
                QSize(60 * digit, 10 * m_list->fontMetrics().height())
                    .boundedTo(roomOnScreen(this) - QSize(40, 8 * fontMetrics().height())));
            m_list->hide();
            // Where the box cannot be moved (Wayland: the compositor keeps its corner), the
            // list's room is there from the start, so the box never grows off its window.
            if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
                QSizePolicy keepsRoom = m_list->sizePolicy();
                keepsRoom.setRetainSizeWhenHidden(true);
                m_list->setSizePolicy(keepsRoom);
            }
            layout->addWidget(m_list, 1);
            connect(m_field, &QLineEdit::textEdited, this, &NumberBox::typed);
            connect(m_list, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
                m_field->setText(m_catalog->numberAt(index.row()));
                accept();
            });
            connect(m_catalog, &QAbstractItemModel::layoutChanged, this, &NumberBox::fit);
            m_field->installEventFilter(this);
        }
        layout->addWidget(buttons);
        // Wide enough for the title bar to show the caption whole ("Save Answer Key as PDF"),
        // with room for its icon and buttons.
        setMinimumWidth(fontMetrics().horizontalAdvance(caption) + 200);
        m_field->setFocus();
    }

    QString text() const { return m_field->text(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_field && event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Down) {
            m_open = true;
            fit();
            if (m_catalog->rowCount() > 0) {
                m_list->setFocus();
                m_list->setCurrentIndex(m_catalog->index(0, 0));
            }
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }

private:
    void typed(const QString& text) {
        m_open = !text.trimmed().isEmpty();
        m_catalog->setSearch(text);
        fit();
    }

    // The list shows while there is something to offer, and never covers the buttons: it is
    // part of the box, which grows to hold it.
    void fit() {
        const bool show = m_open && m_catalog->rowCount() > 0;
        if (show == m_list->isVisible())
            return;
        // The box grows about its middle, not from its corner, and stays on the screen and over
        // its window.
        const QPoint middle = frameGeometry().center();
        m_list->setVisible(show);
        adjustSize();
        if (isVisible())
            move(pos() + middle - frameGeometry().center());
        fitOnScreen(this, size());
    }

    QLineEdit* m_field;
    WorksheetCatalog* m_catalog = nullptr;
    QTreeView* m_list = nullptr;
    bool m_open = false;
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
    // A screen reader reads the text without the lines that only underline a heading.
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
        label->setAccessibleName(spokenText(box.text()));
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
                                const std::filesystem::path& offeredFolder) {
    NumberBox box(fromUtf8(prompt), fromUtf8(caption), offeredFolder, owner());
    if (box.exec() != QDialog::Accepted)
        return {};
    return box.text().toStdString();
}

int QtDialogs::numberBox(const std::string& prompt, const std::string& caption, int value, int low,
                         int high) {
    bool ok = false;
    const int number = QInputDialog::getInt(owner(), fromUtf8(caption), fromUtf8(prompt), value,
                                            low, high, 1, &ok);
    return ok ? number : 0;
}

std::string QtDialogs::saveFileBox(const std::string& caption, const std::string& proposedPath) {
    return QFileDialog::getSaveFileName(owner(), fromUtf8(caption), fromUtf8(proposedPath),
                                        QStringLiteral("PDF files (*.pdf)"))
        .toStdString();
}

namespace {

QtMessageHandler g_before = nullptr;

// Where no file manager can be started the box says so and names the folder; Qt's own warning
// on the terminal says nothing more.
void withoutLauncherWarning(QtMsgType type, const QMessageLogContext& context,
                            const QString& message) {
    if (message.startsWith(QLatin1String("Unable to detect a launcher")))
        return;
    if (g_before)
        g_before(type, context, message);
}

} // namespace

bool QtDialogs::openFolder(const std::string& path) {
    g_before = qInstallMessageHandler(withoutLauncherWarning);
    const bool opened = QDesktopServices::openUrl(QUrl::fromLocalFile(fromUtf8(path)));
    qInstallMessageHandler(g_before);
    return opened;
}

QString spokenText(const QString& text) {
    QStringList kept;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString bare = line.trimmed();
        const bool underline = bare.size() >= 3 && (bare.count(QLatin1Char('=')) == bare.size() ||
                                                    bare.count(QLatin1Char('-')) == bare.size());
        if (!underline)
            kept << line;
    }
    return kept.join(QLatin1Char('\n'));
}

} // namespace sbk3
