#include "app/MainWindow.h"

#include "app/Application.h"
#include "app/TypeList.h"
#include "common/AppInfo.h"
#include "common/Dialogs.h"
#include "common/FileExists.h"
#include "common/ProblemKinds.h"
#include "print/PrintSaved.h"
#include "print/Printer.h"
#include "print/QtText.h"
#include "worksheet/PrintSave.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

#include <utility>

namespace sbk3 {
namespace {

QString q(const char* text) {
    return fromUtf8(text);
}

} // namespace

frmMain::frmMain(MainPorts ports, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_ports(std::move(ports)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(q(kAppTitle));
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
    const auto place = [this](QWidget* control, const char* name, int left, int top, int width,
                              int height) {
        control->setObjectName(q(name));
        control->setGeometry(twips(left), twips(top), twips(width), twips(height));
    };
    const auto label = [&](const char* name, const char* caption, int left, int top, int width) {
        auto* control = new QLabel(q(caption), this);
        place(control, name, left, top, width, 240);
        return control;
    };
    const auto button = [&](const char* name, const char* caption, int left, int top) {
        auto* control = new QPushButton(q(caption), this);
        place(control, name, left, top, 1215, 495);
        control->installEventFilter(this); // Return and Enter press it
        return control;
    };

    QLabel* lblTitle = label("lblTitle", "Worksheet Title:", 120, 120, 1455);
    txtTitle = new QLineEdit(q("Math Worksheet - (N)"), this);
    place(txtTitle, "txtTitle", 1725, 120, 2730, 345);

    QLabel* lblType = label("lblType", "Type:", 120, 600, 525);
    TypeList::installAccessibility();
    cboType = new TypeList(this);
    cboType->setEditable(false);
    for (const ProblemTypeInfo& info : problemTypes())
        cboType->addItem(fromUtf8(info.name));
    place(cboType, "cboType", 720, 600, 3735, 360);

    QLabel* lblNumOfProblems = label("lblNumOfProblems", "Number Of Problems:", 120, 1080, 1905);
    txtNumOfProblems = new QLineEdit(q("30"), this);
    txtNumOfProblems->setMaxLength(3);
    place(txtNumOfProblems, "txtNumOfProblems", 2160, 1080, 2295, 345);

    QLabel* lblCopyright = label("lblCopyright", "Append At Bottom:", 120, 1560, 1665);
    txtAppend = new QLineEdit(this);
    txtAppend->setMaxLength(128);
    place(txtAppend, "txtAppend", 1920, 1560, 2535, 345);

    // Each label names its control to assistive technology; the captions have no mnemonic, so
    // nothing visible changes.
    const std::pair<QLabel*, QWidget*> captions[] = {{lblTitle, txtTitle},
                                                     {lblType, cboType},
                                                     {lblNumOfProblems, txtNumOfProblems},
                                                     {lblCopyright, txtAppend}};
    for (const auto& [caption, control] : captions) {
        caption->setBuddy(control);
        control->setAccessibleName(caption->text());
    }

    optEasy = new QRadioButton(q("Easy Reading"), this);
    place(optEasy, "optEasy", 480, 2040, 1695, 375);
    optCompact = new QRadioButton(q("Compact Test"), this);
    place(optCompact, "optCompact", 2640, 2040, 1695, 375);
    auto* layoutGroup = new QButtonGroup(this);
    layoutGroup->setExclusive(true);
    layoutGroup->addButton(optEasy);
    layoutGroup->addButton(optCompact);
    optEasy->setChecked(true);
    optEasy->installEventFilter(this);
    optCompact->installEventFilter(this);

    cmdPrint = button("cmdPrint", "Print/Save", 240, 2640);
    cmdPrintSaved = button("cmdPrintSaved", "Print Saved", 1800, 2640);
    chkBold = button("chkBold", "Bold", 3360, 2640);
    chkBold->setCheckable(true); // a check box drawn as a button: pressed while ticked
    cmdHelp = button("cmdHelp", "Help", 240, 3360);
    cmdAbout = button("cmdAbout", "About", 1800, 3360);
    cmdExit = button("cmdExit", "Exit", 3360, 3360);

    QWidget* order[] = {txtTitle, cboType,       txtNumOfProblems, txtAppend, optEasy,  optCompact,
                        cmdPrint, cmdPrintSaved, chkBold,          cmdHelp,   cmdAbout, cmdExit};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    updateOptionTabStops();
    txtTitle->setFocus();

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
    // or menu takes its own Esc and only closes.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdExit->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmMain::Form_Load() {
    m_ports.printer.setCharacterScale();
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
        if ((key->key() == Qt::Key_Menu && key->modifiers() == Qt::NoModifier) ||
            (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier)) {
            showContextMenu(button->mapToGlobal(QPoint(0, button->height())));
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
    const RequestControls controls{txtNumOfProblems->text().toStdString(), optEasy->isChecked(),
                                   cboType->currentText().toStdString(),
                                   txtTitle->text().toStdString()};
    PrintSave(controls, sheet,
              {m_ports.dialogs, m_ports.random, m_ports.folder, m_ports.decimalSeparator,
               [this] { cmdPrintSaved_Click(); }});
}

PrintSavedControls frmMain::savedControls() const {
    return {optEasy->isChecked(), chkBold->isChecked() ? 1 : 0, txtAppend->text().toStdString()};
}

PrintSavedPorts frmMain::savedPorts() {
    return {m_ports.dialogs, m_ports.printer, picRetPic,
            ProblemPos,      m_ports.folder,  m_ports.documentsFolder};
}

void frmMain::cmdPrintSaved_Click() {
    PrintSaved(savedControls(), sheet, savedPorts());
}

void frmMain::createContextMenu() {
    m_contextMenu = new QMenu(this);
    m_contextMenu->setObjectName(QStringLiteral("contextMenu"));
    const auto item = [this](const char* text, void (frmMain::*command)()) {
        QAction* action = m_contextMenu->addAction(q(text));
        connect(action, &QAction::triggered, this, command);
    };
    item("Print Answer Key...", &frmMain::printAnswerKey);
    item("Save Worksheet as PDF...", &frmMain::saveWorksheetPdf);
    item("Save Answer Key as PDF...", &frmMain::saveAnswerKeyPdf);
    m_contextMenu->addSeparator();
    item("Open Worksheet Folder", &frmMain::openWorksheetFolder);
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
    m_contextMenu->popup(at);
}

void frmMain::printAnswerKey() {
    PrintAnswerKey(savedControls(), sheet, savedPorts());
}

void frmMain::saveWorksheetPdf() {
    SavePdf(false, savedControls(), sheet, savedPorts());
}

void frmMain::saveAnswerKeyPdf() {
    SavePdf(true, savedControls(), sheet, savedPorts());
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
