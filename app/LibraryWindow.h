#pragma once

#include "print/PageCommands.h"
#include "print/SystemPrinter.h"

#include <QElapsedTimer>
#include <QString>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QFutureWatcherBase;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QTreeView;

namespace sbk3 {

class Dialogs;
class PositionTable;
class ProblemSurface;
class WorksheetCatalog;

// Moves a file to the desktop's trash (the freedesktop.org trash on Linux, the Recycle Bin on
// Windows), never deleting it outright; the reason when it could not be moved.
std::optional<QString> moveFileToTrash(const std::filesystem::path& file);

// What the library works through: the main window's boxes, its settings as they stand, and
// its page commands.
struct LibraryPorts {
    Dialogs& dialogs;
    std::filesystem::path folder; // where worksheets are stored
    ProblemSurface& picRetPic;
    const PositionTable& ProblemPos;
    std::function<PageControls()> controls;
    // Runs a page command on one worksheet; its boxes go to dialogs where given (the library's
    // own, for several worksheets at once), else to the main window's.
    std::function<void(const PageCommand& command, const std::string& number, Dialogs* dialogs)>
        runPageCommand;
    std::function<void()> showFolder;      // the worksheet folder in the file manager
    std::filesystem::path documentsFolder; // where saved PDFs are proposed
};

// "Worksheet Library": every stored worksheet, found by any part of its number or title, its
// page previewed as it would print now, and printed, saved as PDF, shown in its folder or moved
// to the trash.
class frmLibrary : public QWidget {
    Q_OBJECT

public:
    explicit frmLibrary(LibraryPorts ports, QWidget* parent = nullptr);

    WorksheetCatalog& catalog() { return *m_catalog; }
    // The selected worksheets' numbers, in the list's order.
    std::vector<std::string> selectedNumbers() const;

    void printSelected(bool answerKey);
    void saveAsPdf();
    void showInFolder();
    void moveToTrash();

    bool isTrashing() const { return m_trashing != nullptr; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createWidgets();
    void searchChanged();
    void selectFirstWhenNoneIsSelected();
    void showPreview();
    void updateState();
    const PageCommand& command(std::string_view objectName) const;
    // Runs command on every selected worksheet: one at once as the main window runs it; several
    // after one question, behind a progress box with Cancel, with one report at the end.
    void runOnSelected(const PageCommand& command);

    LibraryPorts m_ports;
    WorksheetCatalog* m_catalog = nullptr;
    QLineEdit* txtSearch = nullptr;
    QTreeView* lstWorksheets = nullptr;
    QLabel* lblCount = nullptr;
    QLabel* picPreview = nullptr;
    QCheckBox* chkAnswerKey = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdPrintAnswerKey = nullptr;
    QPushButton* cmdSavePdf = nullptr;
    QPushButton* cmdShowInFolder = nullptr;
    QPushButton* cmdTrash = nullptr;
    QTimer* m_previewLater = nullptr;
    QString m_previewed; // the number and settings the preview shows
    QElapsedTimer m_lastRead;
    QFutureWatcherBase* m_trashing = nullptr; // the move to the trash under way
    std::optional<SystemPrinter> m_paperOf;   // the default printer, whose paper is previewed
};

} // namespace sbk3
