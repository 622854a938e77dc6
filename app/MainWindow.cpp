#include "app/MainWindow.h"

#include "app/Accessibility.h"
#include "app/Application.h"
#include "app/Background.h"
#include "app/ClassSetCommand.h"
#include "app/LibraryWindow.h"
#include "app/SettingsDialog.h"
#include "app/TypeList.h"
#include "app/WarmUp.h"
#include "common/AppInfo.h"
#include "common/Capacity.h"
#include "common/Dialogs.h"
#include "common/FileExists.h"
#include "common/ProblemKinds.h"
#include "common/RuntimeError.h"
#include "print/PageCommands.h"
#include "print/Printer.h"
#include "print/QtText.h"
#include "print/SystemPrinter.h"
#include "worksheet/Preset.h"
#include "worksheet/PrintSave.h"
#include "worksheet/Request.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QtConcurrent/QtConcurrentRun>

#include <atomic>
#include <iterator>
#include <memory>
#include <type_traits>
#include <utility>

namespace sbk3 {
namespace {

// The window's sixteen controls, in the order they are made: kind, object name, caption or
// first text, and place in twips.
enum class ControlKind { Label, TextBox, TypeList, Option, Button, ToggleButton };
struct ControlSpec {
    ControlKind kind;
    const char* name;
    const char* caption;
    int left, top, width, height;
    int maxLength = 0; // of a text box; 0 leaves Qt's own
};
constexpr int kButtonWidth = 1215;
constexpr int kButtonHeight = 495;
constexpr ControlSpec kControls[] = {
    {ControlKind::Label, "lblTitle", "Worksheet Title:", 120, 120, 1455, 240},
    {ControlKind::TextBox, "txtTitle", "Math Worksheet - (N)", 1725, 120, 2730, 345},
    {ControlKind::Label, "lblType", "Type:", 120, 600, 525, 240},
    {ControlKind::TypeList, "cboType", "", 720, 600, 3735, 360},
    {ControlKind::Label, "lblNumOfProblems", "Number Of Problems:", 120, 1080, 1905, 240},
    {ControlKind::TextBox, "txtNumOfProblems", "30", 2160, 1080, 2295, 345, 3},
    {ControlKind::Label, "lblCopyright", "Append At Bottom:", 120, 1560, 1665, 240},
    {ControlKind::TextBox, "txtAppend", "", 1920, 1560, 2535, 345, 128},
    {ControlKind::Option, "optEasy", "Easy Reading", 480, 2040, 1695, 375},
    {ControlKind::Option, "optCompact", "Compact Test", 2640, 2040, 1695, 375},
    {ControlKind::Button, "cmdPrint", "Print/Save", 240, 2640, kButtonWidth, kButtonHeight},
    {ControlKind::Button, "cmdPrintSaved", "Print Saved", 1800, 2640, kButtonWidth, kButtonHeight},
    {ControlKind::ToggleButton, "chkBold", "Bold", 3360, 2640, kButtonWidth, kButtonHeight},
    {ControlKind::Button, "cmdHelp", "Help", 240, 3360, kButtonWidth, kButtonHeight},
    {ControlKind::Button, "cmdAbout", "About", 1800, 3360, kButtonWidth, kButtonHeight},
    {ControlKind::Button, "cmdExit", "Exit", 3360, 3360, kButtonWidth, kButtonHeight},
};
static_assert(std::size(kControls) == 16);

// Each label and the box it names.
constexpr std::pair<const char*, const char*> kCaptions[] = {
    {"lblTitle", "txtTitle"},
    {"lblType", "cboType"},
    {"lblNumOfProblems", "txtNumOfProblems"},
    {"lblCopyright", "txtAppend"}};

// A control of the table, on the window.
QWidget* makeWidget(const ControlSpec& row, QWidget* window) {
    const QString caption = fromUtf8(row.caption);
    switch (row.kind) {
    case ControlKind::Label:
        return new QLabel(caption, window);
    case ControlKind::TextBox: {
        auto* box = new QLineEdit(caption, window);
        if (row.maxLength > 0)
            box->setMaxLength(row.maxLength);
        return box;
    }
    case ControlKind::TypeList: {
        installAccessibility(); // the list is read with its value
        auto* list = new TypeList(window);
        list->setEditable(false);
        for (const ProblemTypeInfo& info : problemTypes())
            list->addItem(fromUtf8(info.name));
        return list;
    }
    case ControlKind::Option:
        return new QRadioButton(caption, window);
    case ControlKind::Button:
    case ControlKind::ToggleButton: {
        auto* button = new QPushButton(caption, window);
        // Bold is a check box drawn as a button: pressed while ticked.
        button->setCheckable(row.kind == ControlKind::ToggleButton);
        return button;
    }
    }
    return nullptr;
}

// A control of the table, its keys going through the window's filter first: the arrows of the
// options, Return on a button, and the keys that open the window's menu.
QWidget* createWidget(const ControlSpec& row, QWidget* window, QObject* keys) {
    QWidget* made = makeWidget(row, window);
    if (made)
        made->installEventFilter(keys);
    return made;
}

} // namespace

// Whether an Esc is an open list's or menu's. On Wayland the Esc that closes a list reaches the
// window as well, in the same instant the list closes; there it may also repeat, or come again
// before the key is let go. None of these may end the program.
class EscapeWatch : public QObject {
public:
    explicit EscapeWatch(QObject* parent) : QObject(parent) {}

    bool takenByAList() const {
        return heldForAPopup || (popupClosed.isValid() && popupClosed.elapsed() < 100);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type == QEvent::Hide) {
            if (const auto* shown = qobject_cast<QWidget*>(watched);
                shown && shown->isWindow() && shown->windowType() == Qt::Popup)
                popupClosed.start();
        } else if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Escape && !key->isAutoRepeat()) {
                if (type == QEvent::KeyRelease)
                    heldForAPopup = false;
                else if (QApplication::activePopupWidget())
                    heldForAPopup = true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool heldForAPopup = false;
    QElapsedTimer popupClosed; // when a list or menu last closed
};

frmMain::frmMain(MainPorts ports, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_ports(std::move(ports)), m_escapes(new EscapeWatch(this)) {
    QCoreApplication::instance()->installEventFilter(m_escapes);
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(fromUtf8(kAppTitle));
    // Nothing on the window shows the right-click menu; its background says what it offers.
    setToolTip(QStringLiteral("Right-click for New Worksheets with Settings... (class sets with "
                              "answer keys) and the Worksheet Library."));
    setWindowIcon(applicationIcon());
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(9.75);
    setFont(font);
    setFixedSize(twips(4710), twips(4080));
    createControls();
    createContextMenu();
    Form_Load();
}

int frmMain::twips(int value) const {
    // 1440 twips to the inch: 15 to a pixel at 96 dpi, more pixels on a denser screen.
    return qRound(value * logicalDpiX() / 1440.0);
}

void frmMain::createControls() {
    createWidgets();
    nameBoxesByTheirLabels();
    setTabOrderAndFocus();
    connectControls();
}

void frmMain::createWidgets() {
    for (const ControlSpec& row : kControls) {
        QWidget* control = createWidget(row, this, this);
        control->setObjectName(fromUtf8(row.name));
        control->setGeometry(twips(row.left), twips(row.top), twips(row.width), twips(row.height));
    }
    const auto find = [this](auto*& member, const char* name) {
        member = findChild<std::remove_reference_t<decltype(*member)>*>(fromUtf8(name));
    };
    find(txtTitle, "txtTitle");
    find(cboType, "cboType");
    find(txtNumOfProblems, "txtNumOfProblems");
    find(txtAppend, "txtAppend");
    find(optEasy, "optEasy");
    find(optCompact, "optCompact");
    find(cmdPrint, "cmdPrint");
    find(cmdPrintSaved, "cmdPrintSaved");
    find(chkBold, "chkBold");
    find(cmdHelp, "cmdHelp");
    find(cmdAbout, "cmdAbout");
    find(cmdExit, "cmdExit");

    auto* layoutGroup = new QButtonGroup(this);
    layoutGroup->setExclusive(true);
    layoutGroup->addButton(optEasy);
    layoutGroup->addButton(optCompact);
    optEasy->setChecked(true);
    // The pair has no frame to name it: each says what it is a choice of.
    for (QRadioButton* option : {optEasy, optCompact})
        option->setAccessibleDescription(QStringLiteral("Layout"));
}

void frmMain::nameBoxesByTheirLabels() {
    // Each label names its box to assistive technology; the captions have no mnemonic, so
    // nothing visible changes.
    for (const auto& [labelName, boxName] : kCaptions) {
        auto* caption = findChild<QLabel*>(fromUtf8(labelName));
        auto* box = findChild<QWidget*>(fromUtf8(boxName));
        caption->setBuddy(box);
        box->setAccessibleName(caption->text());
    }
}

void frmMain::setTabOrderAndFocus() {
    QWidget* order[] = {txtTitle, cboType,       txtNumOfProblems, txtAppend, optEasy,  optCompact,
                        cmdPrint, cmdPrintSaved, chkBold,          cmdHelp,   cmdAbout, cmdExit};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    updateOptionTabStops();
    txtTitle->setFocus();
}

void frmMain::connectControls() {
    connect(optEasy, &QRadioButton::toggled, this, [this](bool on) {
        updateOptionTabStops();
        if (on)
            optEasy_Click();
    });
    connect(optCompact, &QRadioButton::toggled, this, [this](bool on) {
        updateOptionTabStops();
        if (on)
            optCompact_Click();
    });
    connect(cmdPrint, &QPushButton::clicked, this, &frmMain::cmdPrint_Click);
    connect(cmdPrintSaved, &QPushButton::clicked, this, &frmMain::cmdPrintSaved_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmMain::cmdHelp_Click);
    connect(cmdAbout, &QPushButton::clicked, this, &frmMain::cmdAbout_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmMain::cmdExit_Click);
}

void frmMain::keyPressEvent(QKeyEvent* event) {
    // Exit is the window's cancel button: an Esc that no control used presses it. An open list
    // or menu takes its own Esc and only closes, on every platform.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (!event->isAutoRepeat() && !m_escapes->takenByAList())
            cmdExit->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmMain::Form_Load() {
    cboType->setCurrentIndex(0);
    LayoutEasy(ProblemPos);
}

void frmMain::updateOptionTabStops() {
    for (QRadioButton* option : {optEasy, optCompact})
        option->setFocusPolicy(option->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (auto* button = qobject_cast<QPushButton*>(watched);
        button && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            // As on the desktop the users know: Enter presses the focused button. None is the
            // window's default button.
            button->click();
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress) {
        // Shift+F10 opens the window's menu from any control; so does the Menu key, but a text
        // box keeps its own edit menu there.
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool menuKey = key->key() == Qt::Key_Menu && key->modifiers() == Qt::NoModifier;
        const bool shiftF10 = key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier;
        auto* control = qobject_cast<QWidget*>(watched);
        if (control && control->parentWidget() == this &&
            (shiftF10 || (menuKey && !qobject_cast<QLineEdit*>(watched)))) {
            showContextMenu(control->mapToGlobal(QPoint(0, control->height())));
            return true;
        }
    }
    if ((watched == optEasy || watched == optCompact) && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down: {
            // Either arrow moves the selection to the other option of the pair.
            QRadioButton* other = watched == optEasy ? optCompact : optEasy;
            other->setChecked(true);
            other->setFocus(Qt::TabFocusReason);
            return true;
        }
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmMain::optEasy_Click() {
    LayoutEasy(ProblemPos);
}

void frmMain::optCompact_Click() {
    LayoutCompact(ProblemPos);
}

void frmMain::cmdPrint_Click() {
    warmUpPrinting();
    const RequestControls controls{txtNumOfProblems->text().toStdString(), optEasy->isChecked(),
                                   cboType->currentText().toStdString(),
                                   txtTitle->text().toStdString()};
    PrintSave(controls, sheet,
              {m_ports.dialogs, m_ports.random, m_ports.folder, m_ports.decimalSeparator,
               [this] { cmdPrintSaved_Click(); }});
}

PageControls frmMain::pageControls() const {
    PageControls window;
    window.look.easy = optEasy->isChecked();
    window.look.chkBold = chkBold->isChecked() ? 1 : 0;
    window.look.txtAppend = txtAppend->text().toStdString();
    window.decimalSeparator = m_ports.decimalSeparator;
    return window;
}

PagePorts frmMain::pagePorts() {
    return {m_ports.dialogs, m_ports.printer, picRetPic,
            ProblemPos,      m_ports.folder,  m_ports.documentsFolder};
}

void frmMain::cmdPrintSaved_Click() {
    warmUpPrinting();
    PrintSaved(pageControls(), sheet, pagePorts());
}

void frmMain::createContextMenu() {
    m_contextMenu = new QMenu(this);
    m_contextMenu->setObjectName(QStringLiteral("contextMenu"));
    m_contextMenu->setTitle(QStringLiteral("More Commands")); // what a screen reader names it
    m_contextMenu->setAccessibleName(m_contextMenu->title());
    for (const PageCommand& command : pageCommands()) {
        if (command.menuText.empty())
            continue; // Print Saved is a button
        QAction* action = m_contextMenu->addAction(fromUtf8(command.menuText));
        action->setObjectName(fromUtf8(command.objectName));
        connect(action, &QAction::triggered, this,
                [this, &command] { RunPageCommand(command, pageControls(), sheet, pagePorts()); });
    }
    QAction* settings = m_contextMenu->addAction(QStringLiteral("New Worksheets with Settings..."));
    settings->setObjectName(QStringLiteral("actNewWorksheetsWithSettings"));
    connect(settings, &QAction::triggered, this, [this] { newWorksheetsWithSettings(); });
    m_contextMenu->addSeparator();
    QAction* library = m_contextMenu->addAction(QStringLiteral("Worksheet Library..."));
    library->setObjectName(QStringLiteral("actWorksheetLibrary"));
    connect(library, &QAction::triggered, this, &frmMain::openWorksheetLibrary);
    QAction* folder = m_contextMenu->addAction(QStringLiteral("Open Worksheet Folder"));
    folder->setObjectName(QStringLiteral("actOpenWorksheetFolder"));
    connect(folder, &QAction::triggered, this, &frmMain::openWorksheetFolder);
}

void frmMain::openWorksheetLibrary() {
    warmUpPrinting();
    if (m_library) {
        m_library->showNormal();
        m_library->raise();
        m_library->activateWindow();
        return;
    }
    auto* library = new frmLibrary(
        {.dialogs = m_ports.dialogs,
         .folder = m_ports.folder,
         .picRetPic = picRetPic,
         .ProblemPos = ProblemPos,
         .controls = [this] { return pageControls(); },
         .runPageCommand =
             [this](const PageCommand& command, const std::string& number, Dialogs* dialogs) {
                 PagePorts ports = pagePorts();
                 RunPageCommand(command, pageControls(), sheet,
                                {dialogs ? *dialogs : ports.dialogs, ports.printer, ports.picRetPic,
                                 ports.ProblemPos, ports.folder, ports.documentsFolder},
                                number);
             },
         .printSheets =
             [this](const std::vector<std::string>& numbers, int copies, bool answerKey) {
                 PrintStoredSheets(numbers, copies, answerKey, pageControls(), pagePorts());
             },
         .makeAgain =
             [this](const ClassSetRequest& settings) { newWorksheetsWithSettings(settings); },
         .showFolder = [this] { openWorksheetFolder(); },
         .documentsFolder = m_ports.documentsFolder},
        this);
    m_library = library;
    library->show();
    library->activateWindow();
}

void frmMain::contextMenuEvent(QContextMenuEvent* event) {
    // Text boxes keep their own edit menu; every other control leaves the event to the window.
    QPoint at = event->globalPos();
    if (event->reason() == QContextMenuEvent::Keyboard)
        if (QWidget* focus = focusWidget())
            at = focus->mapToGlobal(QPoint(0, focus->height()));
    showContextMenu(at);
    event->accept();
}

void frmMain::showContextMenu(const QPoint& at) {
    warmUpPrinting();
    m_contextMenu->popup(at);
}

namespace {

// The dialog's last settings, kept per user in the desktop's usual place for settings
// (~/.config/Sumbrook/SBK3.conf on Linux), as the text a preset file holds.
constexpr const char* kKeptSettings = "worksheetSettings";

std::optional<ClassSetRequest> keptSettings() {
    const QSettings kept(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Sumbrook"),
                         QStringLiteral("SBK3"));
    return parsePreset(kept.value(QString::fromLatin1(kKeptSettings)).toString().toStdString());
}

void keepSettings(const ClassSetRequest& request) {
    QSettings kept(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Sumbrook"),
                   QStringLiteral("SBK3"));
    kept.setValue(QString::fromLatin1(kKeptSettings), fromUtf8(presetText(request)));
}

} // namespace

void frmMain::newWorksheetsWithSettings(std::optional<ClassSetRequest> from) {
    if (m_classSet)
        return;                          // one set at a time
    const bool again = from.has_value(); // a stored worksheet's own settings, its page too
    if (again)
        m_settings = std::move(from);
    if (!m_settings)
        m_settings = keptSettings(); // as the dialog was left, in this run or an earlier one
    if (!m_settings) {
        // The first time: what Print/Save would make for the window's type and count.
        m_settings.emplace();
        m_settings->settings = SettingsForType(cboType->currentText().toStdString());
        const double count = CountValue(txtNumOfProblems->text().toStdString());
        if (count >= 1 && count <= kMaxProblems)
            m_settings->problems = NumberOfProblems(count);
    }
    // The page as the window has it now; the dialog's own page settings are kept.
    const PageControls window = pageControls();
    if (!again) {
        m_settings->title = txtTitle->text().toStdString();
        m_settings->look.easy = window.look.easy;
        m_settings->look.chkBold = window.look.chkBold;
        m_settings->look.txtAppend = window.look.txtAppend;
    }
    const bool easy = m_settings->look.easy;
    std::optional<ClassSetRequest> request;
    if (m_ports.askSettings) {
        request = m_ports.askSettings(*m_settings, easy);
    } else {
        SettingsDialog dialog(*m_settings, std::nullopt, this); // asks the printers itself
        dialog.setPresetFolder(presetFolder(m_ports.folder));
        const bool accepted = dialog.exec() == QDialog::Accepted;
        m_settings = dialog.request(); // kept on Cancel too
        if (accepted)
            request = m_settings;
    }
    if (request)
        m_settings = *request;
    m_settings->pdfPath.clear(); // a new PDF is asked for each time
    keepSettings(*m_settings);
    if (request)
        makeClassSet(*request);
}

// A large set takes seconds: it is made on a thread of the background pool, behind a progress box
// that keeps every window painted and blocks them from using the printer and the surface the set
// is drawn with meanwhile; Cancel (or Esc) stops it after the version or page under way, and what
// was stored stays stored and is named.
void frmMain::makeClassSet(const ClassSetRequest& request) {
    const ClassSetPorts ports{
        m_ports.dialogs, m_ports.printer,         picRetPic, ProblemPos, m_ports.random,
        m_ports.folder,  m_ports.decimalSeparator};
    const ProgressBox shown = newProgressBox(
        this, QStringLiteral("classSetProgress"), QString::fromLatin1(kClassSetCaption),
        QStringLiteral("Making the worksheets..."), 0, Qt::ApplicationModal);
    QProgressDialog* const progress = shown.box;
    const std::shared_ptr<std::atomic<bool>> stop = shown.stop;
    auto* watcher = new QFutureWatcher<ClassSetResult>(this);
    connect(watcher, &QFutureWatcherBase::progressRangeChanged, progress,
            &QProgressDialog::setRange);
    connect(watcher, &QFutureWatcherBase::progressValueChanged, progress,
            &QProgressDialog::setValue);
    // Set by the pool's thread once it is done with the ports; read here before they are used
    // again. (The future orders this too, inside Qt, where ThreadSanitizer cannot see it.)
    const auto handedBack = std::make_shared<std::atomic<bool>>(false);
    connect(watcher, &QFutureWatcherBase::finished, this,
            [this, watcher, progress, request, handedBack] {
                handedBack->load(std::memory_order_acquire);
                const ClassSetResult result = watcher->result();
                // Gone at once: a box closed before it showed would still come up later, over the
                // report (closing one also says "canceled").
                delete progress;
                watcher->deleteLater();
                m_classSet = nullptr;
                m_ports.dialogs.messageBox(ClassSetReport(request, result));
            });
    m_classSet = watcher;
    watcher->setFuture(QtConcurrent::run(
        backgroundPool(), [request, ports, stop, handedBack](QPromise<ClassSetResult>& promise) {
            ClassSetResult result;
            try {
                result = RunClassSet(request, ports, [&](std::size_t done, std::size_t steps) {
                    promise.setProgressRange(0, static_cast<int>(steps));
                    promise.setProgressValue(static_cast<int>(done));
                    return !*stop;
                });
            } catch (const std::exception& failure) {
                result.outcome = {PageOutcome::Kind::Failed, {}, describeFailure(failure)};
            }
            handedBack->store(true, std::memory_order_release);
            promise.addResult(std::move(result));
        }));
}

void frmMain::openWorksheetFolder() {
    const std::string folder = pathToUtf8(m_ports.folder);
    if (!m_ports.dialogs.openFolder(folder))
        m_ports.dialogs.messageBox({.text = "The worksheets are stored in the folder:\n" + folder,
                                    .caption = "Open Worksheet Folder"});
}

void frmMain::cmdAbout_Click() {
    m_ports.dialogs.messageBox({.text = "About\r\n=====\r\n\r\nWritten by the Sumbrook developers "
                                        "for teachers and parents.\r\nVersion: 1.12",
                                .caption = "About"});
}

void frmMain::cmdHelp_Click() {
    m_ports.dialogs.messageBox(
        {.text = "Help\r\n====\r\n\r\nA (N) anywhere in the code means worksheet serial.",
         .caption = "Help"});
}

void frmMain::cmdExit_Click() {
    if (m_ports.endProgram)
        m_ports.endProgram();
}

void frmMain::closeEvent(QCloseEvent* event) {
    event->accept();
    cmdExit_Click();
}

} // namespace sbk3
