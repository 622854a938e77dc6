#pragma once

#include "common/ListedWorksheet.h"
#include "common/NativeFile.h"

#include <QAbstractItemModel>
#include <QFutureWatcher>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class QTimer;
class QTreeView;
class QWidget;

namespace sbk3 {

// What a search box's text asks for: its words, each folded to one letter case by Unicode's
// own rules, the same in every locale (a Turkish "I" is no exception), in UTF-8. The Turkish
// dotted İ and dotless ı count as i.
std::vector<std::string> searchWords(const QString& typed);
// The text a worksheet is searched in: its number and its title, folded as searchWords folds.
std::string searchText(const QString& number, const QString& title);
// True when every word is found somewhere in the text; no words match everything.
bool matchesSearch(std::string_view text, const std::vector<std::string>& words);
// True when whatever matches words matches earlier too: each earlier word is part of one of
// words, as when a word is typed on.
bool narrows(const std::vector<std::string>& words, const std::vector<std::string>& earlier);

// The worksheets stored in one folder, as a table a view shows and filters: number, title,
// type, problems, date made. The folder is read off the user-interface thread, a batch at a
// time, so the first rows show at once and the window answers while the rest is read; closing
// cancels the reading and never waits for it (a read hung on a share holds a thread of its own,
// not the window). The table follows the folder: the folder's change time is looked at every
// second and every file's size and time every few seconds, all off the window's thread, and only
// what is new or changed is read again; a worksheet made, changed or removed there by this or any
// other program appears, changes or goes. Where a reading fails, the rows read stay and
// failure() says why. With sets grouped, the versions of a class set made at once are one row
// whose children they are, in the order they were made.
class WorksheetCatalog : public QAbstractItemModel {
    Q_OBJECT

public:
    enum Column { NumberColumn, TitleColumn, TypeColumn, ProblemsColumn, MadeColumn, ColumnCount };
    static constexpr int NumberRole = Qt::UserRole; // the worksheet number of any cell

    explicit WorksheetCatalog(std::filesystem::path folder, QObject* parent = nullptr);
    ~WorksheetCatalog() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

    // Shows only the worksheets whose number or title holds every word of typed.
    void setSearch(const QString& typed);
    // Shows each class set as one row that opens into its versions (off at first).
    void setGroupsSets(bool on);
    // The worksheet number of a top-level row, or of any row; empty for a set's row.
    QString numberAt(int row) const;
    QString numberAt(const QModelIndex& index) const;
    // The numbers a row stands for: its worksheet's, or a set's versions' in their order.
    std::vector<std::string> numbersAt(const QModelIndex& index) const;
    // True for a row that is a whole class set.
    bool isSet(const QModelIndex& index) const;
    // Looks at every file again now (the rows stay while it does), reading what changed.
    void refresh();
    // True while the first reading, or one asked for by refresh, is under way (not the quiet
    // look each second).
    bool isReading() const { return m_reading != nullptr && (m_announced || m_readAgain); }
    // Why the last reading of the folder ended early; empty when it read it all.
    QString failure() const { return m_failure; }
    // The worksheets the search leaves, each version of a set counted.
    int shownCount() const { return static_cast<int>(m_shown.size()); }
    // Every worksheet read so far, shown or not.
    int storedCount() const { return static_cast<int>(m_rows.size()); }

    // A row as one sentence: "ADD030238, Addition Practice ADD030238, Addition, 30 problems,
    // 8 December 2026, 14:05".
    QString spokenAt(const QModelIndex& index) const;
    // "8 December 2026, 14:05" in the computer's time zone, "8 Dec 2026, 14:05" for the list's
    // column: the same words in every locale, as the rest of the program's texts.
    static QString madeText(std::int64_t madeAt, bool shortMonth = false);

    struct Row {
        ListedWorksheet sheet;
        QString number;
        QString title;
        std::string text; // searched, folded
    };
    // What the catalog knows of each file (by name) without opening it: any change to its size,
    // time or identity reads it again.
    using Stamps = std::unordered_map<std::string, FileInfo>;
    // One reading's rows, handed from its thread to the window's.
    struct Batch {
        std::vector<Row> rows;                // new, or read again since they changed
        std::vector<std::string> gone;        // in the last batch: names no longer worksheets
        std::shared_ptr<const Stamps> stamps; // in the last batch: every file as now seen
        std::int64_t folderChangedNs = 0;
        std::string failure;
        bool last = false;
    };

Q_SIGNALS:
    // The reading of the folder has ended (the first reading, or a later one).
    void readingFinished();

private:
    // A reading: of every file's stamp (full), or first of the folder's change time alone.
    void startReading(bool full);
    void takeBatch(Batch& batch);
    bool before(const Row& a, const Row& b) const;
    // Puts the rows from first on in order among those before them, which are in order.
    void sortRows(std::size_t first = 0);
    // Makes the change to the rows, the search or the order, and shows the rows that match,
    // keeping the selection.
    // Where the change narrows the search, only the rows shown are searched again.
    void showMatches(const std::function<void()>& change, bool narrowing = false);
    // Groups the shown rows into the top-level rows: each worksheet of its own, each set once
    // where its first shown version stands (a set of one shown version is that worksheet).
    void groupShown();
    // What a persistent index follows: a worksheet's number, or a set's key.
    QString identityOf(const QModelIndex& index) const;
    const Row* rowAt(const QModelIndex& index) const;
    QVariant setRowData(const QModelIndex& index, int role) const;
    // Moves each persistent index to where its worksheet or set now stands, or drops it.
    void follow(const QModelIndexList& before, const QStringList& identities);

    std::filesystem::path m_folder;
    std::vector<Row> m_rows;  // every worksheet, in the current order
    std::vector<int> m_shown; // the rows of m_rows that match the search
    // A top-level row: one worksheet (a row of m_rows), or a set (its versions' rows).
    struct Top {
        int row = -1;
        std::vector<int> versions;
    };
    std::vector<Top> m_tops;
    bool m_groupSets = false;
    std::vector<std::string> m_words;
    int m_sortColumn = MadeColumn;
    Qt::SortOrder m_sortOrder = Qt::DescendingOrder;
    QFutureWatcher<std::shared_ptr<Batch>>* m_reading = nullptr;
    std::shared_ptr<const Stamps> m_stamps; // as the last whole reading saw the folder
    std::int64_t m_folderChangedNs = -1;
    bool m_readAgain = false;
    bool m_announced = false; // the reading under way is one isReading tells of
    QString m_failure;
    QTimer* m_poll = nullptr;
    int m_polls = 0;
};

// A list of the catalog's rows as the library and the number boxes show it: whole rows, the
// title taking the room left, uniform rows so that any number of them lays out at once.
QTreeView* newCatalogView(WorksheetCatalog* catalog, QWidget* parent);

} // namespace sbk3
