// The worksheet library and the number boxes over a large folder: 50,000 worksheets and 1,000
// entries of every kind that is no worksheet (FIFOs, folders, links, garbage and 2 MB files under
// worksheet names, other names). Beside the floor of the same work: every header read with plain
// system calls (opendir, readdir, open, read, close).
// Usage: sbk3_bench_library [WORKSHEETS]. Prints one figure a line.
#include "app/LibraryWindow.h"
#include "app/QtDialogs.h"
#include "app/SettingsDialog.h"
#include "app/WorksheetCatalog.h"
#include "common/Dialogs.h"
#include "print/Layout.h"
#include "print/Surface.h"
#include "store/WorksheetList.h"
#include "worksheet/Preset.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace sbk3;

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        std::perror(path.c_str());
        std::exit(1);
    }
    ::close(fd);
}

void makeFolder(const std::filesystem::path& folder, int worksheets) {
    static const char* codes[] = {"ADD", "SUB", "MUL", "DIV", "MIX"};
    static const char* names[] = {"Addition Practice", "Take away", "Times tables", "Sharing",
                                  "Friday test"};
    for (int k = 0; k < worksheets; ++k) {
        char number[16];
        std::snprintf(number, sizeof number, "%s%03d%03d", codes[k % 5], 10 + k % 41,
                      k / 205 % 1000);
        const std::string name = number; // each one different: 205 pairs a code and a count
        const int count = std::stoi(name.substr(3, 3));
        std::string bytes(1, '"');
        bytes.append(names[k % 5]).append(" ").append(name).append("\",\"").append(name);
        bytes.append("\",").append(std::to_string(count)).append("\r\n");
        for (int p = 0; p < count; ++p)
            bytes += std::to_string(10 + p % 80) + "," + std::to_string(1 + p % 9) + ",\"+\"\r\n";
        writeFile(folder / name, bytes);
    }
    for (int k = 0; k < 1000; ++k) {
        char name[16];
        std::snprintf(name, sizeof name, "ADD001%03d", k);
        const std::filesystem::path path =
            folder / (std::string(name) + (k % 6 == 5 ? ".txt" : ""));
        if (std::filesystem::exists(path))
            continue;
        switch (k % 6) {
        case 0:
            ::mkfifo(path.c_str(), 0644);
            break;
        case 1:
            std::filesystem::create_directory(path);
            break;
        case 2:
            std::filesystem::create_symlink("/dev/zero", path);
            break;
        case 3:
            writeFile(path, std::string(3000, '\x9c'));
            break;
        case 4: { // 2 MB, made sparse: its size alone must keep it out
            writeFile(path, "\"Big\",\"X\",1\r\n");
            std::filesystem::resize_file(path, 2 << 20);
            break;
        }
        default:
            writeFile(path, "\"Notes\",\"X\",1\r\n1,2,+\r\n");
            break;
        }
    }
}

// The floor: the same headers read with the system's own calls. Returns ms for the first 64
// and for all; counts what was read.
struct Floor {
    double firstMs = 0, allMs = 0;
    int read = 0;
};
Floor readFloor(const std::filesystem::path& folder) {
    QElapsedTimer clock;
    clock.start();
    Floor floor;
    DIR* dir = ::opendir(folder.c_str());
    const int dirFd = ::dirfd(dir);
    char buffer[kListingReadBytes];
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_type == DT_DIR || entry->d_type == DT_LNK ||
            !looksLikeWorksheetNumber(entry->d_name))
            continue;
        const int fd =
            ::openat(dirFd, entry->d_name, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat info {};
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= (1 << 20) &&
            ::read(fd, buffer, sizeof buffer) > 0 && buffer[0] == '"')
            if (++floor.read == 64)
                floor.firstMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        ::close(fd);
    }
    ::closedir(dir);
    floor.allMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    return floor;
}

double ms(const QElapsedTimer& clock) {
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

// The longest the event loop went without running a 2 ms timer: how long the window stopped
// answering.
class StallMeter : public QObject {
public:
    StallMeter() {
        m_timer.setInterval(2);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            m_longest = std::max(m_longest, ms(m_since));
            m_since.start();
        });
        m_since.start();
        m_timer.start();
    }
    double longestMs() const { return m_longest; }

private:
    QTimer m_timer;
    QElapsedTimer m_since;
    double m_longest = 0;
};

// Notes when the list first paints with rows in it.
class FirstRowsPaint : public QObject {
public:
    FirstRowsPaint(QTreeView* list, const QElapsedTimer& clock) : m_list(list), m_clock(clock) {
        list->viewport()->installEventFilter(this);
    }
    double ms = -1;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && ms < 0 && m_list->model()->rowCount() > 0)
            ms = ::ms(m_clock);
        return false;
    }

private:
    QTreeView* m_list;
    const QElapsedTimer& m_clock;
};

struct Typing {
    double longestMs = 0, medianMs = 0;
};
// Types the text a key at a time, then takes it back, each key with the list's repaint.
Typing typeInto(QLineEdit* field, QTreeView* list, const QString& text) {
    std::vector<double> each;
    const auto key = [&](auto press) {
        QElapsedTimer clock;
        clock.start();
        press();
        list->viewport()->repaint();
        each.push_back(ms(clock));
    };
    for (const QChar c : text)
        key([&] { QTest::keyClicks(field, QString(c)); });
    for (qsizetype k = 0; k < text.size(); ++k)
        key([&] { QTest::keyClick(field, Qt::Key_Backspace); });
    std::sort(each.begin(), each.end());
    return {each.back(), each[each.size() / 2]};
}

// The process's resident memory, from /proc.
double residentMegabytes() {
    long pages = 0, resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / 1048576.0;
}

void print(const char* name, double value, const char* unit = "ms", double aim = 0) {
    if (aim > 0)
        std::printf("%s=%.1f%s (aim <= %.0f%s, %s)\n", name, value, unit, aim, unit,
                    value >= 0 && value <= aim ? "met" : "not met");
    else
        std::printf("%s=%.1f%s\n", name, value, unit);
    std::fflush(stdout);
}

// Milliseconds from open() to the window painted: the first time, and the median of five more.
template <typename Open> std::pair<double, double> timeOpening(Open open) {
    std::vector<double> each;
    for (int k = 0; k < 6; ++k) {
        QElapsedTimer clock;
        clock.start();
        {
            const std::unique_ptr<QWidget> window = open();
            window->show();
            window->repaint();
            each.push_back(ms(clock));
        }
        QCoreApplication::processEvents();
    }
    const double first = each.front();
    each.erase(each.begin());
    std::sort(each.begin(), each.end());
    return {first, each[each.size() / 2]};
}

// "Worksheet Settings" opened with a preset chosen, to its first paint, beside an empty QDialog;
// and the library's preview of a 300-problem page drawn anew as its window grows.
void settingsAndPreview() {
    char pattern[] = "/tmp/sbk3-bench-settings-XXXXXX";
    const std::filesystem::path folder = ::mkdtemp(pattern);
    ClassSetRequest year3;
    year3.settings.firstMax = year3.settings.secondMax = 999;
    year3.look.size = PrintSize::Large;
    year3.look.header = year3.look.numbers = true;
    year3.look.instructions = "Show your working.";
    savePreset(presetFolder(folder), "Year 3", year3);
    const auto [emptyFirst, emptyLater] = timeOpening([] { return std::make_unique<QDialog>(); });
    const auto [first, later] = timeOpening([&] {
        auto dialog = std::make_unique<SettingsDialog>(ClassSetRequest{},
                                                       std::vector<SystemPrinter>{}, nullptr);
        dialog->setPresetFolder(presetFolder(folder));
        dialog->choosePreset(QStringLiteral("Year 3"));
        return dialog;
    });
    print("settings_first_open", first, "ms", 100);
    print("settings_open_median", later);
    print("empty_dialog_first_open", emptyFirst);
    print("empty_dialog_open_median", emptyLater);
    // The empty dialog takes a tenth of a millisecond: the difference says more than a ratio.
    print("settings_open_over_empty_dialog", later - emptyLater);

    std::string bytes = "\"Three hundred ADD300001\",\"ADD300001\",300\r\n";
    for (int p = 0; p < 300; ++p)
        bytes += std::to_string(10 + p % 80) + "," + std::to_string(1 + p % 9) + ",\"+\"\r\n";
    writeFile(folder / "ADD300001", bytes);
    QtDialogs dialogs;
    ProblemSurface surface;
    PositionTable positions;
    LayoutCompact(positions);
    frmLibrary library({.dialogs = dialogs,
                        .folder = folder,
                        .picRetPic = surface,
                        .ProblemPos = positions,
                        .controls =
                            [] {
                                return PageControls{windowLook(false, 0, ""), "."};
                            },
                        .runPageCommand = {},
                        .showFolder = {},
                        .documentsFolder = folder});
    library.resize(900, 600);
    library.show();
    auto* preview = library.findChild<QLabel*>(QStringLiteral("picPreview"));
    const auto width = [&] { return preview->pixmap().isNull() ? 0 : preview->pixmap().width(); };
    if (!QTest::qWaitFor([&] { return width() > 0; }, 10000))
        std::puts("lost: no preview in 10 s");
    std::vector<double> each;
    for (int k = 0; k < 10; ++k) {
        const int before = width();
        QElapsedTimer clock;
        clock.start();
        library.resize(k % 2 == 0 ? QSize(1300, 900) : QSize(900, 600));
        if (!QTest::qWaitFor([&] { return width() != before; }, 5000))
            std::puts("lost: the preview was not drawn anew in 5 s");
        each.push_back(ms(clock));
    }
    std::sort(each.begin(), each.end());
    print("preview_resize_median", each[each.size() / 2], "ms", 50);
    print("preview_resize_longest", each.back());
    std::filesystem::remove_all(folder);
}

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const int worksheets = argc > 1 ? std::atoi(argv[1]) : 50000;
    char pattern[] = "/tmp/sbk3-bench-library-XXXXXX";
    const std::filesystem::path folder = ::mkdtemp(pattern);
    makeFolder(folder, worksheets);
    ::sync();

    readFloor(folder); // both read from the page cache
    const Floor floor = readFloor(folder);
    std::printf("worksheets=%d\n", floor.read);
    print("floor_first64", floor.firstMs);
    print("floor_all", floor.allMs);

    ProblemSurface surface;
    PositionTable positions;
    LayoutEasy(positions);
    QtDialogs dialogs;
    {
        StallMeter stalls;
        QElapsedTimer clock;
        clock.start();
        frmLibrary library({.dialogs = dialogs,
                            .folder = folder,
                            .picRetPic = surface,
                            .ProblemPos = positions,
                            .controls = [] { return PageControls{}; },
                            .runPageCommand = {},
                            .showFolder = {},
                            .documentsFolder = folder});
        auto* list = library.findChild<QTreeView*>(QStringLiteral("lstWorksheets"));
        FirstRowsPaint painted(list, clock);
        library.show();
        if (!QTest::qWaitFor([&] { return !library.catalog().isReading(); }, 120000))
            std::puts("lost: the library did not finish reading in 120 s");
        const double allMs = ms(clock);
        QTest::qWait(100);
        print("library_first_rows", painted.ms, "ms", 500);
        print("library_all_read", allMs);
        print("library_all_read_ratio", allMs / floor.allMs, "x");
        print("library_longest_stall", stalls.longestMs(), "ms", 50);
        std::printf("library_rows=%d\n", library.catalog().rowCount());
        {
            // Left open: the folder is looked at each second, every file every fifth, and the
            // window must not notice; nor may memory grow.
            const double before = residentMegabytes();
            StallMeter idle;
            QTest::qWait(6500);
            print("library_idle_longest_stall", idle.longestMs(), "ms", 50);
            print("library_idle_memory_growth", residentMegabytes() - before, "MB");
        }
        const Typing typing = typeInto(library.findChild<QLineEdit*>(QStringLiteral("txtSearch")),
                                       list, QStringLiteral("friday 238"));
        print("library_key_longest", typing.longestMs, "ms", 20);
        print("library_key_median", typing.medianMs);
    }
    {
        QElapsedTimer clock;
        double firstRows = -1;
        Typing typing;
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            auto* field = box->findChild<QLineEdit*>();
            auto* list = box->findChild<QTreeView*>(QStringLiteral("lstChoices"));
            FirstRowsPaint painted(list, clock);
            QTest::keyClick(field, Qt::Key_Down); // the newest, as soon as there are any
            if (!QTest::qWaitFor([&] { return painted.ms >= 0; }, 10000))
                std::puts("lost: the number box showed no rows in 10 s");
            firstRows = painted.ms;
            if (!QTest::qWaitFor(
                    [&] { return !qobject_cast<WorksheetCatalog*>(list->model())->isReading(); },
                    120000))
                std::puts("lost: the number box did not finish reading in 120 s");
            field->setFocus();
            typing = typeInto(field, list, QStringLiteral("friday 238"));
            QTest::keyClick(field, Qt::Key_Escape);
        });
        clock.start();
        dialogs.inputBox("Enter the worksheet number:", "Print Saved", folder);
        print("numberbox_first_rows", firstRows, "ms", 500);
        print("numberbox_key_longest", typing.longestMs, "ms", 20);
        print("numberbox_key_median", typing.medianMs);
    }
    settingsAndPreview();
    std::filesystem::remove_all(folder);
    return 0;
}
