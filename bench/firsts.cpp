// What the first click and the first print cost in a fresh process, beside the same done again
// in that process, on the real window, boxes and printer adapter.
//   clicks   Print/Save clicked twice: from each click to the question box's first paint
//   pdf      a 300-problem Compact Test page to the PDF stand-in: the first, the second, and
//            the median of five later ones
//   barepdf  the floor of a page: a QPdfWriter page with the same 600 lines and 300 underlines,
//            the name line, the title and the bottom line, timed the same way
//   classset 30 versions of 300 problems with a key after each: stored, and 60 pages in one PDF
//   bare60   the floor of that: 60 QPdfWriter pages with the same lines and underlines
//   make300  the whole of making a 300-problem worksheet and its page as PDF, then exit
// Usage: sbk3_firsts clicks|pdf|barepdf|classset|bare60|make300 FOLDER [warm]. With warm, first
// does what SBK3 does while its splash waits for the click, and loads the print system's library
// as a Print/Save click starts it. Prints name=ms pairs.
#include "app/Application.h"
#include "app/Background.h"
#include "app/ClassSetCommand.h"
#include "app/MainWindow.h"
#include "app/QtDialogs.h"
#include "app/WarmUp.h"
#include "common/Dialogs.h"
#include "print/Layout.h"
#include "print/Page.h"
#include "print/QtPrinter.h"
#include "print/Surface.h"
#include "store/WorksheetFile.h"
#include "worksheet/Random.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QRadioButton>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace {

using namespace sbk3;

SavedWorksheet sheet300() {
    SavedWorksheet sheet;
    sheet.title = "Drill MIX300042";
    sheet.count = 300;
    const char* ops[] = {"+", "-", "x", "\xC3\xB7"};
    for (int k = 0; k < 300; ++k)
        sheet.problems.push_back(
            {static_cast<std::int16_t>(k % 82), static_cast<std::int16_t>(1 + k % 9), ops[k % 4]});
    return sheet;
}

// Answers the question box No as soon as it has painted, noting when that was.
class BoxWatcher : public QObject {
public:
    QElapsedTimer clock;
    double paintedMs = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && paintedMs < 0)
            if (auto* box = qobject_cast<QMessageBox*>(watched)) {
                paintedMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
                QTimer::singleShot(0, box, [box] { box->done(QMessageBox::No); });
            }
        return false;
    }
};

// Answers Yes to the question, then OK to the box that names the PDF.
class Answerer : public QObject {
public:
    int answered = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* box = qobject_cast<QMessageBox*>(watched))
                QTimer::singleShot(0, box, [this, box] {
                    box->done(answered++ == 0 ? QMessageBox::Yes : QMessageBox::Ok);
                });
        return false;
    }
};

double pageToPdf(QtPrinter& printer, const PositionTable& positions) {
    ProblemSurface surface;
    QElapsedTimer clock;
    clock.start();
    printer.setJobName("MIX300042");
    PrintWorksheetPage(printer, surface, {positions, 0, "Bottom"}, sheet300());
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

// pages bare QPdfWriter pages of 300 problems, every second one with a third line (a key's),
// each with the page's name line, title and bottom line.
double barePdf(const std::filesystem::path& folder, int pages = 1) {
    QElapsedTimer clock;
    clock.start();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(1200);
    QPainter painter(&writer);
    QFont mono(QStringLiteral("Courier New"));
    mono.setPointSize(12);
    const double unit = 100.0; // 1/12 inch at 1200 dpi
    QFont text(QStringLiteral("Arial"));
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            writer.newPage();
        // The page's own three lines: the name line, the title, the bottom line.
        text.setPointSize(12);
        painter.setFont(text);
        painter.drawText(QPointF(0, 200), QStringLiteral("Name______________________________"));
        text.setPointSize(24);
        painter.setFont(text);
        painter.drawText(QPointF(0, 600), QStringLiteral("Drill MIX300042"));
        text.setPointSize(6);
        painter.setFont(text);
        painter.drawText(QPointF(100, 12000), QStringLiteral("Bottom"));
        for (int k = 0; k < 300; ++k) {
            const double x = (k % 20 * 5 + 1) * unit;
            const double y = (k / 20 * 4 + 4) * 2 * unit;
            mono.setUnderline(false);
            painter.setFont(mono);
            painter.drawText(QPointF(x, y + 200), QStringLiteral(" 42"));
            mono.setUnderline(true);
            painter.setFont(mono);
            painter.drawText(QPointF(x, y + 430), QStringLiteral("+ 7"));
            if (page % 2 == 1) {
                mono.setUnderline(false);
                painter.setFont(mono);
                painter.drawText(QPointF(x, y + 660), QStringLiteral(" 49"));
            }
        }
    }
    painter.end();
    QFile file(QString::fromStdString((folder / "bare.pdf").string()));
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    file.close();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

// The median of five later runs of page: one page takes a few milliseconds, where a single
// run is at the mercy of the machine's other work.
template <typename Page> double medianOfLater(Page page) {
    std::array<double, 5> times{};
    for (double& time : times)
        time = page();
    std::nth_element(times.begin(), times.begin() + 2, times.end());
    return times[2];
}

// Says nothing and answers every box at once.
class QuietDialogs : public Dialogs {
public:
    MsgResult messageBox(const Message&) override { return MsgResult::Ok; }
    std::string inputBox(const std::string&, const std::string&,
                         const std::filesystem::path&) override {
        return {};
    }
    std::string saveFileBox(const std::string&, const std::string&) override { return {}; }
    bool openFolder(const std::string&) override { return true; }
};

// A class set of 30 versions of 300 problems with a key after each: 30 worksheets stored, 60
// pages into one PDF.
double classSet(QtPrinter& printer, const std::filesystem::path& folder, RandomPort& random) {
    QuietDialogs quiet;
    ProblemSurface surface;
    PositionTable positions;
    LayoutCompact(positions);
    ClassSetRequest request;
    request.settings = SettingsForType("Mixed");
    request.problems = 300;
    request.versions = 30;
    request.keys = AnswerKeys::AfterEach;
    request.pdfPath = (folder / "set.pdf").string();
    QElapsedTimer clock;
    clock.start();
    MakeClassSet(request, {"Class set (N)", false, 0, "Bottom"},
                 {quiet, printer, surface, positions, random, folder, "."});
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    QApplication app(argc, argv);
    configureApplication();
    const char* mode = argv[1];
    const std::filesystem::path folder = argv[2];
    QtDialogs dialogs;
    QtPrinter printer(folder);
    ClockRandom random;
    if (argc > 3 && std::strcmp(argv[3], "warm") == 0) {
        warmUpMessageBoxes();
        warmUpPages();
        // What a Print/Save click starts, done while its question box is read.
        warmUpPrinting();
        backgroundPool()->waitForDone();
    }

    if (std::strcmp(mode, "clicks") == 0) {
        frmMain window(MainPorts{dialogs, printer, random, folder, ".", [] {}, folder});
        window.show();
        for (int i = 0; i < 20; ++i)
            QApplication::processEvents();
        auto* print = window.findChild<QPushButton*>(QStringLiteral("cmdPrint"));
        double times[2] = {};
        for (double& time : times) {
            BoxWatcher watcher;
            app.installEventFilter(&watcher);
            watcher.clock.start();
            print->click(); // returns once the box is answered
            app.removeEventFilter(&watcher);
            time = watcher.paintedMs;
        }
        std::printf("first_click_ms=%.3f second_click_ms=%.3f\n", times[0], times[1]);
    } else if (std::strcmp(mode, "pdf") == 0) {
        PositionTable positions;
        LayoutCompact(positions);
        const double first = pageToPdf(printer, positions);
        const double second = pageToPdf(printer, positions);
        const double later = medianOfLater([&] { return pageToPdf(printer, positions); });
        std::printf("first_pdf_ms=%.3f second_pdf_ms=%.3f later_pdf_ms=%.3f\n", first, second,
                    later);
    } else if (std::strcmp(mode, "barepdf") == 0) {
        const double first = barePdf(folder);
        const double later = medianOfLater([&] { return barePdf(folder); });
        std::printf("bare_first_pdf_ms=%.3f bare_later_pdf_ms=%.3f\n", first, later);
    } else if (std::strcmp(mode, "classset") == 0) {
        std::printf("class_set_ms=%.3f\n", classSet(printer, folder, random));
    } else if (std::strcmp(mode, "bare60") == 0) {
        std::printf("bare_60_pages_ms=%.3f\n", barePdf(folder, 60));
    } else if (std::strcmp(mode, "make300") == 0) {
        // Compact Test, 300 problems, answered Yes: stored, and its page written as PDF.
        frmMain window(MainPorts{dialogs, printer, random, folder, ".", [] {}, folder});
        window.findChild<QRadioButton*>(QStringLiteral("optCompact"))->click();
        window.findChild<QLineEdit*>(QStringLiteral("txtNumOfProblems"))
            ->setText(QStringLiteral("300"));
        Answerer answer;
        app.installEventFilter(&answer);
        window.cmdPrint_Click();
        std::printf("boxes=%d\n", answer.answered);
    } else {
        return 2;
    }
    return 0;
}
