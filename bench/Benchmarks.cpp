// Each figure is measured beside the floor it is judged against, in the same run: the bare
// file operations the command cannot do without.
#include "common/FileExists.h"
#include "print/Layout.h"
#include "print/Page.h"
#include "print/QtPrinter.h"
#include "print/Surface.h"
#include "store/WorksheetFile.h"
#include "store/WorksheetList.h"
#include "support/FakeDialogs.h"
#include "support/TempFolder.h"
#include "worksheet/PrintSave.h"
#include "worksheet/Random.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace sbk3;

void removeAllBut(const std::filesystem::path& folder, const std::string& keepPrefix = "\x01") {
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename().string().rfind(keepPrefix, 0) != 0)
            std::filesystem::remove(entry.path());
}

void BM_PrintSave(benchmark::State& state) {
    test::TempFolder folder;
    test::FakeDialogs dialogs; // answers No: nothing is printed
    ClockRandom random;
    const RequestControls controls{std::to_string(state.range(0)), false, "Mixed", "Drill (N)"};
    for (auto _ : state) {
        SheetState sheet;
        PrintSave(controls, sheet, {dialogs, random, folder.path(), ".", {}});
        state.PauseTiming();
        dialogs.messages.clear();
        removeAllBut(folder.path());
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PrintSave)->Arg(1)->Arg(80)->Arg(300)->Unit(benchmark::kMicrosecond);

// The same file written with the same system calls and nothing else: an exclusive create with
// the header and the file's identity, one open, identity check (fstat), write and close per
// problem line, then one flush of the file and one of its folder.
void BM_PrintSaveFloor(benchmark::State& state) {
    test::TempFolder folder;
    const auto path = folder / "MIX300042";
    const char header[] = "\"Drill MIX300042\",\"MIX300042\",300\r\n";
    const char line[] = "18,9,\"\xF7\"\r\n";
    for (auto _ : state) {
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        struct stat made {};
        ::fstat(fd, &made);
        benchmark::DoNotOptimize(::write(fd, header, sizeof header - 1));
        ::close(fd);
        for (int k = 0; k < state.range(0); ++k) {
            fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
            struct stat now {};
            ::fstat(fd, &now);
            if (now.st_ino != made.st_ino || now.st_dev != made.st_dev)
                state.SkipWithError("another file");
            benchmark::DoNotOptimize(::write(fd, line, sizeof line - 1));
            ::close(fd);
        }
        fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
        ::fsync(fd);
        ::close(fd);
        fd = ::open(folder.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::fsync(fd);
        ::close(fd);
        state.PauseTiming();
        std::filesystem::remove(path);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PrintSaveFloor)->Arg(1)->Arg(80)->Arg(300)->Unit(benchmark::kMicrosecond);

void fillStem(const std::filesystem::path& folder) {
    for (int part = 0; part < 1000; ++part) {
        char name[16];
        std::snprintf(name, sizeof name, "ADD001%03d", part);
        test::writeBytes(folder / name, "x");
    }
}

// Worst case of the number search: every number of the stem is taken, 1000 FileExists calls.
void BM_NumberSearchAllTaken(benchmark::State& state) {
    test::TempFolder folder;
    fillStem(folder.path());
    test::FakeDialogs dialogs;
    ClockRandom random;
    const RequestControls controls{"1", true, "Addition", "T"};
    for (auto _ : state) {
        SheetState sheet;
        PrintSave(controls, sheet, {dialogs, random, folder.path(), ".", {}});
        dialogs.messages.clear();
    }
}
BENCHMARK(BM_NumberSearchAllTaken)->Unit(benchmark::kMicrosecond);

void BM_NumberSearchFloor(benchmark::State& state) {
    test::TempFolder folder;
    fillStem(folder.path());
    std::vector<std::string> paths;
    for (int part = 0; part < 1000; ++part) {
        char name[16];
        std::snprintf(name, sizeof name, "ADD001%03d", part);
        paths.push_back((folder / name).string());
    }
    for (auto _ : state) {
        for (const std::string& path : paths) {
            const int fd = ::open(path.c_str(), O_RDONLY);
            if (fd >= 0)
                ::close(fd);
        }
    }
}
BENCHMARK(BM_NumberSearchFloor)->Unit(benchmark::kMicrosecond);

// The number boxes' list: 2000 stored 30-problem worksheets, each header read, newest first.
void BM_ListWorksheets2000(benchmark::State& state) {
    test::TempFolder folder;
    for (int k = 0; k < 2000; ++k) {
        char name[16];
        std::snprintf(name, sizeof name, "MIX030%03d", k % 1000);
        std::string number = name;
        if (k >= 1000)
            number.replace(0, 3, "ADD");
        std::string bytes = "\"Drill " + number + "\",\"" + number + "\",30\r\n";
        for (int p = 0; p < 30; ++p)
            bytes += "4,7,+\r\n";
        test::writeBytes(folder / number, bytes);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(ListWorksheets(folder.path()));
}
BENCHMARK(BM_ListWorksheets2000)->Unit(benchmark::kMillisecond);

void BM_ReadWorksheet300(benchmark::State& state) {
    test::TempFolder folder;
    std::string bytes = "\"Drill MUL300001\",\"MUL300001\",300\r\n";
    for (int k = 0; k < 300; ++k)
        bytes += std::to_string(k % 10) + "," + std::to_string(k % 9) + ",\"x\"\r\n";
    test::writeBytes(folder / "MUL300001", bytes);
    for (auto _ : state)
        benchmark::DoNotOptimize(readWorksheetFile(folder / "MUL300001"));
}
BENCHMARK(BM_ReadWorksheet300)->Unit(benchmark::kMicrosecond);

void BM_PagePdf(benchmark::State& state) {
    test::TempFolder folder;
    QtPrinter printer(folder.path());
    ProblemSurface surface;
    PositionTable positions;
    const int n = static_cast<int>(state.range(0));
    n > 80 ? LayoutCompact(positions) : LayoutEasy(positions);
    SavedWorksheet sheet;
    sheet.title = "Drill MIX" + std::to_string(n);
    sheet.count = static_cast<std::int16_t>(n);
    for (int k = 0; k < n; ++k)
        sheet.problems.push_back({static_cast<std::int16_t>(k % 82),
                                  static_cast<std::int16_t>(k % 10), k % 2 ? "x" : "\xC3\xB7"});
    printer.setJobName("MIX" + std::to_string(n));
    for (auto _ : state)
        PrintWorksheetPage(printer, surface, {positions, windowLook(false, 1, "Bottom line")},
                           sheet);
}
BENCHMARK(BM_PagePdf)->Arg(80)->Arg(300)->Unit(benchmark::kMillisecond);

// Collects each run's time per iteration, for the comparison printed after the runs.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> microseconds;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            microseconds[run.benchmark_name()] =
                run.GetAdjustedRealTime() * 1e6 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const auto& t = reporter.microseconds;
    const auto at = [&](const char* name) {
        const auto found = t.find(name);
        return found == t.end() ? 0.0 : found->second;
    };
    std::printf("\n%-34s %12s %12s %8s  %s\n", "figure", "time (us)", "floor (us)", "ratio", "aim");
    const auto row = [&](const char* figure, const char* floor, const char* aim) {
        const double value = at(figure);
        const double base = floor ? at(floor) : 0.0;
        if (base > 0)
            std::printf("%-34s %12.1f %12.1f %8.2f  %s\n", figure, value, base, value / base, aim);
        else
            std::printf("%-34s %12.1f %12s %8s  %s\n", figure, value, "-", "-", aim);
    };
    row("BM_PrintSave/1", "BM_PrintSaveFloor/1", "");
    row("BM_PrintSave/80", "BM_PrintSaveFloor/80", "");
    row("BM_PrintSave/300", "BM_PrintSaveFloor/300", "ratio <= 1.2");
    row("BM_NumberSearchAllTaken", "BM_NumberSearchFloor", "");
    row("BM_ReadWorksheet300", nullptr, "");
    row("BM_ListWorksheets2000", nullptr, "< 100000 us");
    row("BM_PagePdf/80", nullptr, "");
    row("BM_PagePdf/300", nullptr, "< 50000 us");
    return 0;
}
