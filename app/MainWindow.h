#pragma once

#include "app/ClassSetCommand.h"
#include "common/SheetState.h"
#include "print/Layout.h"
#include "print/Surface.h"
#include "worksheet/ClassSet.h"

#include <QPointer>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <optional>

class QComboBox;
class QMenu;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace sbk3 {

class EscapeWatch;

class Dialogs;
class PrinterPort;
class RandomPort;

// What the main window works through; tests put fakes in.
struct MainPorts {
    Dialogs& dialogs;
    PrinterPort& printer;
    RandomPort& random;
    std::filesystem::path folder;          // where worksheets are stored
    std::string decimalSeparator = ".";    // the user's locale
    std::function<void()> endProgram;      // Exit and the close box
    std::filesystem::path documentsFolder; // where a saved PDF is proposed
    // "Worksheet Settings": the request the user makes from the opening one, nothing on Cancel.
    // Without it, the Qt dialog asks.
    std::function<std::optional<ClassSetRequest>(const ClassSetRequest& opening, bool easy)>
        askSettings = {};
};

// The program's working window: the request's settings, the six buttons and the state the
// commands share.
class frmMain : public QWidget {
    Q_OBJECT

public:
    explicit frmMain(MainPorts ports, QWidget* parent = nullptr);

    // Form-level state.
    PositionTable ProblemPos;
    SheetState sheet;
    ProblemSurface picRetPic;

    void cmdPrint_Click();
    void cmdPrintSaved_Click();

    // The context menu's commands beside the page commands.
    // "Worksheet Settings", as last left, or with the settings given (a stored worksheet's).
    void newWorksheetsWithSettings(std::optional<ClassSetRequest> from = std::nullopt);
    void openWorksheetFolder();
    void openWorksheetLibrary();
    // True while a class set is being made.
    bool isMakingClassSet() const { return m_classSet != nullptr; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Right-click on the window, a label or a push button, or the Menu key on a button.
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void createControls();
    void createWidgets();
    void nameBoxesByTheirLabels();
    void setTabOrderAndFocus();
    void connectControls();
    void Form_Load();
    void optEasy_Click();
    void optCompact_Click();
    void cmdAbout_Click();
    void cmdHelp_Click();
    void cmdExit_Click();
    // The selected option is the group's one tab stop.
    void updateOptionTabStops();
    int twips(int value) const;
    void createContextMenu();
    void showContextMenu(const QPoint& at);
    void makeClassSet(const ClassSetRequest& request);
    struct PageControls pageControls() const;
    struct PagePorts pagePorts();

    MainPorts m_ports;
    EscapeWatch* m_escapes; // whether the Esc held down is an open list's
    QLineEdit* txtTitle = nullptr;
    QComboBox* cboType = nullptr;
    QLineEdit* txtNumOfProblems = nullptr;
    QLineEdit* txtAppend = nullptr;
    QRadioButton* optEasy = nullptr;
    QRadioButton* optCompact = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdPrintSaved = nullptr;
    QPushButton* chkBold = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdAbout = nullptr;
    QPushButton* cmdExit = nullptr;
    QMenu* m_contextMenu = nullptr;
    QPointer<QWidget> m_library;               // one at a time
    std::optional<ClassSetRequest> m_settings; // kept until the program ends
    QObject* m_classSet = nullptr;             // the class set being made
};

} // namespace sbk3
