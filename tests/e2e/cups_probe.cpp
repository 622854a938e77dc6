// Prints one page to a queue that is paused while the page is being made (after the printer was
// looked up, before the job is sent), and says what the printer port reported: "held", "sent"
// or "failed: REASON". Usage: sbk3_cups_probe QUEUE FOLDER
#include "print/QtPrinter.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    const std::string queue = argv[1];
    sbk3::QtPrinter printer(argv[2]);
    printer.setPrinter(queue);
    printer.setJobName("paused-while-made");
    printer.printLine("Name"); // the printer is looked up here, while it is ready
    if (std::system(("cupsdisable " + queue).c_str()) != 0)
        return 3;
    const sbk3::PageOutcome outcome = printer.endDoc();
    switch (outcome.kind) {
    case sbk3::PageOutcome::Kind::HeldByPrinter:
        std::puts("held");
        break;
    case sbk3::PageOutcome::Kind::Failed:
        std::printf("failed: %s\n", outcome.reason.c_str());
        break;
    default:
        std::puts("sent");
        break;
    }
    return 0;
}
