#include "app/LibraryWindow.h"

#include "app/WorksheetCatalog.h"
#include "common/FileExists.h"
#include "print/Layout.h"
#include "print/Surface.h"
#include "store/WorksheetFile.h"
#include "support/FakeDialogs.h"
#include "support/Platform.h"
#include "support/SilentPrintServer.h"
#include "support/TempFolder.h"
#include "worksheet/Preset.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QApplication>
#include <QDateTime>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace sbk3 {
namespace {

void writeSheet(const std::filesystem::path& file, const std::string& title, int count,
                const QDateTime& made = QDateTime::currentDateTime()) {
    std::string bytes = "\"" + title + "\",\"" + pathToUtf8(file.filename()) + "\"," +
                        std::to_string(count) + "\r\n";
    for (int k = 0; k < count; ++k)
        bytes += std::to_string(10 + k) + ",3,\"+\"\r\n";
    test::writeBytes(file, bytes);
    const auto age =
        std::chrono::system_clock::now() -
        std::chrono::system_clock::time_point(std::chrono::seconds(made.toSecsSinceEpoch()));
    std::filesystem::last_write_time(file, std::filesystem::file_time_type::clock::now() - age);
}

// A laid-out version of a class set: its page line, its set line, settings where given.
void writeVersion(const std::filesystem::path& file, const std::string& key, int place,
                  const std::string& settings = {}) {
    std::string bytes = "\"Set " + pathToUtf8(file.filename()) + "\",\"" +
                        pathToUtf8(file.filename()) + "\",2,\"forms 1\"\r\n" +
                        "\"page\",\"easy\",0,\"large\",0,1,1,\"title\",\"\",\"\"\r\n" +
                        "\"set\",\"" + key + "\"," + std::to_string(place) + ",3\r\n" + settings +
                        "1,2,\"+\",\"column\"\r\n3,4,\"+\",\"sentence\"\r\n";
    test::writeBytes(file, bytes);
}

QStringList numbersShown(const WorksheetCatalog& catalog) {
    QStringList numbers;
    for (int row = 0; row < catalog.rowCount(); ++row)
        numbers << catalog.numberAt(row);
    return numbers;
}

bool readingEnds(const WorksheetCatalog& catalog) {
    return QTest::qWaitFor([&] { return !catalog.isReading(); }, 10000);
}

// Each word typed is found in the number or the title, in any letter case, the same way under
// every locale: a Turkish locale upper-cases "i" to "İ", and must still find MIX by "mix".
TEST(LibrarySearchTest, EveryWordInAnyCaseUnderEveryLocale) {
    const QLocale before;
    for (const char* name : {"C", "tr_TR", "de_DE"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
        std::setlocale(LC_ALL, (std::string(name) + ".UTF-8").c_str()); // where installed
        const std::string mixed =
            searchText(QStringLiteral("MIX030238"), QStringLiteral("Friday TEST"));
        for (const char* typed : {"mix", "MIX", "238", "fri test", "  TEST   mix03 ", "", "İ"})
            EXPECT_TRUE(matchesSearch(mixed, searchWords(QString::fromUtf8(typed))))
                << name << ": " << typed;
        const std::string turkish =
            searchText(QStringLiteral("MUL020001"), QString::fromUtf8("Çarpma İşlemi"));
        for (const char* typed : {"işlemi", "İŞLEMİ", "ISLEMI", "çarpma"})
            EXPECT_EQ(matchesSearch(turkish, searchWords(QString::fromUtf8(typed))),
                      std::string(typed) != "ISLEMI")
                << name << ": " << typed;
        EXPECT_FALSE(matchesSearch(mixed, searchWords(QStringLiteral("fri z"))));
        // A word is never found across the number and the title.
        EXPECT_FALSE(matchesSearch(mixed, searchWords(QStringLiteral("238friday"))));
        // Other scripts, and a number with an Arabic decimal separator.
        const std::string greek =
            searchText(QStringLiteral("ADD002\u066B5042"), QStringLiteral("Πρόσθεση Δύο"));
        EXPECT_TRUE(matchesSearch(greek, searchWords(QStringLiteral("ΠΡΌΣΘΕΣΗ δύο"))));
        EXPECT_TRUE(matchesSearch(greek, searchWords(QStringLiteral("2\u066B5"))));
        const std::string russian =
            searchText(QStringLiteral("SUB010001"), QStringLiteral("СЛОЖЕНИЕ до 20"));
        EXPECT_TRUE(matchesSearch(russian, searchWords(QStringLiteral("сложение"))));
    }
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(before);
}

// Newest first, every column sorts, rows speak as a sentence, and the list follows the folder:
// a worksheet another process makes appears, one removed by hand goes.
TEST(LibraryCatalogTest, NewestFirstSortableSpokenAndFollowingTheFolder) {
    test::TempFolder folder;
    const QDateTime made(QDate(2026, 12, 8), QTime(12, 0));
    writeSheet(folder / "ADD030238", "Addition Practice ADD030238", 30, made);
    writeSheet(folder / "SUB010001", "Take away", 10, made.addDays(-3));
    writeSheet(folder / "MIX040777", "Mixed", 40, made.addDays(-1));
    test::makeFifo(folder / "ADD001999");
    WorksheetCatalog catalog(folder.path());
    ASSERT_TRUE(readingEnds(catalog));
    EXPECT_EQ(numbersShown(catalog),
              (QStringList{QStringLiteral("ADD030238"), QStringLiteral("MIX040777"),
                           QStringLiteral("SUB010001")}));
    // Typed on, the search narrows what is shown; taken back, it widens again.
    for (const char* typed : {"a", "ad", "add", "add 2", "add 23", "add 2", "a", "t", "ta"})
        catalog.setSearch(QString::fromLatin1(typed));
    EXPECT_EQ(numbersShown(catalog), QStringList{QStringLiteral("SUB010001")});
    catalog.setSearch(QStringLiteral("add 2"));
    EXPECT_EQ(numbersShown(catalog), QStringList{QStringLiteral("ADD030238")});
    catalog.setSearch({});
    catalog.sort(WorksheetCatalog::ProblemsColumn, Qt::AscendingOrder);
    EXPECT_EQ(catalog.numberAt(0), QStringLiteral("SUB010001"));
    catalog.sort(WorksheetCatalog::MadeColumn, Qt::DescendingOrder);

    QTreeView view;
    view.setModel(&catalog);
    view.show();
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&view);
    ASSERT_NE(list, nullptr);
    ASSERT_NE(list->tableInterface(), nullptr);
    // Each cell read once, in words: the number, the title, the type, "30 problems", the date.
    QStringList cells;
    for (int column = 0; column < WorksheetCatalog::ColumnCount; ++column)
        cells << list->tableInterface()->cellAt(0, column)->text(QAccessible::Name);
    EXPECT_EQ(cells.join(QStringLiteral(", ")),
              QStringLiteral("ADD030238, Addition Practice ADD030238, Addition, 30 problems, 8 "
                             "December 2026, 12:00"));
    EXPECT_EQ(catalog.spokenAt(catalog.index(0, 0)), cells.join(QStringLiteral(", ")));

    QProcess other;
    other.setWorkingDirectory(QString::fromStdString(folder.path().string()));
    other.start(
        QStringLiteral("sh"),
        {QStringLiteral("-c"),
         QStringLiteral("printf '\"New\",\"DIV001042\",1\\r\\n8,2,\"/\"\\r\\n' > DIV001042")});
    other.waitForFinished();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return catalog.numberAt(0) == QStringLiteral("DIV001042"); }, 5000));
    std::filesystem::remove(folder / "SUB010001");
    EXPECT_TRUE(QTest::qWaitFor([&] { return catalog.rowCount() == 3; }, 5000));
    EXPECT_FALSE(numbersShown(catalog).contains(QStringLiteral("SUB010001")));
}

// The catalog as any view relies on it (QAbstractItemModelTester checks each change), through a
// first reading, searches, sorting and later readings. A folder whose name is not UTF-8 is
// followed as any other; a worksheet changed in place, cut short or given a new title, shows the
// change without being asked; a folder that can no longer be read keeps its rows and says why.
TEST(LibraryCatalogTest, FollowsChangesInPlaceInAFolderOfAnyBytesAndKeepsRowsOnFailure) {
    test::TempFolder parent;
    const std::filesystem::path folder = parent / "Cl\xE9ment";
    std::filesystem::create_directory(folder);
    writeSheet(folder / "ADD003001", "Three", 3);
    writeSheet(folder / "SUB002001", "Two", 2);
    WorksheetCatalog catalog(folder);
    QAbstractItemModelTester tester(&catalog,
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_TRUE(readingEnds(catalog));
    EXPECT_EQ(catalog.storedCount(), 2);
    catalog.setSearch(QStringLiteral("three"));
    catalog.sort(WorksheetCatalog::TitleColumn, Qt::AscendingOrder);
    catalog.setSearch({});

    test::writeBytes(folder / "ADD003001", "\"Three\",\"ADD003001\",3\r\n1,2,\"+\"\r\n");
    test::writeBytes(folder / "SUB002001",
                     "\"Renamed\",\"SUB002001\",2\r\n5,2,\"-\"\r\n6,1,\"-\"\r\n");
    const auto row = [&](const char* number) {
        for (int k = 0; k < catalog.rowCount(); ++k)
            if (catalog.numberAt(k) == QLatin1String(number))
                return catalog.index(k, WorksheetCatalog::TitleColumn).data().toString();
        return QString();
    };
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return row("ADD003001") == QStringLiteral("Three  (incomplete)") &&
                   row("SUB002001") == QStringLiteral("Renamed");
        },
        9000))
        << row("ADD003001").toStdString() << " / " << row("SUB002001").toStdString();
    // The newest, but cut off: listed after the whole ones.
    EXPECT_EQ(catalog.numberAt(catalog.rowCount() - 1), QStringLiteral("ADD003001"));
    writeSheet(folder / "MUL001001", "Made later", 1);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return row("MUL001001") == QStringLiteral("Made later"); }, 5000));

    std::filesystem::rename(folder, parent / "moved");
    catalog.refresh();
    ASSERT_TRUE(readingEnds(catalog));
    EXPECT_EQ(catalog.storedCount(), 3);
    EXPECT_TRUE(catalog.failure().startsWith(QStringLiteral("The folder cannot be read: ")))
        << catalog.failure().toStdString();
    // Back again: the next look says so, and the reason goes.
    const QSignalSpy told(&catalog, &WorksheetCatalog::readingFinished);
    std::filesystem::rename(parent / "moved", folder);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !told.isEmpty(); }, 5000));
    EXPECT_EQ(catalog.failure(), QString());
    EXPECT_EQ(catalog.storedCount(), 3);
}

// Moves into the freedesktop.org trash of a home on the same disk as the folder.
class LibraryWindowTest : public ::testing::Test {
protected:
    LibraryWindowTest() {
        if (const char* old = std::getenv("HOME"))
            m_oldHome = old;
        ::setenv("HOME", home.path().c_str(), 1);
        ::unsetenv("XDG_DATA_HOME");
        LayoutEasy(positions);
        writeSheet(folder / "ADD030238", "Addition Practice ADD030238", 30);
        writeSheet(folder / "MIX020111", "Friday test", 20,
                   QDateTime::currentDateTime().addDays(-1));
        writeSheet(folder / "SUB010555", "Take away", 10, QDateTime::currentDateTime().addDays(-2));
        library = std::make_unique<frmLibrary>(LibraryPorts{
            .dialogs = dialogs,
            .folder = folder.path(),
            .picRetPic = surface,
            .ProblemPos = positions,
            .controls = [] { return PageControls{}; },
            .runPageCommand =
                [this](const PageCommand& command, const std::string& number, Dialogs* gathering) {
                    ran.emplace_back(command.objectName, number);
                    if (gathering && command.toPdf)
                        gathering->messageBox(
                            {.text = "saved as " + gathering->saveFileBox("", number + ".pdf")});
                },
            .printSheets =
                [this](const std::vector<std::string>& numbers, int copies, bool answerKey) {
                    printed.push_back({numbers, copies, answerKey});
                },
            .makeAgain = [this](const ClassSetRequest& settings) { madeAgain.push_back(settings); },
            .showFolder = {},
            .documentsFolder = home.path()});
    }
    ~LibraryWindowTest() override { ::setenv("HOME", m_oldHome.c_str(), 1); }

    std::filesystem::path trashed(const std::string& name) const {
        return home / ".local/share/Trash/files" / name;
    }

    test::TempFolder folder;
    test::TempFolder home;
    test::FakeDialogs dialogs;
    ProblemSurface surface;
    PositionTable positions;
    std::vector<std::pair<std::string, std::string>> ran; // command, number
    struct Printed {
        std::vector<std::string> numbers;
        int copies = 0;
        bool answerKey = false;
        bool operator==(const Printed&) const = default;
    };
    std::vector<Printed> printed;
    std::vector<ClassSetRequest> madeAgain;
    std::unique_ptr<frmLibrary> library;

private:
    std::string m_oldHome;
};

TEST_F(LibraryWindowTest, TypingFiltersAndReturnPrintsTheMatch) {
    library->show();
    ASSERT_TRUE(readingEnds(library->catalog()));
    auto* search = library->findChild<QLineEdit*>(QStringLiteral("txtSearch"));
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(search->accessibleName(), QStringLiteral("Search"));
    EXPECT_EQ(library->windowTitle(), QStringLiteral("Worksheet Library"));
    QTest::keyClicks(search, QStringLiteral("238"));
    EXPECT_EQ(numbersShown(library->catalog()), QStringList{QStringLiteral("ADD030238")});
    // Once typing pauses, a screen reader hears how many match.
    const auto said = [&] {
        const auto* shown = library->findChild<QLabel*>(QStringLiteral("announcement"));
        return shown ? shown->text() : QString();
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return !said().isEmpty(); }, 3000));
    EXPECT_EQ(said(), QStringLiteral("1 of 3 worksheets"));
    QTest::keyClick(search, Qt::Key_Return);
    QTest::keyClick(search, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(search, QStringLiteral("FRI"));
    library->printSelected(true);
    EXPECT_EQ(ran, (std::vector<std::pair<std::string, std::string>>{
                       {"actPrintSaved", "ADD030238"}, {"actPrintAnswerKey", "MIX020111"}}));
}

// Several worksheets at once: one question for the copies of each and one document; or one save
// dialog for the folder, each page run with its boxes gathered, and one report.
TEST_F(LibraryWindowTest, SeveralSelectedAreAskedOnceAndReportedOnce) {
    library->show();
    ASSERT_TRUE(readingEnds(library->catalog()));
    library->findChild<QTreeView*>(QStringLiteral("lstWorksheets"))->selectAll();
    library->printSelected(false); // Cancel
    EXPECT_TRUE(ran.empty());
    EXPECT_TRUE(printed.empty());
    ASSERT_EQ(dialogs.numberPrompts.size(), 1u);
    EXPECT_EQ(dialogs.numberPrompts[0],
              "Print these 3 worksheets?\nADD030238, MIX020111, SUB010555\n\nCopies of each:");

    dialogs.numbers = {4};
    library->printSelected(true);
    EXPECT_TRUE(ran.empty());
    EXPECT_EQ(printed, (std::vector<Printed>{{{"ADD030238", "MIX020111", "SUB010555"}, 4, true}}));

    ran.clear();
    dialogs.messages.clear();
    dialogs.savePaths = {pathToUtf8(home / "chosen.pdf")};
    library->saveAsPdf();
    EXPECT_EQ(dialogs.saveProposals.size(), 1u);
    EXPECT_EQ(ran.size(), 3u);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "saved as " + pathToUtf8(home / "ADD030238.pdf") +
                                            "\nsaved as " + pathToUtf8(home / "MIX020111.pdf") +
                                            "\nsaved as " + pathToUtf8(home / "SUB010555.pdf"));
}

// A class set made at once is one row that opens into its versions in their order; selected, it
// stands for them all: printed as one document, made again with its settings. Moved to the trash,
// a worksheet takes its own PDFs and leaves anyone else's.
TEST_F(LibraryWindowTest, AClassSetIsOneRowPrintedMadeAgainAndTrashedWithItsPdfs) {
    ClassSetRequest made;
    made.problems = 2;
    made.versions = 3;
    made.look.size = PrintSize::Large;
    const std::string settings = settingsLine(presetText(made)) + "\r\n";
    writeVersion(folder / "ADD002300", "ADD002100", 3, settings);
    writeVersion(folder / "ADD002100", "ADD002100", 1, settings);
    writeVersion(folder / "ADD002200", "ADD002100", 2, settings);
    for (const char* pdf : {"ADD002100.pdf", "ADD002100-answers.pdf", "ADD002100-other.pdf"})
        test::writeBytes(folder / pdf, "%PDF-1.4");
    library->show();
    WorksheetCatalog& catalog = library->catalog();
    QAbstractItemModelTester tester(&catalog,
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_TRUE(QTest::qWaitFor([&] { return catalog.storedCount() == 6; }, 10000));
    ASSERT_EQ(catalog.rowCount(), 4);
    QModelIndex set;
    for (int k = 0; k < catalog.rowCount(); ++k)
        if (catalog.isSet(catalog.index(k, 0)))
            set = catalog.index(k, 0);
    ASSERT_TRUE(set.isValid());
    EXPECT_EQ(set.data().toString(), QStringLiteral("Set of 3"));
    EXPECT_EQ(set.siblingAtColumn(WorksheetCatalog::TitleColumn).data().toString(),
              QStringLiteral("Set"));
    ASSERT_EQ(catalog.rowCount(set), 3);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(catalog.numberAt(catalog.index(k, 0, set)),
                  QStringLiteral("ADD002%1").arg((k + 1) * 100));

    // The current version stays current through a search that leaves it alone.
    auto* list = library->findChild<QTreeView*>(QStringLiteral("lstWorksheets"));
    list->selectionModel()->setCurrentIndex(
        catalog.index(1, 0, set), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    catalog.setSearch(QStringLiteral("2200"));
    EXPECT_EQ(catalog.numberAt(list->currentIndex()), QStringLiteral("ADD002200"));
    EXPECT_FALSE(list->currentIndex().parent().isValid()); // the one version found stands alone
    catalog.setSearch({});
    set = list->currentIndex().parent();
    list->selectionModel()->setCurrentIndex(set, QItemSelectionModel::ClearAndSelect |
                                                     QItemSelectionModel::Rows);
    const std::vector<std::string> versions = {"ADD002100", "ADD002200", "ADD002300"};
    EXPECT_EQ(library->selectedNumbers(), versions);
    dialogs.numbers = {2};
    library->printSelected(false);
    EXPECT_EQ(printed, (std::vector<Printed>{{versions, 2, false}}));
    library->makeAgain();
    EXPECT_EQ(madeAgain, std::vector<ClassSetRequest>{made});

    dialogs.answers = {MsgResult::Yes};
    library->moveToTrash();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !library->isTrashing(); }, 10000));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              "Move these 3 worksheets to the trash?\nADD002100, ADD002200, ADD002300\nThese "
              "PDF files go with them: ADD002100.pdf, ADD002100-answers.pdf");
    for (const char* gone : {"ADD002100", "ADD002300", "ADD002100.pdf", "ADD002100-answers.pdf"})
        EXPECT_TRUE(std::filesystem::exists(trashed(gone))) << gone;
    EXPECT_TRUE(std::filesystem::exists(folder / "ADD002100-other.pdf"));

    // One made from the main window has no settings to make again.
    EXPECT_TRUE(QTest::qWaitFor([&] { return catalog.storedCount() == 3; }, 5000));
    list->selectionModel()->setCurrentIndex(
        catalog.index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    library->makeAgain();
    EXPECT_EQ(madeAgain.size(), 1u);
    EXPECT_NE(dialogs.last().text.find("keeps no settings"), std::string::npos);
}

TEST_F(LibraryWindowTest, DeleteMovesTheSelectedToTheTrashAfterAskingAndKeepsWhatCannotGo) {
    library->show();
    ASSERT_TRUE(readingEnds(library->catalog()));
    auto* list = library->findChild<QTreeView*>(QStringLiteral("lstWorksheets"));
    list->selectAll();
    std::filesystem::remove(folder / "SUB010555"); // gone before it could be trashed
    dialogs.answers = {MsgResult::Yes};
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_TRUE(library->isTrashing()); // off the window's thread
    ASSERT_TRUE(QTest::qWaitFor([&] { return !library->isTrashing(); }, 10000));
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text,
              "Move these 3 worksheets to the trash?\nADD030238, MIX020111, SUB010555");
    EXPECT_EQ(dialogs.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_NE(dialogs.messages[1].text.find("SUB010555"), std::string::npos);
    for (const char* name : {"ADD030238", "MIX020111"}) {
        EXPECT_FALSE(std::filesystem::exists(folder / name)) << name;
        EXPECT_TRUE(std::filesystem::exists(trashed(name))) << name;
        EXPECT_TRUE(std::filesystem::exists(home / ".local/share/Trash/info" /
                                            (std::string(name) + ".trashinfo")))
            << name;
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return library->catalog().storedCount() == 0; }, 5000));
}

// With a print server that never answers, the page is still previewed at once, on the locale's
// paper; and it is drawn anew when the preview grows.
TEST(LibraryPreviewTest, ShownAtOnceWithASilentPrintServerAndRedrawnOnResize) {
    const test::SilentPrintServer silent;
    test::TempFolder folder;
    writeSheet(folder / "ADD030238", "Addition Practice ADD030238", 30);
    test::FakeDialogs dialogs;
    ProblemSurface surface;
    PositionTable positions;
    LayoutEasy(positions);
    frmLibrary library({.dialogs = dialogs,
                        .folder = folder.path(),
                        .picRetPic = surface,
                        .ProblemPos = positions,
                        .controls = [] { return PageControls{}; },
                        .runPageCommand = {},
                        .showFolder = {},
                        .documentsFolder = folder.path()});
    library.resize(900, 600);
    library.show();
    auto* preview = library.findChild<QLabel*>(QStringLiteral("picPreview"));
    ASSERT_NE(preview, nullptr);
    const auto pageWidth = [&] {
        return preview->pixmap().isNull() ? 0 : preview->pixmap().width();
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return pageWidth() > 0; },
                                10000)); // well within any print system's time-out
    const int before = pageWidth();
    library.resize(1400, 1000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return pageWidth() > before; }, 2000)) << before;
}

// A folder the user may not change: the file stays, and the reason is given. Root may change
// any folder, so the move is tried by another user.
TEST_F(LibraryWindowTest, AFileInAReadOnlyFolderIsKept) {
    const std::filesystem::path locked = folder / "locked";
    std::filesystem::create_directory(locked);
    writeSheet(locked / "ADD001001", "Kept", 1);
    std::filesystem::permissions(locked, std::filesystem::perms(0555));
    std::filesystem::permissions(home.path(), std::filesystem::perms(0777));
    std::filesystem::permissions(folder.path(), std::filesystem::perms(0755));
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(61001) != 0 || ::setuid(61001) != 0))
            ::_exit(99);
        const std::optional<QString> why = moveFileToTrash(locked / "ADD001001");
        ::_exit(why && !why->isEmpty() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    std::filesystem::permissions(locked, std::filesystem::perms(0755));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(std::filesystem::exists(locked / "ADD001001"));
}

} // namespace
} // namespace sbk3
