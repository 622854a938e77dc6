// What the first click and the first print cost in a fresh process, beside the same done again
// in that process, on the real window, boxes and printer adapter.
//   clicks   Print/Save clicked twice: from each click to the question box's first paint
//   pdf      a 300-problem Compact Test page to the PDF stand-in: the first, the second, and
//            the median of five later ones
//   barepdf  the floor of a page: a QPdfWriter page with the same 600 lines and 300 underlines,
//            the name line, the title and the bottom line, timed the same way
//   classset 30 versions of 300 problems with a key after each: stored, and 60 pages in one PDF;
//            beside it, the same 60 pages drawn bare
//   bare60   60 QPdfWriter pages with the lines and underlines of Print/Save's page
//   make300  the whole of making a 300-problem worksheet and its page as PDF, then exit
//   forms    laid-out pages to the PDF stand-in, each the median of five: 100 four-digit long
//            divisions, and 300 four-digit column additions; beside each, a bare QPdfWriter page
//            drawing the same text at the same places
//   formset  30 versions of 100 four-digit problems (additions, subtractions, long divisions)
//            with a key after each, stored and 60 pages in one PDF; beside it, the same 60
//            pages drawn bare
// Usage: sbk3_firsts clicks|pdf|barepdf|classset|bare60|make300|forms|formset FOLDER [warm]. With
// warm, first does what SBK3 does while its splash waits for the click, and loads the print
// system's library as a Print/Save click starts it. Prints name=ms pairs.
#include "app/Application.h"
#include "app/Background.h"
#include "app/ClassSetCommand.h"
#include "app/MainWindow.h"
#include "app/QtDialogs.h"
#include "app/WarmUp.h"
#include "common/Dialogs.h"
#include "common/ProblemKinds.h"
#include "print/Layout.h"
#include "print/Page.h"
#include "print/Printer.h"
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
    PrintWorksheetPage(printer, surface, {positions, windowLook(false, 0, "Bottom")}, sheet300());
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

// A page canvas that keeps what is drawn where, so that a bare QPdfWriter page can draw the same
// text at the same places.
class CapturingCanvas : public PageCanvas {
public:
    struct Text {
        QString text;
        double x = 0, y = 0; // units at full size
        double points = 12;
        bool mono = false, bold = false, underline = false;
    };
    std::vector<Text> texts;
    float width = 90.0f, height = 60.0f; // A4 less margins, in units

    void setFontSize(int points) override { m_points = points; }
    void setFontBold(bool bold) override { m_bold = bold; }
    void setCurrentX(float x) override { m_x = x; }
    void setCurrentY(float y) override { m_y = y; }
    float scaleHeight() override { return height / m_scale; }
    float scaleWidth() override { return width / m_scale; }
    float textWidth(const std::string& text) override {
        return static_cast<float>(text.size()) * static_cast<float>(m_points) * 0.1f;
    }
    void setPageScale(float scale) override { m_scale = scale; }
    void printLine(const std::string& text) override {
        texts.push_back({QString::fromStdString(text), m_x * m_scale, m_y * m_scale,
                         m_points * static_cast<double>(m_scale), false, m_bold, false});
        m_x = 0;
        m_y += static_cast<float>(m_points) / 12.0f;
    }
    void paintPicture(const SurfacePicture& picture, float x, float y) override {
        double top = y;
        for (const SurfaceLine& line : picture.lines) {
            texts.push_back({QString::fromStdString(line.text), x * m_scale, top * m_scale,
                             12.0 * m_scale, true, line.bold, line.underline});
            top += 1;
        }
    }

private:
    int m_points = 12;
    bool m_bold = false;
    float m_x = 0, m_y = 0, m_scale = 1;
};

// The captured pages drawn bare: QPdfWriter, one drawText a line, at 1200 dpi.
double bareReplay(const std::filesystem::path& folder,
                  const std::vector<std::vector<CapturingCanvas::Text>>& pages) {
    QElapsedTimer clock;
    clock.start();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(1200);
    QPainter painter(&writer);
    QFont mono(QStringLiteral("Courier New"));
    QFont text(QStringLiteral("Arial"));
    for (std::size_t page = 0; page < pages.size(); ++page) {
        if (page > 0)
            writer.newPage();
        for (const CapturingCanvas::Text& t : pages[page]) {
            QFont& font = t.mono ? mono : text;
            font.setPointSizeF(t.points);
            font.setBold(t.bold);
            font.setUnderline(t.underline);
            painter.setFont(font);
            painter.drawText(QPointF(t.x * 100.0, t.y * 200.0 + t.points * 1200.0 / 72.0 * 0.8),
                             t.text);
        }
    }
    painter.end();
    QFile file(QString::fromStdString((folder / "bare.pdf").string()));
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    file.close();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

// A laid-out worksheet of count problems of one operator in one form, four-digit numbers.
SavedWorksheet laidOutSheet(int count, std::size_t op, Form form) {
    SavedWorksheet sheet;
    sheet.title = "Four digits MIX100042";
    sheet.count = static_cast<std::int16_t>(count);
    sheet.laidOut = true;
    for (int k = 0; k < count; ++k)
        sheet.sheetProblems.push_back({Number{1000 + (k * 7919LL) % 9000, 0},
                                       Number{op == 3 ? 2 + k % 8 : 100 + (k * 104729LL) % 9000, 0},
                                       &operators()[op], form, Blank::None});
    return sheet;
}

// The printable area of the printer's next document, in units; nothing is started.
std::pair<float, float> paperOf(QtPrinter& printer) {
    const std::pair<float, float> paper(printer.scaleWidth(), printer.scaleHeight());
    printer.killDoc();
    return paper;
}

std::vector<CapturingCanvas::Text> captured(const SavedWorksheet& sheet, bool key,
                                            std::pair<float, float> paper) {
    CapturingCanvas canvas;
    canvas.width = paper.first;
    canvas.height = paper.second;
    ProblemSurface surface;
    PositionTable positions;
    LayoutCompact(positions);
    DrawWorksheetPage(canvas, surface, {positions, windowLook(false, 0, "Bottom"), key, "."},
                      sheet);
    return canvas.texts;
}

// Says nothing and answers every box at once.
class QuietDialogs : public Dialogs {
public:
    MsgResult messageBox(const Message&) override { return MsgResult::Ok; }
    std::string inputBox(const std::string&, const std::string&,
                         const std::filesystem::path&) override {
        return {};
    }
    int numberBox(const std::string&, const std::string&, int value, int, int) override {
        return value;
    }
    std::string saveFileBox(const std::string&, const std::string&) override { return {}; }
    bool openFolder(const std::string&) override { return true; }
};

// A class set as the dialog makes it, timed once its faces and engine are made; and the floor of
// it: its 60 pages drawn bare, the same text at the same places. Prints NAME_ms and bare_NAME_ms.
void setBesideItsBarePages(const char* name, ClassSetRequest request, QtPrinter& printer,
                           const std::filesystem::path& folder, RandomPort& random) {
    QuietDialogs quiet;
    ProblemSurface surface;
    PositionTable positions;
    LayoutCompact(positions);
    request.versions = 30;
    request.keys = AnswerKeys::AfterEach;
    request.pdfPath = (folder / "set.pdf").string();
    request.title = "Set (N)";
    request.look = windowLook(false, 0, "Bottom");
    const auto makeSet = [&] {
        QElapsedTimer clock;
        clock.start();
        const ClassSetResult made =
            RunClassSet(request, {quiet, printer, surface, positions, random, folder, "."}, {});
        return std::pair(static_cast<double>(clock.nsecsElapsed()) / 1e6, made.stored.numbers);
    };
    makeSet();
    const auto [setMs, numbers] = makeSet();
    std::vector<std::vector<CapturingCanvas::Text>> pages;
    for (const std::string& number : numbers) {
        const SavedWorksheet sheet = readWorksheetFile(folder / number);
        pages.push_back(captured(sheet, false, paperOf(printer)));
        pages.push_back(captured(sheet, true, paperOf(printer)));
    }
    bareReplay(folder, pages);
    std::printf("%s_ms=%.3f bare_%s_ms=%.3f\n", name, setMs, name, bareReplay(folder, pages));
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
        ClassSetRequest request;
        request.settings = SettingsForType("Mixed");
        request.problems = 300;
        setBesideItsBarePages("class_set", request, printer, folder, random);
    } else if (std::strcmp(mode, "bare60") == 0) {
        std::printf("bare_60_pages_ms=%.3f\n", barePdf(folder, 60));
    } else if (std::strcmp(mode, "forms") == 0) {
        PositionTable positions;
        LayoutCompact(positions);
        const SavedWorksheet division = laidOutSheet(100, 3, Form::LongDivision);
        const SavedWorksheet addition = laidOutSheet(300, 0, Form::Column);
        const auto page = [&](const SavedWorksheet& sheet) {
            return medianOfLater([&] {
                ProblemSurface surface;
                QElapsedTimer clock;
                clock.start();
                printer.setJobName("MIX100042");
                PrintWorksheetPage(printer, surface, {positions, windowLook(false, 0, "Bottom")},
                                   sheet);
                return static_cast<double>(clock.nsecsElapsed()) / 1e6;
            });
        };
        const auto bare = [&](const SavedWorksheet& sheet) {
            const std::vector<std::vector<CapturingCanvas::Text>> pages{
                captured(sheet, false, paperOf(printer))};
            return medianOfLater([&] { return bareReplay(folder, pages); });
        };
        page(division); // the faces and the engine made once, as on a later page
        std::printf("long_division_pdf_ms=%.3f bare_long_division_pdf_ms=%.3f "
                    "column_addition_pdf_ms=%.3f bare_column_addition_pdf_ms=%.3f\n",
                    page(division), bare(division), page(addition), bare(addition));
    } else if (std::strcmp(mode, "formset") == 0) {
        ClassSetRequest request;
        ProblemSettings& settings = request.settings;
        settings.subtraction = settings.division = true;
        settings.firstMin = settings.subFirstMin = 1000;
        settings.firstMax = settings.secondMax = settings.subFirstMax = 9999;
        settings.secondMin = settings.subSecondMin = 100;
        settings.subSecondMax = 999;
        settings.dividendMin = 1000, settings.dividendMax = 9999, settings.quotientMax = 9999;
        settings.remainders = Remainders::Allowed;
        settings.forms[Divide] = Form::LongDivision;
        request.problems = 100;
        setBesideItsBarePages("form_set", request, printer, folder, random);
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
