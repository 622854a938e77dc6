#include "app/Application.h"

#include "common/AppInfo.h"
#include "common/FileExists.h"
#include "print/QtText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QIcon>
#include <QLocale>
#include <QPixmap>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "app/sbk3.xpm"

namespace sbk3 {
namespace {

std::filesystem::path toPath(const QString& path) {
    return pathFromUtf8(path.toStdString());
}

bool canWriteIn(const QString& folder) {
    // Tried for real: permission bits say little for root or on read-only mounts.
    QTemporaryFile probe(folder + QStringLiteral("/.sbk3-write-test-XXXXXX"));
    return probe.open();
}

} // namespace

void configureApplication() {
    QCoreApplication::setApplicationName(fromUtf8(kExecutableName));
    QCoreApplication::setApplicationVersion(fromUtf8(kAppVersion));
    // Ties the windows to the menu entry, so docks and Wayland compositors show its icon.
    QGuiApplication::setDesktopFileName(fromUtf8(kDesktopFileName));
    // The window font is MS Sans Serif; without this it falls to a wider face and crowds the
    // captions, which are laid out for it.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
}

QIcon applicationIcon() {
    return QIcon(QPixmap(sbk3_icon_xpm));
}

bool isInstalledProgramFolder(const QString& folder, const QString& configuredBinDir) {
    // An installed program keeps its folder clean, even where its user (root, or the owner of
    // ~/.local) could write to it: the install's own program folder, any folder named bin,
    // anything under /usr, or on Windows under Program Files.
    const auto resolved = [](const QString& path) {
        const QString canonical = QDir(path).canonicalPath();
        return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
    };
    const QString at = resolved(folder);
    if (!configuredBinDir.isEmpty() && at == resolved(configuredBinDir))
        return true;
    if (QDir(at).dirName() == QStringLiteral("bin"))
        return true;
#ifdef Q_OS_WIN
    // Under Program Files only an installer writes; worksheets go to the user's folder.
    for (const char* variable : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432"}) {
        const QString programs = qEnvironmentVariable(variable);
        if (!programs.isEmpty() &&
            (at.compare(resolved(programs), Qt::CaseInsensitive) == 0 ||
             at.startsWith(resolved(programs) + QLatin1Char('/'), Qt::CaseInsensitive)))
            return true;
    }
    return false;
#elif defined(Q_OS_UNIX)
    return at.startsWith(QStringLiteral("/usr/"));
#else
    return false;
#endif
}

std::filesystem::path chooseWorksheetFolder() {
    const QString own = QCoreApplication::applicationDirPath();
#ifdef SBK3_INSTALL_BINDIR
    const QString installed = QStringLiteral(SBK3_INSTALL_BINDIR);
#else
    const QString installed;
#endif
    if (!isInstalledProgramFolder(own, installed) && canWriteIn(own))
        return toPath(own);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return toPath(data);
}

std::filesystem::path documentsFolder() {
    return toPath(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

std::string systemDecimalSeparator() {
    return QLocale::system().decimalPoint().toStdString();
}

} // namespace sbk3
