#include "app/Accessibility.h"
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/QtDialogs.h"
#include "app/Splash.h"
#include "app/WarmUp.h"
#include "app/WindowPlacement.h"
#include "common/Dialogs.h"
#include "common/NativeFile.h"
#include "print/QtPrinter.h"
#include "worksheet/Random.h"

#include <QApplication>
#include <QGuiApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// While the application object opens the display, Qt's words on a display it cannot open are
// held back, and its fatal end (a core dump) becomes one line saying why and exit status 1.
// Where a display was named but could not be used, Qt's own reason ends that line.
QString heldBack;
void startupMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtFatalMsg) {
        if (heldBack.isEmpty())
            heldBack = message.section(QLatin1Char('\n'), 0, 0);
        return;
    }
    const char* display = std::getenv("DISPLAY");
    const QByteArray reason = heldBack.toLocal8Bit();
    if (display && *display && !reason.isEmpty())
        std::fprintf(stderr, "SBK3 needs a graphical session: no display could be opened (%s).\n",
                     reason.constData());
    else
        std::fputs("SBK3 needs a graphical session: no display could be opened.\n", stderr);
    std::_Exit(1);
}

} // namespace

int main(int argc, char** argv) {
    sbk3::prepareProcessForFiles();
    qInstallMessageHandler(startupMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(nullptr);
    sbk3::configureApplication();
    QApplication::setWindowIcon(sbk3::applicationIcon());

    const sbk3::WorksheetFolder chosen = sbk3::chooseWorksheetFolder();
    const std::filesystem::path& folder = chosen.folder;
    sbk3::QtDialogs dialogs;
    sbk3::QtPrinter printer(folder);
    sbk3::ClockRandom random;

    std::unique_ptr<sbk3::frmMain> mainWindow;
    const auto buildMainWindow = [&] {
        if (!mainWindow)
            mainWindow = std::make_unique<sbk3::frmMain>(
                sbk3::MainPorts{dialogs, printer, random, folder, sbk3::systemDecimalSeparator(),
                                [] { QCoreApplication::exit(0); }, sbk3::documentsFolder()});
    };
    // The desktop's actions start the program with --settings or --library: once the splash is
    // clicked away, that window opens over the main window.
    const QStringList arguments = QApplication::arguments();
    const bool openSettings = arguments.contains(QStringLiteral("--settings"));
    const bool openLibrary = arguments.contains(QStringLiteral("--library"));
    sbk3::installAccessibility();
    sbk3::installWindowPlacement();
    auto* splash = new sbk3::frmSplash([&] {
        buildMainWindow();
        mainWindow->show();
        mainWindow->activateWindow();
        if (openSettings || openLibrary)
            QTimer::singleShot(0, mainWindow.get(), [&, openSettings] {
                if (openSettings)
                    mainWindow->newWorksheetsWithSettings();
                else
                    mainWindow->openWorksheetLibrary();
            });
        // Told over the main window once the window manager has placed it.
        if (!chosen.problem.empty())
            QTimer::singleShot(300, mainWindow.get(), [&] {
                dialogs.messageBox({.text = chosen.problem, .icon = sbk3::MsgIcon::Exclamation});
            });
    });
    // While the splash waits for its click, the work the user would otherwise wait for later:
    // the main window is built (hidden, its load steps done), then the first box and the first
    // page are readied. It starts a moment after the first paint, so that a click at once is
    // served at once, and each step leaves the event loop free for the click in between.
    splash->setAfterFirstPaint([&] {
        QTimer::singleShot(50, &app, [&] {
            buildMainWindow();
            QTimer::singleShot(0, &app, [&app] {
                sbk3::warmUpMessageBoxes();
                QTimer::singleShot(0, &app, [] {
                    sbk3::warmUpPages();
                    sbk3::returnFreedMemory();
                });
            });
        });
    });
    splash->show();
    return QApplication::exec();
}
