#include "app/WorksheetCatalog.h"

#include "app/Background.h"
#include "common/NativeFile.h"
#include "common/RuntimeError.h"

#include "common/FileExists.h"
#include "common/ProblemKinds.h"
#include "common/Text.h"
#include "print/QtText.h"
#include "store/WorksheetList.h"

#include <QDateTime>
#include <QHeaderView>
#include <QLocale>
#include <QPromise>
#include <QRegularExpression>
#include <QSet>
#include <QThreadPool>
#include <QTimer>
#include <QTreeView>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <chrono>
#include <unordered_map>
#include <unordered_set>

namespace sbk3 {

namespace {

// Unicode's own folding, the same in every locale, and the Turkish dotted capital I and dotless
// small i taken as the plain i they stand beside: "işlemi" finds "İşlemi" wherever it is typed.
QString folded(const QString& text) {
    QString result = text.toCaseFolded();
    for (QChar& c : result)
        if (c == QChar(0x0130) || c == QChar(0x0131))
            c = QLatin1Char('i');
    return result;
}

} // namespace

std::vector<std::string> searchWords(const QString& typed) {
    std::vector<std::string> words;
    for (const QString& word :
         folded(typed).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        words.push_back(word.toStdString());
    return words;
}

std::string searchText(const QString& number, const QString& title) {
    // A line break between them: no word is found across the two. UTF-8, where finding a word
    // is a plain byte search, fast enough for every keystroke over many thousand worksheets.
    return folded(number + QLatin1Char('\n') + title).toStdString();
}

bool matchesSearch(std::string_view text, const std::vector<std::string>& words) {
    return std::all_of(words.begin(), words.end(), [&](const std::string& word) {
        return text.find(word) != std::string_view::npos;
    });
}

bool narrows(const std::vector<std::string>& words, const std::vector<std::string>& earlier) {
    return std::all_of(earlier.begin(), earlier.end(), [&](const std::string& before) {
        return std::any_of(words.begin(), words.end(), [&](const std::string& word) {
            return word.find(before) != std::string::npos;
        });
    });
}

namespace {

QString typeName(std::string_view number) {
    for (const ProblemTypeInfo& type : problemTypes())
        if (number.substr(0, 3) == type.code)
            return fromUtf8(std::string(type.name));
    return {};
}

} // namespace

QString WorksheetCatalog::madeText(std::int64_t madeAt) {
    static const QLocale english(QLocale::English, QLocale::UnitedKingdom);
    return english.toString(QDateTime::fromSecsSinceEpoch(madeAt).date(),
                            QStringLiteral("d MMMM yyyy"));
}

QString WorksheetCatalog::spokenRow(const ListedWorksheet& sheet) {
    QString spoken =
        fromUtf8(sheet.number) + QStringLiteral(", ") + fromUtf8(sheet.title) +
        QStringLiteral(", ") + typeName(sheet.number) + QStringLiteral(", ") +
        QString::number(sheet.count) +
        (sheet.count == 1 ? QStringLiteral(" problem, ") : QStringLiteral(" problems, ")) +
        madeText(sheet.madeAt);
    if (sheet.incomplete)
        spoken += QStringLiteral(", incomplete");
    return spoken;
}

namespace {

using Batch = WorksheetCatalog::Batch;
using BatchPromise = QPromise<std::shared_ptr<Batch>>;

// The folder's own change time: a name made, removed or renamed in it changes it.
std::int64_t folderChangedNs(const std::filesystem::path& folder) {
    std::error_code ec;
    const auto changed = std::filesystem::last_write_time(folder, ec);
    return ec ? -1
              : std::chrono::duration_cast<std::chrono::nanoseconds>(changed.time_since_epoch())
                    .count();
}

WorksheetCatalog::Row rowOf(ListedWorksheet&& sheet) {
    // The text is made ready for searching here, off the window's thread.
    WorksheetCatalog::Row row;
    row.number = fromUtf8(sheet.number);
    row.title = fromUtf8(sheet.title);
    row.text = searchText(row.number, row.title);
    row.sheet = std::move(sheet);
    return row;
}

// One reading of the folder, on a thread of the background pool; it hands over the rows of new
// and changed files in batches, a small first one so the window fills at once, then one about
// every tenth of a second. What it was given is its own: it touches nothing of the catalog's.
class FolderReading {
public:
    FolderReading(BatchPromise& promise, std::shared_ptr<const WorksheetCatalog::Stamps> known)
        : m_promise(promise), m_known(std::move(known)) {}

    void read(const std::filesystem::path& folder, std::int64_t knownFolderNs, bool full) {
        try {
            m_batch->folderChangedNs = folderChangedNs(folder);
            if (!full && m_known && m_batch->folderChangedNs == knownFolderNs &&
                knownFolderNs != -1) {
                // Nothing made or removed since: no file is looked at.
                m_batch->stamps = m_known;
                m_batch->last = true;
                m_promise.addResult(std::move(m_batch));
                return;
            }
            std::error_code ec;
            for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
                 it.increment(ec)) {
                if (m_promise.isCanceled())
                    return;
                look(*it);
            }
            if (ec)
                m_batch->failure = "The folder cannot be read: " + ec.message();
        } catch (const std::exception& failure) {
            m_batch->failure = "The folder cannot be read: " + describeFailure(failure);
        } catch (...) {
            m_batch->failure = "The folder cannot be read.";
        }
        finish();
    }

private:
    using Clock = std::chrono::steady_clock;

    void look(const std::filesystem::directory_entry& entry) {
        if (!mayBeWorksheet(entry))
            return; // links and folders are never opened
        const std::filesystem::path& file = entry.path();
        std::string name = pathToUtf8(file.filename());
        const auto was = m_known ? m_known->find(name) : WorksheetCatalog::Stamps::const_iterator();
        const bool had = m_known && was != m_known->end();
        if (had) {
            // Known: looked at without opening it, and read again only where it changed.
            const std::optional<FileInfo> info = infoAt(file);
            if (!info)
                return; // gone since it was listed
            if (*info == was->second) {
                m_seen->emplace(std::move(name), was->second);
                return;
            }
        }
        FileInfo info;
        if (std::optional<ListedWorksheet> sheet = readListedWorksheet(file, &info))
            m_batch->rows.push_back(rowOf(std::move(*sheet)));
        else if (had)
            m_batch->gone.push_back(name); // no longer reads as a worksheet
        if (info.regular)
            m_seen->emplace(std::move(name), info);
        const bool first = !m_handedAny && m_batch->rows.size() == 64;
        const bool due = m_batch->rows.size() >= 1024 &&
                         Clock::now() - m_handedOver >= std::chrono::milliseconds(100);
        if (first || due) {
            m_promise.addResult(std::exchange(m_batch, std::make_shared<Batch>()));
            m_handedAny = true;
            m_handedOver = Clock::now();
        }
    }

    // The last batch: the names gone (none where the reading failed: what was not reached is
    // kept as it was), and every file's stamp.
    void finish() {
        if (m_known) {
            for (const auto& [name, stamp] : *m_known) {
                if (m_seen->contains(name))
                    continue;
                if (m_batch->failure.empty())
                    m_batch->gone.push_back(name);
                else
                    m_seen->emplace(name, stamp);
            }
        }
        m_batch->stamps = std::move(m_seen);
        m_batch->last = true;
        m_promise.addResult(std::move(m_batch));
    }

    BatchPromise& m_promise;
    std::shared_ptr<const WorksheetCatalog::Stamps> m_known;
    std::shared_ptr<Batch> m_batch = std::make_shared<Batch>();
    std::shared_ptr<WorksheetCatalog::Stamps> m_seen = std::make_shared<WorksheetCatalog::Stamps>();
    bool m_handedAny = false;
    Clock::time_point m_handedOver = Clock::now();
};

void readFolder(BatchPromise& promise, const std::filesystem::path& folder,
                const std::shared_ptr<const WorksheetCatalog::Stamps>& known,
                std::int64_t knownFolderNs, bool full) {
    FolderReading(promise, known).read(folder, knownFolderNs, full);
}

} // namespace

WorksheetCatalog::WorksheetCatalog(std::filesystem::path folder, QObject* parent)
    : QAbstractTableModel(parent), m_folder(std::move(folder)), m_poll(new QTimer(this)) {
    // Polled, not watched: a watch takes the path through text, which a folder in any bytes
    // does not survive, and where the system's watches run out the fallback reads everything.
    m_poll->setInterval(1000);
    connect(m_poll, &QTimer::timeout, this, [this] {
        if (m_reading)
            return;
        // The folder's change time each second; every file's size and time every fifth, for a
        // worksheet changed in place.
        startReading(++m_polls % 5 == 0);
    });
    m_poll->start();
    startReading(true);
    m_announced = true;
}

WorksheetCatalog::~WorksheetCatalog() {
    // Cancelled, never waited for: a reading that is stuck ends on its own thread.
    if (m_reading)
        m_reading->future().cancel();
}

void WorksheetCatalog::startReading(bool full) {
    auto* reading = new QFutureWatcher<std::shared_ptr<Batch>>(this);
    connect(reading, &QFutureWatcherBase::resultsReadyAt, this,
            [this, reading](int begin, int end) {
                for (int k = begin; k < end; ++k)
                    if (const std::shared_ptr<Batch> batch = reading->resultAt(k))
                        takeBatch(*batch);
            });
    m_reading = reading;
    reading->setFuture(QtConcurrent::run(backgroundPool(), readFolder, m_folder, m_stamps,
                                         m_folderChangedNs, full));
}

void WorksheetCatalog::refresh() {
    if (m_reading) {
        m_readAgain = true;
        return;
    }
    startReading(true);
    m_announced = true;
}

void WorksheetCatalog::takeBatch(Batch& batch) {
    const bool changes = !batch.rows.empty() || !batch.gone.empty();
    if (changes) {
        showMatches([&] {
            // A changed file's old row goes, its new one comes in order. Every name the last
            // reading saw is in its stamps, so a name not there has no row yet.
            std::unordered_set<std::string> replaced(batch.gone.begin(), batch.gone.end());
            if (m_stamps)
                for (const Row& row : batch.rows)
                    if (m_stamps->contains(row.sheet.number))
                        replaced.insert(row.sheet.number);
            if (!replaced.empty())
                std::erase_if(m_rows,
                              [&](const Row& row) { return replaced.contains(row.sheet.number); });
            const std::size_t first = m_rows.size();
            m_rows.insert(m_rows.end(), std::make_move_iterator(batch.rows.begin()),
                          std::make_move_iterator(batch.rows.end()));
            sortRows(first);
        });
    }
    if (!batch.last)
        return;
    const bool failedBefore = !m_failure.isEmpty();
    m_failure = fromUtf8(batch.failure);
    if (batch.stamps && batch.stamps != m_stamps) {
        // A map of many thousand names takes a while to free: the old one goes on the pool.
        backgroundPool()->start([old = std::exchange(m_stamps, batch.stamps)] {});
        batch.stamps.reset();
    }
    m_folderChangedNs = batch.failure.empty() ? batch.folderChangedNs : -1;
    m_reading->deleteLater(); // and with it what the reading handed over
    m_reading = nullptr;
    const bool announced = m_announced;
    m_announced = false;
    if (m_readAgain) {
        m_readAgain = false;
        startReading(true);
        m_announced = true;
    } else if (announced || changes || failedBefore || !m_failure.isEmpty()) {
        Q_EMIT readingFinished();
    }
}

bool WorksheetCatalog::before(const Row& a, const Row& b) const {
    // A worksheet cut off by a crash is always listed after the whole ones.
    if (a.sheet.incomplete != b.sheet.incomplete)
        return b.sheet.incomplete;
    const bool descending = m_sortOrder == Qt::DescendingOrder;
    const Row& x = descending ? b : a;
    const Row& y = descending ? a : b;
    switch (m_sortColumn) {
    case TitleColumn:
        if (const int order = x.title.compare(y.title, Qt::CaseInsensitive))
            return order < 0;
        break;
    case TypeColumn:
        if (x.sheet.number.substr(0, 3) != y.sheet.number.substr(0, 3))
            return typeName(x.sheet.number) < typeName(y.sheet.number);
        break;
    case ProblemsColumn:
        if (x.sheet.count != y.sheet.count)
            return x.sheet.count < y.sheet.count;
        break;
    case MadeColumn:
        if (x.sheet.madeAt != y.sheet.madeAt)
            return x.sheet.madeAt < y.sheet.madeAt;
        break;
    default:
        break;
    }
    return x.sheet.number < y.sheet.number;
}

void WorksheetCatalog::sortRows(std::size_t first) {
    const auto order = [this](const Row& a, const Row& b) { return before(a, b); };
    const auto middle = m_rows.begin() + static_cast<std::ptrdiff_t>(first);
    std::stable_sort(middle, m_rows.end(), order);
    std::inplace_merge(m_rows.begin(), middle, m_rows.end(), order);
}

void WorksheetCatalog::showMatches(const std::function<void()>& change, bool narrowing) {
    // The selection and the current row are persistent indexes: they follow their worksheet.
    Q_EMIT layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    QStringList numbers;
    numbers.reserve(before.size());
    for (const QModelIndex& index : before)
        numbers << numberAt(index.row());
    if (change)
        change();

    if (narrowing) {
        std::erase_if(m_shown, [this](int k) {
            return !matchesSearch(m_rows[static_cast<std::size_t>(k)].text, m_words);
        });
    } else {
        m_shown.clear();
        for (std::size_t k = 0; k < m_rows.size(); ++k)
            if (matchesSearch(m_rows[k].text, m_words))
                m_shown.push_back(static_cast<int>(k));
    }

    if (!before.isEmpty()) {
        const QSet<QString> wanted(numbers.begin(), numbers.end());
        QHash<QString, int> rowOf;
        for (std::size_t row = 0; row < m_shown.size(); ++row)
            if (const QString& number = m_rows[m_shown[row]].number; wanted.contains(number))
                rowOf.insert(number, static_cast<int>(row));
        QModelIndexList after;
        after.reserve(before.size());
        for (qsizetype k = 0; k < before.size(); ++k) {
            const auto found = rowOf.constFind(numbers[k]);
            after << (found == rowOf.cend() ? QModelIndex() : index(*found, before[k].column()));
        }
        changePersistentIndexList(before, after);
    }
    Q_EMIT layoutChanged();
}

void WorksheetCatalog::setSearch(const QString& typed) {
    std::vector<std::string> words = searchWords(typed);
    if (words == m_words)
        return;
    const bool narrowing = narrows(words, m_words);
    showMatches([&] { m_words = std::move(words); }, narrowing);
}

void WorksheetCatalog::sort(int column, Qt::SortOrder order) {
    showMatches([&] {
        m_sortColumn = column;
        m_sortOrder = order;
        sortRows();
    });
}

QString WorksheetCatalog::numberAt(int row) const {
    if (row < 0 || row >= static_cast<int>(m_shown.size()))
        return {};
    return m_rows[m_shown[row]].number;
}

int WorksheetCatalog::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_shown.size());
}

int WorksheetCatalog::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant WorksheetCatalog::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(m_shown.size()))
        return {};
    const Row& row = m_rows[m_shown[index.row()]];
    if (role == NumberRole)
        return row.number;
    if (role == Qt::AccessibleTextRole && index.column() == NumberColumn)
        return spokenRow(row.sheet);
    if (role == Qt::TextAlignmentRole && index.column() == ProblemsColumn)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case NumberColumn:
        return row.number;
    case TitleColumn:
        return row.sheet.incomplete ? row.title + QStringLiteral("  (incomplete)") : row.title;
    case TypeColumn:
        return typeName(row.sheet.number);
    case ProblemsColumn:
        return row.sheet.count;
    case MadeColumn:
        return madeText(row.sheet.madeAt);
    default:
        return {};
    }
}

QVariant WorksheetCatalog::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QStringList names = {QStringLiteral("Number"), QStringLiteral("Title"),
                                      QStringLiteral("Type"), QStringLiteral("Problems"),
                                      QStringLiteral("Made")};
    return names.value(section);
}

QTreeView* newCatalogView(WorksheetCatalog* catalog, QWidget* parent) {
    auto* view = new QTreeView(parent);
    view->setModel(catalog);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->header()->setStretchLastSection(false);
    view->header()->setSectionResizeMode(WorksheetCatalog::TitleColumn, QHeaderView::Stretch);
    const int digit = view->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    view->setColumnWidth(WorksheetCatalog::NumberColumn, 12 * digit);
    view->setColumnWidth(WorksheetCatalog::TypeColumn, 13 * digit);
    view->setColumnWidth(WorksheetCatalog::ProblemsColumn, 9 * digit);
    view->setColumnWidth(WorksheetCatalog::MadeColumn, 17 * digit);
    return view;
}

} // namespace sbk3
