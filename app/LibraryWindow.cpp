#include "app/LibraryWindow.h"

#include "app/Accessibility.h"
#include "app/Background.h"
#include "app/PrinterQuery.h"
#include "app/ScreenFit.h"
#include "app/WorksheetCatalog.h"
#include "common/Dialogs.h"
#include "common/FileExists.h"
#include "common/RuntimeError.h"
#include "common/Text.h"
#include "print/Layout.h"
#include "print/Page.h"
#include "print/QtPrinter.h"
#include "print/QtText.h"
#include "print/SetPages.h"
#include "store/Trash.h"
#include "store/WorksheetFile.h"
#include "worksheet/Preset.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QSplitter>
#include <QStandardPaths>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <atomic>
#include <memory>
#include <set>

namespace sbk3 {

std::optional<QString> moveFileToTrash(const std::filesystem::path& file) {
#ifdef _WIN32
    QFile trashed(QString::fromStdWString(file.wstring()));
    if (trashed.moveToTrash())
        return std::nullopt;
    return trashed.errorString();
#else
    // The path's own bytes, whatever they are: never through UTF-8.
    if (const std::optional<std::string> why = sbk3::moveToTrash(file))
        return fromUtf8(*why);
    return std::nullopt;
#endif
}

frmLibrary::frmLibrary(LibraryPorts ports, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ports(std::move(ports)),
      m_catalog(new WorksheetCatalog(m_ports.folder, this)), m_previewLater(new QTimer(this)),
      m_redrawSoon(new QTimer(this)), m_announceLater(new QTimer(this)) {
    setObjectName(QStringLiteral("frmLibrary"));
    setWindowTitle(QStringLiteral("Worksheet Library"));
    setAttribute(Qt::WA_DeleteOnClose);
    createWidgets();
    // Moving through the list draws only the page it stops on.
    m_previewLater->setSingleShot(true);
    m_previewLater->setInterval(40);
    connect(m_previewLater, &QTimer::timeout, this, &frmLibrary::showPreview);
    m_announceLater->setSingleShot(true);
    m_announceLater->setInterval(500);
    connect(m_announceLater, &QTimer::timeout, this, &frmLibrary::announceMatches);
    m_redrawSoon->setSingleShot(true);
    m_redrawSoon->setInterval(0);
    connect(m_redrawSoon, &QTimer::timeout, this, &frmLibrary::showPreview);
    connect(m_catalog, &QAbstractItemModel::layoutChanged, this, [this] {
        selectFirstWhenNoneIsSelected();
        updateState();
    });
    connect(m_catalog, &WorksheetCatalog::readingFinished, this, &frmLibrary::updateState);
    updateState();
    txtSearch->setFocus();
    m_lastRead.start(); // the catalog has just begun reading
    // The page is previewed on the locale's paper until the default printer has said its own.
    askDefaultPrinter(this, kPrinterAnswerTime,
                      [this](std::optional<std::optional<SystemPrinter>> answer) {
                          if (!answer || !*answer)
                              return;
                          m_paperOf = *answer;
                          m_previewed.clear();
                          showPreview();
                      });
}

void frmLibrary::createWidgets() {
    txtSearch = new QLineEdit(this);
    txtSearch->setObjectName(QStringLiteral("txtSearch"));
    txtSearch->setAccessibleName(QStringLiteral("Search"));
    txtSearch->setPlaceholderText(QStringLiteral("Search by any part of the number or title"));
    txtSearch->setClearButtonEnabled(true);
    txtSearch->installEventFilter(this);
    connect(txtSearch, &QLineEdit::textChanged, this, &frmLibrary::searchChanged);
    connect(txtSearch, &QLineEdit::returnPressed, this, [this] { printSelected(false); });

    m_catalog->setGroupsSets(true);
    lstWorksheets = newCatalogView(m_catalog, this);
    lstWorksheets->setRootIsDecorated(true); // a class set opens into its versions
    // A version's number stands indented under its set's row, and is read whole.
    lstWorksheets->setColumnWidth(WorksheetCatalog::NumberColumn,
                                  lstWorksheets->columnWidth(WorksheetCatalog::NumberColumn) +
                                      lstWorksheets->indentation());
    lstWorksheets->setObjectName(QStringLiteral("lstWorksheets"));
    lstWorksheets->setAccessibleName(QStringLiteral("Worksheets"));
    lstWorksheets->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstWorksheets->setSortingEnabled(true);
    lstWorksheets->header()->setSortIndicator(WorksheetCatalog::MadeColumn, Qt::DescendingOrder);
    lstWorksheets->installEventFilter(this);
    connect(lstWorksheets, &QAbstractItemView::activated, this, [this] { printSelected(false); });
    connect(lstWorksheets->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { m_previewLater->start(); });
    connect(lstWorksheets->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmLibrary::updateState);

    lblCount = new QLabel(this);
    lblCount->setObjectName(QStringLiteral("lblCount"));

    // The page fits the room it is given, which grows with the window; at full size it is as
    // large as on paper, and scrolls.
    picPreview = new QLabel;
    picPreview->setObjectName(QStringLiteral("picPreview"));
    picPreview->setAccessibleName(QStringLiteral("Preview"));
    picPreview->setAlignment(Qt::AlignCenter);
    picPreview->setWordWrap(true);
    m_previewArea = new QScrollArea(this);
    m_previewArea->setObjectName(QStringLiteral("previewArea"));
    m_previewArea->setWidget(picPreview);
    m_previewArea->setWidgetResizable(true);
    m_previewArea->setAlignment(Qt::AlignCenter);
    m_previewArea->setMinimumSize(120, 150);
    m_previewArea->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_previewArea->viewport()->installEventFilter(this); // a new size draws the page anew
    chkAnswerKey = new QCheckBox(QStringLiteral("Show &Answer Key"), this);
    chkAnswerKey->setObjectName(QStringLiteral("chkAnswerKey"));
    connect(chkAnswerKey, &QCheckBox::toggled, this, &frmLibrary::showPreview);
    chkFullSize = new QCheckBox(QStringLiteral("Full Si&ze"), this);
    chkFullSize->setObjectName(QStringLiteral("chkFullSize"));
    connect(chkFullSize, &QCheckBox::toggled, this, [this](bool full) {
        m_previewArea->setWidgetResizable(!full);
        showPreview();
    });

    const auto button = [this](const char* name, const QString& text, auto slot) {
        auto* made = new QPushButton(text, this);
        made->setObjectName(QString::fromLatin1(name));
        connect(made, &QPushButton::clicked, this, slot);
        return made;
    };
    cmdPrint = button("cmdPrint", QStringLiteral("&Print"), [this] { printSelected(false); });
    cmdPrint->setDefault(true);
    cmdPrintAnswerKey = button("cmdPrintAnswerKey", QStringLiteral("Print Answer &Key"),
                               [this] { printSelected(true); });
    cmdSavePdf = button("cmdSavePdf", QStringLiteral("Save as P&DF..."), [this] { saveAsPdf(); });
    cmdShowInFolder =
        button("cmdShowInFolder", QStringLiteral("Show in &Folder"), [this] { showInFolder(); });
    cmdMakeAgain = button("cmdMakeAgain", QStringLiteral("&Make Again with These Settings..."),
                          [this] { makeAgain(); });
    cmdTrash = button("cmdTrash", QStringLiteral("Move to &Trash"), [this] { moveToTrash(); });
    auto* cmdClose = button("cmdClose", QStringLiteral("Close"), [this] { close(); });
    auto* closeKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(closeKey, &QShortcut::activated, this, &QWidget::close);

    auto* listSide = new QWidget(this);
    auto* listLayout = new QVBoxLayout(listSide);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->addWidget(lstWorksheets);
    listLayout->addWidget(lblCount);
    auto* previewSide = new QWidget(this);
    auto* previewLayout = new QVBoxLayout(previewSide);
    previewLayout->setContentsMargins(0, 0, 0, 0);
    previewLayout->addWidget(m_previewArea, 1);
    auto* previewOptions = new QHBoxLayout;
    previewOptions->addWidget(chkAnswerKey);
    previewOptions->addWidget(chkFullSize);
    previewOptions->addStretch();
    previewLayout->addLayout(previewOptions);
    auto* split = new QSplitter(this);
    split->addWidget(listSide);
    split->addWidget(previewSide);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);

    // The buttons wrap into more rows where the screen is narrow (a large scale or font).
    const QSize room = roomOnScreen(this);
    QGridLayout* buttons = buttonRows({cmdPrint, cmdPrintAnswerKey, cmdSavePdf, cmdMakeAgain,
                                       cmdShowInFolder, cmdTrash, cmdClose},
                                      room.width() - 40);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtSearch);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);
    setTabOrder(txtSearch, lstWorksheets);
    setTabOrder(lstWorksheets, chkAnswerKey);
    setTabOrder(chkAnswerKey, chkFullSize);
    // Roomy, but never larger than the screen it opens on.
    fitOnScreen(this, QSize(1100, 640));
}

void frmLibrary::searchChanged() {
    m_catalog->setSearch(txtSearch->text());
    m_announceLater->start();
}

// Once typing pauses, a screen reader says how many match; the match Return would print it
// reads as the list selects it.
void frmLibrary::announceMatches() {
    announce(this, lblCount->text());
}

// Whatever the search leaves, the first match is the one Return prints and the preview shows.
void frmLibrary::selectFirstWhenNoneIsSelected() {
    QItemSelectionModel* selection = lstWorksheets->selectionModel();
    if (m_catalog->rowCount() == 0) {
        m_previewLater->start();
        return;
    }
    if (selection->hasSelection())
        return;
    const QModelIndex first = m_catalog->index(0, 0);
    selection->setCurrentIndex(first,
                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    lstWorksheets->scrollTo(first);
}

std::vector<std::string> frmLibrary::selectedNumbers() const {
    QModelIndexList rows = lstWorksheets->selectionModel()->selectedRows();
    // In the list's order: by the top-level row, a set's versions after it.
    const auto place = [](const QModelIndex& index) {
        return index.parent().isValid() ? std::pair(index.parent().row(), index.row())
                                        : std::pair(index.row(), -1);
    };
    std::sort(rows.begin(), rows.end(),
              [&](const QModelIndex& a, const QModelIndex& b) { return place(a) < place(b); });
    std::vector<std::string> numbers;
    std::set<std::string> taken; // a set and some of its versions both selected
    for (const QModelIndex& row : rows)
        for (std::string& number : m_catalog->numbersAt(row))
            if (taken.insert(number).second)
                numbers.push_back(std::move(number));
    return numbers;
}

const PageCommand& frmLibrary::command(std::string_view objectName) const {
    const auto commands = pageCommands();
    return *std::find_if(commands.begin(), commands.end(),
                         [&](const PageCommand& c) { return c.objectName == objectName; });
}

void frmLibrary::printSelected(bool answerKey) {
    const std::vector<std::string> numbers = selectedNumbers();
    if (numbers.size() <= 1) {
        runOnSelected(command(answerKey ? "actPrintAnswerKey" : "actPrintSaved"));
        return;
    }
    // Several, or a class set: how many copies of each, asked once; one document, one report.
    const int copies = m_ports.dialogs.numberBox(
        "Print these " + std::to_string(numbers.size()) + " " +
            (answerKey ? "answer keys" : "worksheets") + "?\n" + namesOf(numbers) +
            "\n\nCopies of each:",
        answerKey ? "Print Answer Keys" : "Print Worksheets", 1, 1, kMaxCopies);
    if (copies > 0 && m_ports.printSheets)
        m_ports.printSheets(numbers, copies, answerKey);
}

void frmLibrary::makeAgain() {
    const QModelIndex current = lstWorksheets->selectionModel()->currentIndex();
    const std::vector<std::string> numbers = m_catalog->numbersAt(current);
    if (numbers.empty() || !m_ports.makeAgain)
        return;
    const std::string& number = numbers.front();
    std::string why;
    try {
        const SavedWorksheet sheet = readWorksheetFile(m_ports.folder / pathFromUtf8(number));
        if (sheet.settings.empty()) {
            why = "It was made with the main window, which keeps no settings with it. Make it "
                  "with the main window's Type and Number of problems, or choose New Worksheets "
                  "with Settings.";
        } else if (std::optional<ClassSetRequest> settings = parsePreset(sheet.settings, &why)) {
            if (sheet.set)
                settings->versions = sheet.set->size;
            m_ports.makeAgain(*settings);
            return;
        }
    } catch (const std::exception& failure) {
        why = describeFailure(failure);
    }
    m_ports.dialogs.messageBox({.text = "Worksheet " + number + " cannot be made again: " + why,
                                .icon = MsgIcon::Exclamation,
                                .caption = "Worksheet Library"});
}

void frmLibrary::saveAsPdf() {
    runOnSelected(
        command(chkAnswerKey->isChecked() ? "actSaveAnswerKeyPdf" : "actSaveWorksheetPdf"));
}

namespace {

// The boxes of one worksheet among several: what each would say is kept for the one report, and
// each PDF goes into the folder chosen once, under its own name.
class GatheringDialogs : public Dialogs {
public:
    GatheringDialogs(Dialogs& real, std::filesystem::path pdfFolder)
        : m_real(real), m_pdfFolder(std::move(pdfFolder)) {}

    std::vector<std::string> said;

    MsgResult messageBox(const Message& message) override {
        said.push_back(message.text);
        return MsgResult::Ok;
    }
    std::string inputBox(const std::string& prompt, const std::string& caption,
                         const std::filesystem::path& offeredFolder) override {
        return m_real.inputBox(prompt, caption, offeredFolder);
    }
    int numberBox(const std::string& prompt, const std::string& caption, int value, int low,
                  int high) override {
        return m_real.numberBox(prompt, caption, value, low, high);
    }
    std::string saveFileBox(const std::string&, const std::string& proposedPath) override {
        return pathToUtf8(m_pdfFolder / pathFromUtf8(proposedPath).filename());
    }
    bool openFolder(const std::string& path) override { return m_real.openFolder(path); }

private:
    Dialogs& m_real;
    std::filesystem::path m_pdfFolder;
};

} // namespace

void frmLibrary::runOnSelected(const PageCommand& pageCommand) {
    const std::vector<std::string> numbers = selectedNumbers();
    if (numbers.size() <= 1) {
        for (const std::string& number : numbers)
            m_ports.runPageCommand(pageCommand, number, nullptr);
        return;
    }
    const std::string count = std::to_string(numbers.size());
    const std::string caption = std::string(pageCommand.caption);
    // One save dialog: the folder chosen for the first takes them all, each as NUMBER.pdf.
    const std::string suffix = pageCommand.answerKey ? "-answers.pdf" : ".pdf";
    const std::string first = m_ports.dialogs.saveFileBox(
        "Save " + count + " Worksheets as PDF: Choose the Folder",
        pathToUtf8(m_ports.documentsFolder / pathFromUtf8(numbers.front() + suffix)));
    if (first.empty())
        return;
    const std::filesystem::path pdfFolder = pathFromUtf8(first).parent_path();
    const std::string doing = "Saving " + count + " PDF files...";
    const ProgressBox shown =
        newProgressBox(this, QStringLiteral("pagesProgress"), fromUtf8(caption), fromUtf8(doing),
                       static_cast<int>(numbers.size()), Qt::WindowModal);
    QProgressDialog* const progress = shown.box;
    const std::shared_ptr<std::atomic<bool>> stop = shown.stop;
    GatheringDialogs gathered(m_ports.dialogs, pdfFolder);
    std::size_t done = 0;
    for (; done < numbers.size() && !*stop; ++done) {
        progress->setValue(static_cast<int>(done));
        const std::size_t before = gathered.said.size();
        m_ports.runPageCommand(pageCommand, numbers[done], &gathered);
        if (gathered.said.size() == before)
            gathered.said.push_back(numbers[done] + ": saved.");
        QCoreApplication::processEvents(); // Cancel, and the windows, answer between pages
    }
    delete progress;
    std::string report;
    for (const std::string& line : gathered.said)
        report.append(report.empty() ? "" : "\n").append(line);
    if (done < numbers.size())
        report += "\nStopped: " + std::to_string(numbers.size() - done) + " not saved.";
    m_ports.dialogs.messageBox({.text = report, .caption = caption});
}

void frmLibrary::showInFolder() {
    if (m_ports.showFolder)
        m_ports.showFolder();
}

std::vector<std::string> ownPdfNames(const std::string& number) {
    const std::string user = "-" + currentUserName();
    return {number + ".pdf", number + "-answers.pdf", number + user + ".pdf",
            number + "-answers" + user + ".pdf"};
}

void frmLibrary::moveToTrash() {
    const std::vector<std::string> numbers = selectedNumbers();
    if (numbers.empty() || m_trashing)
        return;
    // Each worksheet takes its own PDFs with it: the ones printed or saved beside it.
    std::vector<std::filesystem::path> files;
    std::vector<std::string> names;
    std::vector<std::string> pdfs;
    for (const std::string& number : numbers) {
        files.push_back(m_ports.folder / pathFromUtf8(number));
        names.push_back(number);
        for (const std::string& pdf : ownPdfNames(number)) {
            const std::filesystem::path path = m_ports.folder / pathFromUtf8(pdf);
            std::error_code ec;
            if (std::filesystem::is_regular_file(std::filesystem::symlink_status(path, ec))) {
                files.push_back(path);
                names.push_back(pdf);
                pdfs.push_back(pdf);
            }
        }
    }
    std::string question = numbers.size() == 1
                               ? "Move worksheet " + numbers[0] + " to the trash?"
                               : "Move these " + std::to_string(numbers.size()) +
                                     " worksheets to the trash?\n" + namesOf(numbers);
    if (!pdfs.empty())
        question
            .append(pdfs.size() == 1 ? "\nThis PDF file goes with " : "\nThese PDF files go with ")
            .append(numbers.size() == 1 ? "it: " : "them: ")
            .append(namesOf(pdfs));
    if (m_ports.dialogs.messageBox({.text = question,
                                    .buttons = MsgButtons::YesNo,
                                    .icon = MsgIcon::Question,
                                    .caption = "Worksheet Library"}) != MsgResult::Yes)
        return;
    // Many thousand files take a while: moved on a thread of their own, with progress and Cancel;
    // what was moved stays moved.
    const ProgressBox shown =
        newProgressBox(this, QStringLiteral("trashProgress"), QStringLiteral("Worksheet Library"),
                       QStringLiteral("Moving worksheets to the trash..."),
                       static_cast<int>(files.size()), Qt::WindowModal);
    QProgressDialog* const progress = shown.box;
    const std::shared_ptr<std::atomic<bool>> stop = shown.stop;
    auto* watcher = new QFutureWatcher<QString>(this);
    connect(watcher, &QFutureWatcherBase::progressValueChanged, progress,
            &QProgressDialog::setValue);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, progress] {
        std::string failures;
        const QList<QString> reasons = watcher->future().results();
        for (const QString& reason : reasons)
            failures.append("\n").append(reason.toStdString());
        // Gone at once: a box closed before it showed would still come up later, over the
        // report (closing one also says "canceled").
        delete progress;
        watcher->deleteLater();
        m_trashing = nullptr;
        updateState();
        m_catalog->refresh();
        if (!failures.empty())
            m_ports.dialogs.messageBox({.text = "These worksheets could not be moved to the "
                                                "trash and are kept as they are:" +
                                                failures,
                                        .icon = MsgIcon::Exclamation,
                                        .caption = "Worksheet Library"});
    });
    m_trashing = watcher;
    updateState();
    watcher->setFuture(
        QtConcurrent::run(backgroundPool(), [files, names, stop](QPromise<QString>& promise) {
            promise.setProgressRange(0, static_cast<int>(files.size()));
            for (std::size_t k = 0; k < files.size() && !*stop; ++k) {
                if (const std::optional<QString> why = moveFileToTrash(files[k]))
                    promise.addResult(fromUtf8(names[k]) + QStringLiteral(": ") + *why);
                promise.setProgressValue(static_cast<int>(k) + 1);
            }
        }));
}

void frmLibrary::showPreview() {
    // A set shows its first version.
    const std::vector<std::string> numbers =
        m_catalog->numbersAt(lstWorksheets->selectionModel()->currentIndex());
    const QString number = numbers.empty() ? QString() : fromUtf8(numbers.front());
    if (number.isEmpty()) {
        m_previewed.clear();
        picPreview->setPixmap({});
        picPreview->setText(m_catalog->storedCount() == 0 && !m_catalog->isReading()
                                ? QStringLiteral("No worksheets are stored yet.")
                                : QString());
        return;
    }
    const PageControls controls = m_ports.controls();
    const bool answerKey = chkAnswerKey->isChecked();
    // Letter is the wider paper, A4 the taller: the page fits either way; at full size, the
    // screen's own inches. Drawn in the screen's pixels, so it is sharp where they are small.
    const QSize room = m_previewArea->viewport()->size();
    const qreal ratio = devicePixelRatioF();
    const int dpi = qRound(
        ratio * (chkFullSize->isChecked()
                     ? logicalDpiY()
                     : std::max(24, std::min(room.width() * 2 / 17, room.height() * 10 / 117))));
    const QString key = QStringLiteral("%1 %2 %3 %4 %5 %6")
                            .arg(number)
                            .arg(int{answerKey})
                            .arg(int{controls.look.easy})
                            .arg(controls.look.chkBold)
                            .arg(dpi)
                            .arg(fromUtf8(controls.look.txtAppend));
    if (key == m_previewed)
        return;
    m_previewed = key;
    picPreview->setAccessibleDescription(QString());
    try {
        const SavedWorksheet sheet =
            readWorksheetFile(m_ports.folder / pathFromUtf8(number.toStdString()));
        if (const std::string refusal = LayoutRefusal(
                number.toStdString(), sheet.count, controls.look.easy && !sheet.laidOut, answerKey);
            !refusal.empty()) {
            picPreview->setPixmap({});
            picPreview->setText(fromUtf8(refusal));
            return;
        }
        PositionTable compact;
        const PositionTable& positions =
            LayoutForKey(m_ports.ProblemPos, controls.look.easy, sheet.count, answerKey, compact);
        QtPrinter printer({});
        const QImage page = printer.drawPreview(
            m_ports.picRetPic, {positions, controls.look, answerKey, controls.decimalSeparator},
            sheet, dpi, m_paperOf);
        if (page.isNull())
            throw RuntimeError(ErrorNumber::PrinterError);
        QPixmap shown = QPixmap::fromImage(page);
        shown.setDevicePixelRatio(ratio);
        picPreview->setPixmap(shown);
        if (chkFullSize->isChecked())
            picPreview->adjustSize();
        picPreview->setAccessibleDescription(
            QStringLiteral("%1 of worksheet %2, %3")
                .arg(answerKey ? QStringLiteral("Answer key") : QStringLiteral("The page"), number,
                     fromUtf8(sheet.title)));
    } catch (const std::exception& failure) {
        picPreview->setPixmap({});
        picPreview->setText(QStringLiteral("Worksheet %1 cannot be shown: %2")
                                .arg(number, fromUtf8(describeFailure(failure))));
    }
}

void frmLibrary::updateState() {
    const int shown = m_catalog->shownCount();
    const int stored = m_catalog->storedCount();
    QString count = shown == stored ? QStringLiteral("%1 worksheets").arg(stored)
                                    : QStringLiteral("%1 of %2 worksheets").arg(shown).arg(stored);
    if (m_catalog->isReading())
        count += QStringLiteral(", reading the folder...");
    else if (const QString failure = m_catalog->failure(); !failure.isEmpty())
        count += QStringLiteral(". ") + failure;
    lblCount->setText(count);
    const bool any = lstWorksheets->selectionModel()->hasSelection();
    for (QPushButton* b : {cmdPrint, cmdPrintAnswerKey, cmdSavePdf, cmdMakeAgain})
        b->setEnabled(any);
    cmdTrash->setEnabled(any && !m_trashing);
}

bool frmLibrary::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Down from the search goes into the list; Delete in the list trashes.
        if (watched == txtSearch &&
            (key->key() == Qt::Key_Down || key->key() == Qt::Key_PageDown)) {
            lstWorksheets->setFocus();
            return false;
        }
        if (watched == lstWorksheets && key->key() == Qt::Key_Delete) {
            moveToTrash();
            return true;
        }
    }
    // A new size is drawn at once, the resizes of one turn of the event loop together: a page
    // takes a few milliseconds, so the preview follows a window edge as it is dragged.
    if (event->type() == QEvent::Resize && watched == m_previewArea->viewport() &&
        !chkFullSize->isChecked())
        m_redrawSoon->start();
    return QWidget::eventFilter(watched, event);
}

// Back from the main window, whose layout, Bold or bottom line may have changed, or from a file
// manager: the page is drawn anew, and a folder the watcher cannot see (a share) is read again.
void frmLibrary::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        m_previewLater->start();
        if (!m_lastRead.isValid() || m_lastRead.elapsed() > 3000) {
            m_lastRead.start();
            m_catalog->refresh();
        }
    }
    QWidget::changeEvent(event);
}

} // namespace sbk3
