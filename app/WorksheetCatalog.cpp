#include "app/WorksheetCatalog.h"

#include "common/FileExists.h"
#include "common/ProblemKinds.h"
#include "common/Text.h"
#include "print/QtText.h"
#include "store/WorksheetList.h"

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QHeaderView>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <chrono>
#include <unordered_map>

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

// Reads the folder on a thread of its own and hands the rows over in batches: a small first
// one, so the window fills at once, then one about every tenth of a second.
class WorksheetCatalog::Reader {
public:
    Reader(WorksheetCatalog* catalog, std::filesystem::path folder, bool replacing)
        : m_thread([this, catalog, folder = std::move(folder), replacing] {
              read(catalog, folder, replacing);
          }) {}
    ~Reader() {
        m_stop = true;
        m_thread.join();
    }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

private:
    void read(WorksheetCatalog* catalog, const std::filesystem::path& folder, bool replacing) {
        using Clock = std::chrono::steady_clock;
        std::vector<Row> batch;
        bool handedAny = false;
        Clock::time_point handedOver = Clock::now();
        const auto handOver = [&](bool last) {
            QMetaObject::invokeMethod(
                catalog,
                [catalog, rows = std::move(batch), replacing, last]() mutable {
                    catalog->takeBatch(std::move(rows), replacing, last);
                },
                Qt::QueuedConnection);
            batch = {};
            handedAny = true;
            handedOver = Clock::now();
        };
        ScanWorksheets(
            folder, [this] { return m_stop.load(); },
            [&](ListedWorksheet&& sheet) {
                // The text is made ready for searching here, off the window's thread.
                Row row;
                row.number = fromUtf8(sheet.number);
                row.title = fromUtf8(sheet.title);
                row.text = searchText(row.number, row.title);
                row.sheet = std::move(sheet);
                batch.push_back(std::move(row));
                const bool first = !handedAny && batch.size() == 64;
                const bool due = batch.size() >= 1024 &&
                                 Clock::now() - handedOver >= std::chrono::milliseconds(100);
                if (first || due)
                    handOver(false);
            });
        if (!m_stop)
            handOver(true);
    }

    std::atomic<bool> m_stop{false};
    std::thread m_thread; // last: it starts once the rest is made
};

WorksheetCatalog::WorksheetCatalog(std::filesystem::path folder, QObject* parent)
    : QAbstractTableModel(parent), m_folder(std::move(folder)),
      m_watcher(new QFileSystemWatcher(this)), m_settle(new QTimer(this)) {
    m_settle->setSingleShot(true);
    m_settle->setInterval(200); // a save writes several times: read once it has settled
    connect(m_settle, &QTimer::timeout, this, &WorksheetCatalog::refresh);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_settle,
            qOverload<>(&QTimer::start));
    m_watcher->addPath(fromUtf8(pathToUtf8(m_folder)));
    m_reader = std::make_unique<Reader>(this, m_folder, false);
}

WorksheetCatalog::~WorksheetCatalog() {
    m_reader.reset(); // stops and waits for the reading before anything it hands to goes
}

void WorksheetCatalog::refresh() {
    if (m_reader) {
        m_readAgain = true;
        return;
    }
    m_replacement.clear();
    m_reader = std::make_unique<Reader>(this, m_folder, true);
}

void WorksheetCatalog::takeBatch(std::vector<Row> batch, bool replacing, bool last) {
    if (last)
        m_reader.reset();
    if (replacing) {
        m_replacement.insert(m_replacement.end(), std::make_move_iterator(batch.begin()),
                             std::make_move_iterator(batch.end()));
        if (last)
            showMatches([this] {
                m_rows.swap(m_replacement);
                m_replacement.clear();
                sortRows();
            });
    } else {
        showMatches([&] {
            const std::size_t first = m_rows.size();
            m_rows.insert(m_rows.end(), std::make_move_iterator(batch.begin()),
                          std::make_move_iterator(batch.end()));
            sortRows(first);
        });
    }
    if (last) {
        Q_EMIT readingFinished();
        if (m_readAgain) {
            m_readAgain = false;
            refresh();
        }
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
