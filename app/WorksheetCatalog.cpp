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

QString WorksheetCatalog::madeText(std::int64_t madeAt, bool shortMonth) {
    static const QLocale english(QLocale::English, QLocale::UnitedKingdom);
    return english.toString(QDateTime::fromSecsSinceEpoch(madeAt),
                            shortMonth ? QStringLiteral("d MMM yyyy, HH:mm")
                                       : QStringLiteral("d MMMM yyyy, HH:mm"));
}

QString WorksheetCatalog::spokenAt(const QModelIndex& index) const {
    QStringList cells;
    for (int column = 0; column < ColumnCount; ++column)
        cells << index.siblingAtColumn(column).data(Qt::AccessibleTextRole).toString();
    return cells.join(QStringLiteral(", "));
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
    : QAbstractItemModel(parent), m_folder(std::move(folder)), m_poll(new QTimer(this)) {
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

QString WorksheetCatalog::identityOf(const QModelIndex& index) const {
    if (const Row* row = rowAt(index))
        return row->number;
    if (index.isValid() && !index.parent().isValid() &&
        static_cast<std::size_t>(index.row()) < m_tops.size()) {
        const Top& top = m_tops[static_cast<std::size_t>(index.row())];
        return QStringLiteral("/set/") +
               fromUtf8(m_rows[static_cast<std::size_t>(top.versions.front())].sheet.setKey);
    }
    return {};
}

void WorksheetCatalog::groupShown() {
    m_tops.clear();
    m_tops.reserve(m_shown.size());
    std::unordered_map<std::string, std::size_t> setAt;
    for (const int k : m_shown) {
        const ListedWorksheet& sheet = m_rows[static_cast<std::size_t>(k)].sheet;
        if (!m_groupSets || sheet.setKey.empty()) {
            m_tops.push_back({k, {}});
            continue;
        }
        const auto [at, isNew] = setAt.try_emplace(sheet.setKey, m_tops.size());
        if (isNew)
            m_tops.push_back({-1, {}});
        m_tops[at->second].versions.push_back(k);
    }
    for (Top& top : m_tops) {
        // A set the search leaves one version of shows that worksheet alone.
        if (top.versions.size() == 1) {
            top.row = top.versions.front();
            top.versions.clear();
        }
    }
    for (Top& top : m_tops)
        std::stable_sort(top.versions.begin(), top.versions.end(), [this](int a, int b) {
            return m_rows[static_cast<std::size_t>(a)].sheet.setPlace <
                   m_rows[static_cast<std::size_t>(b)].sheet.setPlace;
        });
}

void WorksheetCatalog::showMatches(const std::function<void()>& change, bool narrowing) {
    // The selection and the current row are persistent indexes: they follow their worksheet, or
    // their set.
    Q_EMIT layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    QStringList identities;
    identities.reserve(before.size());
    for (const QModelIndex& index : before)
        identities << identityOf(index);
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
    groupShown();

    if (!before.isEmpty())
        follow(before, identities);
    Q_EMIT layoutChanged();
}

void WorksheetCatalog::follow(const QModelIndexList& before, const QStringList& identities) {
    const QSet<QString> wanted(identities.begin(), identities.end());
    // Where each wanted worksheet or set now stands: its top-level row, and its row in its
    // set (-1 for a top-level row).
    QHash<QString, std::pair<int, int>> placeOf;
    for (std::size_t top = 0; top < m_tops.size(); ++top) {
        const QModelIndex topIndex = index(static_cast<int>(top), 0);
        if (const QString id = identityOf(topIndex); wanted.contains(id))
            placeOf.insert(id, {static_cast<int>(top), -1});
        const std::vector<int>& versions = m_tops[top].versions;
        for (std::size_t v = 0; v < versions.size(); ++v)
            if (const QString& number = m_rows[static_cast<std::size_t>(versions[v])].number;
                wanted.contains(number))
                placeOf.insert(number, {static_cast<int>(top), static_cast<int>(v)});
    }
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype k = 0; k < before.size(); ++k) {
        const auto found = placeOf.constFind(identities[k]);
        if (found == placeOf.cend()) {
            after << QModelIndex();
            continue;
        }
        const auto [top, version] = *found;
        after << (version < 0 ? index(top, before[k].column())
                              : index(version, before[k].column(), index(top, 0)));
    }
    changePersistentIndexList(before, after);
}

void WorksheetCatalog::setGroupsSets(bool on) {
    if (on == m_groupSets)
        return;
    showMatches([&] { m_groupSets = on; });
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

// A top-level index has the id 0; a version's has its set's top-level row plus one.
QModelIndex WorksheetCatalog::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column < 0 || column >= ColumnCount)
        return {};
    if (!parent.isValid())
        return static_cast<std::size_t>(row) < m_tops.size() ? createIndex(row, column, quintptr{0})
                                                             : QModelIndex();
    if (parent.internalId() != 0 || static_cast<std::size_t>(parent.row()) >= m_tops.size() ||
        static_cast<std::size_t>(row) >=
            m_tops[static_cast<std::size_t>(parent.row())].versions.size())
        return {};
    return createIndex(row, column, static_cast<quintptr>(parent.row()) + 1);
}

QModelIndex WorksheetCatalog::parent(const QModelIndex& child) const {
    if (!child.isValid() || child.internalId() == 0)
        return {};
    return createIndex(static_cast<int>(child.internalId() - 1), 0, quintptr{0});
}

const WorksheetCatalog::Row* WorksheetCatalog::rowAt(const QModelIndex& index) const {
    if (!index.isValid())
        return nullptr;
    const std::size_t top =
        index.internalId() == 0 ? static_cast<std::size_t>(index.row()) : index.internalId() - 1;
    if (top >= m_tops.size())
        return nullptr;
    const Top& t = m_tops[top];
    if (index.internalId() == 0)
        return t.row < 0 ? nullptr : &m_rows[static_cast<std::size_t>(t.row)];
    if (static_cast<std::size_t>(index.row()) >= t.versions.size())
        return nullptr;
    return &m_rows[static_cast<std::size_t>(t.versions[static_cast<std::size_t>(index.row())])];
}

bool WorksheetCatalog::isSet(const QModelIndex& index) const {
    return index.isValid() && index.internalId() == 0 && rowAt(index) == nullptr &&
           static_cast<std::size_t>(index.row()) < m_tops.size();
}

QString WorksheetCatalog::numberAt(int row) const {
    return numberAt(index(row, 0));
}

QString WorksheetCatalog::numberAt(const QModelIndex& index) const {
    const Row* row = rowAt(index);
    return row ? row->number : QString();
}

std::vector<std::string> WorksheetCatalog::numbersAt(const QModelIndex& index) const {
    if (const Row* row = rowAt(index))
        return {row->sheet.number};
    std::vector<std::string> numbers;
    if (isSet(index))
        for (const int k : m_tops[static_cast<std::size_t>(index.row())].versions)
            numbers.push_back(m_rows[static_cast<std::size_t>(k)].sheet.number);
    return numbers;
}

int WorksheetCatalog::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid())
        return static_cast<int>(m_tops.size());
    if (!isSet(parent) || parent.column() != 0)
        return 0;
    return static_cast<int>(m_tops[static_cast<std::size_t>(parent.row())].versions.size());
}

int WorksheetCatalog::columnCount(const QModelIndex&) const {
    return ColumnCount;
}

// A set's row: how many versions, its title without a version's number, and the rest as its
// first version's.
QVariant WorksheetCatalog::setRowData(const QModelIndex& index, int role) const {
    const std::vector<int>& versions = m_tops[static_cast<std::size_t>(index.row())].versions;
    const Row& first = m_rows[static_cast<std::size_t>(versions.front())];
    QString title = first.title;
    title.remove(first.number);
    title = title.replace(QStringLiteral("()"), QString()).simplified();
    const QString count = QStringLiteral("Set of %1").arg(versions.size());
    // A screen reader reads the row's cells in turn, each once: "Class set of 3 worksheets.
    // Year 1 Sums. Addition. 12 problems each. 9 December 2026, 14:05."
    const bool spoken = role == Qt::AccessibleTextRole;
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole && !spoken)
        return {};
    switch (index.column()) {
    case NumberColumn:
        return spoken ? QStringLiteral("Class set of %1 worksheets").arg(versions.size()) : count;
    case TitleColumn:
        return title;
    case TypeColumn:
        return typeName(first.sheet.number);
    case ProblemsColumn:
        if (spoken)
            return QStringLiteral("%1 problems each").arg(first.sheet.count);
        return first.sheet.count;
    case MadeColumn:
        return madeText(first.sheet.madeAt, !spoken);
    default:
        return {};
    }
}

QVariant WorksheetCatalog::data(const QModelIndex& index, int role) const {
    if (role == Qt::TextAlignmentRole && index.column() == ProblemsColumn)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    const Row* found = rowAt(index);
    if (!found)
        return isSet(index) ? setRowData(index, role) : QVariant();
    const Row& row = *found;
    if (role == NumberRole)
        return row.number;
    // A screen reader reads the row's cells in turn, each once: "ADD030238. Addition Practice.
    // Addition. 30 problems. 8 December 2026, 14:05."
    const bool spoken = role == Qt::AccessibleTextRole;
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole && !spoken)
        return {};
    switch (index.column()) {
    case NumberColumn:
        return row.number;
    case TitleColumn:
        return row.sheet.incomplete ? row.title + QStringLiteral("  (incomplete)") : row.title;
    case TypeColumn:
        return typeName(row.sheet.number);
    case ProblemsColumn:
        if (spoken)
            return QString::number(row.sheet.count) + (row.sheet.count == 1
                                                           ? QStringLiteral(" problem")
                                                           : QStringLiteral(" problems"));
        return row.sheet.count;
    case MadeColumn:
        return madeText(row.sheet.madeAt, !spoken);
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
    view->setColumnWidth(WorksheetCatalog::NumberColumn, 13 * digit);
    view->setColumnWidth(WorksheetCatalog::TypeColumn, 13 * digit);
    view->setColumnWidth(WorksheetCatalog::ProblemsColumn, 9 * digit);
    view->setColumnWidth(WorksheetCatalog::MadeColumn, 19 * digit);
    return view;
}

} // namespace sbk3
