#pragma once

#include "print/PageCommands.h"
#include "print/SystemPrinter.h"
#include "worksheet/ClassSet.h"

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
class QScrollArea;
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

// The PDF files of a worksheet that may stand beside it: printed without a printer, or saved,
// and the same for its answer key; with this user's name where another's held the name.
std::vector<std::string> ownPdfNames(const std::string& number);

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
    // Prints several worksheets, each copies times, as one document, and says so once.
    std::function<void(const std::vector<std::string>& numbers, int copies, bool answerKey)>
        printSheets{};
    // Opens "Worksheet Settings" with the settings a worksheet was made with.
    std::function<void(const ClassSetRequest& settings)> makeAgain{};
    std::function<void()> showFolder;      // the worksheet folder in the file manager
    std::filesystem::path documentsFolder; // where saved PDFs are proposed
};

// "Worksheet Library": every stored worksheet, found by any part of its number or title, a class
// set made at once as one row that opens into its versions; its page previewed as it prints, to
// fit or at full size; printed (several at once as one document, copies asked once), saved as
// PDF, made again with its settings, shown in its folder or moved to the trash with its PDFs.
class frmLibrary : public QWidget {
    Q_OBJECT

public:
    explicit frmLibrary(LibraryPorts ports, QWidget* parent = nullptr);

    WorksheetCatalog& catalog() { return *m_catalog; }
    // The selected worksheets' numbers, in the list's order; a selected set stands for its
    // versions.
    std::vector<std::string> selectedNumbers() const;

    void printSelected(bool answerKey);
    void saveAsPdf();
    void showInFolder();
    void moveToTrash();
    void makeAgain();

    bool isTrashing() const { return m_trashing != nullptr; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createWidgets();
    void searchChanged();
    void announceMatches();
    void selectFirstWhenNoneIsSelected();
    void showPreview();
    void updateState();
    const PageCommand& command(std::string_view objectName) const;
    // Runs command on every selected worksheet: one at once as the main window runs it; several
    // (each saved as a PDF) into a folder chosen once, behind a progress box with Cancel, with
    // one report at the end.
    void runOnSelected(const PageCommand& command);

    LibraryPorts m_ports;
    WorksheetCatalog* m_catalog = nullptr;
    QLineEdit* txtSearch = nullptr;
    QTreeView* lstWorksheets = nullptr;
    QLabel* lblCount = nullptr;
    QLabel* picPreview = nullptr;
    QScrollArea* m_previewArea = nullptr;
    QCheckBox* chkAnswerKey = nullptr;
    QCheckBox* chkFullSize = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdPrintAnswerKey = nullptr;
    QPushButton* cmdSavePdf = nullptr;
    QPushButton* cmdShowInFolder = nullptr;
    QPushButton* cmdMakeAgain = nullptr;
    QPushButton* cmdTrash = nullptr;
    QTimer* m_previewLater = nullptr;
    QTimer* m_redrawSoon = nullptr;
    QTimer* m_announceLater = nullptr;
    QString m_previewed; // the number and settings the preview shows
    QElapsedTimer m_lastRead;
    QFutureWatcherBase* m_trashing = nullptr; // the move to the trash under way
    std::optional<SystemPrinter> m_paperOf;   // the default printer, whose paper is previewed
};

} // namespace sbk3
