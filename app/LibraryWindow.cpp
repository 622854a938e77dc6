#include "app/LibraryWindow.h"

#include "app/Background.h"
#include "app/PrinterQuery.h"
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

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
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

namespace {

// "ADD030238, MIX020111, SUB010555": the first ten, and how many more.
std::string namesOf(const std::vector<std::string>& numbers) {
    constexpr std::size_t kNamed = 10;
    std::string names;
    for (std::size_t k = 0; k < std::min(numbers.size(), kNamed); ++k)
        names += (k == 0 ? "" : ", ") + numbers[k];
    if (numbers.size() > kNamed)
        names += " and " + std::to_string(numbers.size() - kNamed) + " more";
    return names;
}

} // namespace

frmLibrary::frmLibrary(LibraryPorts ports, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ports(std::move(ports)),
      m_catalog(new WorksheetCatalog(m_ports.folder, this)), m_previewLater(new QTimer(this)) {
    setObjectName(QStringLiteral("frmLibrary"));
    setWindowTitle(QStringLiteral("Worksheet Library"));
    setAttribute(Qt::WA_DeleteOnClose);
    createWidgets();
    // Moving through the list draws only the page it stops on.
    m_previewLater->setSingleShot(true);
    m_previewLater->setInterval(40);
    connect(m_previewLater, &QTimer::timeout, this, &frmLibrary::showPreview);
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

    lstWorksheets = newCatalogView(m_catalog, this);
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

    picPreview = new QLabel(this);
    picPreview->setObjectName(QStringLiteral("picPreview"));
    picPreview->setAccessibleName(QStringLiteral("Preview"));
    picPreview->setAlignment(Qt::AlignCenter);
    picPreview->setWordWrap(true);
    picPreview->setMinimumSize(300, 390);
    picPreview->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    picPreview->installEventFilter(this); // a new size draws the page anew
    chkAnswerKey = new QCheckBox(QStringLiteral("Show &Answer Key"), this);
    chkAnswerKey->setObjectName(QStringLiteral("chkAnswerKey"));
    connect(chkAnswerKey, &QCheckBox::toggled, this, &frmLibrary::showPreview);

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
    previewLayout->addWidget(picPreview, 1);
    previewLayout->addWidget(chkAnswerKey);
    auto* split = new QSplitter(this);
    split->addWidget(listSide);
    split->addWidget(previewSide);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdPrint, cmdPrintAnswerKey, cmdSavePdf, cmdShowInFolder, cmdTrash})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtSearch);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);
    setTabOrder(txtSearch, lstWorksheets);
    setTabOrder(lstWorksheets, chkAnswerKey);
    // Roomy, but never larger than the screen it opens on.
    QSize size(1100, 640);
    if (const QScreen* shown = screen())
        size = size.boundedTo(shown->availableGeometry().size() - QSize(40, 60));
    resize(size);
}

void frmLibrary::searchChanged() {
    m_catalog->setSearch(txtSearch->text());
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
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<std::string> numbers;
    for (const QModelIndex& row : rows)
        numbers.push_back(m_catalog->numberAt(row.row()).toStdString());
    return numbers;
}

const PageCommand& frmLibrary::command(std::string_view objectName) const {
    const auto commands = pageCommands();
    return *std::find_if(commands.begin(), commands.end(),
                         [&](const PageCommand& c) { return c.objectName == objectName; });
}

void frmLibrary::printSelected(bool answerKey) {
    runOnSelected(command(answerKey ? "actPrintAnswerKey" : "actPrintSaved"));
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
    std::filesystem::path pdfFolder;
    if (pageCommand.toPdf) {
        // One save dialog: the folder chosen for the first takes them all, each as NUMBER.pdf.
        const std::string suffix = pageCommand.answerKey ? "-answers.pdf" : ".pdf";
        const std::string first = m_ports.dialogs.saveFileBox(
            "Save " + count + " Worksheets as PDF: Choose the Folder",
            pathToUtf8(m_ports.documentsFolder / pathFromUtf8(numbers.front() + suffix)));
        if (first.empty())
            return;
        pdfFolder = pathFromUtf8(first).parent_path();
    } else if (m_ports.dialogs.messageBox(
                   {.text = "Print these " + count + " " +
                            (pageCommand.answerKey ? "answer keys" : "worksheets") + "?\n" +
                            namesOf(numbers),
                    .buttons = MsgButtons::YesNo,
                    .icon = MsgIcon::Question,
                    .caption = caption}) != MsgResult::Yes) {
        return;
    }
    const std::string doing =
        pageCommand.toPdf ? "Saving " + count + " PDF files..." : "Printing " + count + " pages...";
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
        if (gathered.said.size() == before) // a page sent says nothing of itself
            gathered.said.push_back(numbers[done] + ": sent to the printer.");
        QCoreApplication::processEvents(); // Cancel, and the windows, answer between pages
    }
    delete progress;
    std::string report;
    for (const std::string& line : gathered.said)
        report.append(report.empty() ? "" : "\n").append(line);
    if (done < numbers.size())
        report += std::string("\nStopped: ") + std::to_string(numbers.size() - done) + " not " +
                  (pageCommand.toPdf ? "saved." : "printed.");
    m_ports.dialogs.messageBox({.text = report, .caption = caption});
}

void frmLibrary::showInFolder() {
    if (m_ports.showFolder)
        m_ports.showFolder();
}

void frmLibrary::moveToTrash() {
    const std::vector<std::string> numbers = selectedNumbers();
    if (numbers.empty() || m_trashing)
        return;
    const std::string question = numbers.size() == 1
                                     ? "Move worksheet " + numbers[0] + " to the trash?"
                                     : "Move these " + std::to_string(numbers.size()) +
                                           " worksheets to the trash?\n" + namesOf(numbers);
    if (m_ports.dialogs.messageBox({.text = question,
                                    .buttons = MsgButtons::YesNo,
                                    .icon = MsgIcon::Question,
                                    .caption = "Worksheet Library"}) != MsgResult::Yes)
        return;
    std::vector<std::filesystem::path> files;
    files.reserve(numbers.size());
    for (const std::string& number : numbers)
        files.push_back(m_ports.folder / pathFromUtf8(number));
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
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, progress, numbers] {
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
        QtConcurrent::run(backgroundPool(), [files, numbers, stop](QPromise<QString>& promise) {
            promise.setProgressRange(0, static_cast<int>(files.size()));
            for (std::size_t k = 0; k < files.size() && !*stop; ++k) {
                if (const std::optional<QString> why = moveFileToTrash(files[k]))
                    promise.addResult(fromUtf8(numbers[k]) + QStringLiteral(": ") + *why);
                promise.setProgressValue(static_cast<int>(k) + 1);
            }
        }));
}

void frmLibrary::showPreview() {
    const QModelIndex current = lstWorksheets->selectionModel()->currentIndex();
    const QString number = current.isValid() ? m_catalog->numberAt(current.row()) : QString();
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
    // Letter is the wider paper, A4 the taller: the page fits either way.
    const int dpi = std::max(
        24, std::min(qRound(picPreview->width() / 8.5), qRound(picPreview->height() / 11.7)));
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
        picPreview->setPixmap(QPixmap::fromImage(page));
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
    const int shown = m_catalog->rowCount();
    const int stored = m_catalog->storedCount();
    QString count = shown == stored ? QStringLiteral("%1 worksheets").arg(stored)
                                    : QStringLiteral("%1 of %2 worksheets").arg(shown).arg(stored);
    if (m_catalog->isReading())
        count += QStringLiteral(", reading the folder...");
    else if (const QString failure = m_catalog->failure(); !failure.isEmpty())
        count += QStringLiteral(". ") + failure;
    lblCount->setText(count);
    const bool any = lstWorksheets->selectionModel()->hasSelection();
    for (QPushButton* b : {cmdPrint, cmdPrintAnswerKey, cmdSavePdf})
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
    if (event->type() == QEvent::Resize && watched == picPreview)
        m_previewLater->start();
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
