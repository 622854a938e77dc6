#include "app/Application.h"

#include "common/AppInfo.h"
#include "common/FileExists.h"
#include "common/NativeFile.h"
#include "print/QtText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QIcon>
#include <QLocale>
#include <QPixmap>
#include <QStandardPaths>

#include <random>
#include <string>

#include "app/sbk3.xpm"

namespace sbk3 {
namespace {

// The system's own form of a path Qt gives: UTF-16 on Windows, the file name encoding's bytes
// elsewhere.
std::filesystem::path toPath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

QString toQString(const std::filesystem::path& path) {
#ifdef Q_OS_WIN
    return QString::fromStdWString(path.native());
#else
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
#endif
}

// The folder that holds the program, in the system's bytes: Qt's own answer is text, and a
// folder name that is not UTF-8 does not survive it.
std::filesystem::path programFolder() {
#ifdef Q_OS_LINUX
    std::error_code ec;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec && program.is_absolute())
        return program.parent_path();
#endif
    return toPath(QCoreApplication::applicationDirPath());
}

bool canWriteIn(const std::filesystem::path& folder) {
    // Tried for real: permission bits say little for root or on read-only mounts.
    std::random_device seed;
    const std::filesystem::path probe =
        folder / (".sbk3-write-test-" + std::to_string(seed() % 1000000u));
    try {
        std::optional<NativeFile> file = NativeFile::createNew(probe);
        if (!file)
            return false;
        const FileIdentity identity = file->info().identity;
        file->close();
        removeIfSame(probe, identity);
        return true;
    } catch (const std::exception&) {
        return false;
    }
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

WorksheetFolder chooseWorksheetFolder(const std::filesystem::path& programFolder, bool installed,
                                      const std::filesystem::path& userFolder) {
    if (!installed && canWriteIn(programFolder))
        return {programFolder, {}};
    const std::filesystem::path tried = userFolder.lexically_normal();
    std::error_code ec;
    if (tried.is_absolute()) {
        std::filesystem::create_directories(tried, ec);
        if (canWriteIn(tried))
            return {tried, {}};
    }
    const std::string problem = "Worksheets cannot be kept in the folder " + pathToUtf8(tried) +
                                ", which could not be made or written to.";
    if (canWriteIn(programFolder))
        return {programFolder, problem + " They are kept in the program's folder instead:\n" +
                                   pathToUtf8(programFolder)};
    return {tried, problem};
}

WorksheetFolder chooseWorksheetFolder() {
#ifdef SBK3_INSTALL_BINDIR
    const QString installedBin = QStringLiteral(SBK3_INSTALL_BINDIR);
#else
    const QString installedBin;
#endif
    const std::filesystem::path own = programFolder();
    return chooseWorksheetFolder(
        own, isInstalledProgramFolder(toQString(own), installedBin),
        toPath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)));
}

std::filesystem::path documentsFolder() {
    // Where the desktop has no Documents folder, the home folder: never the folder the program
    // happened to be started in.
    std::filesystem::path documents =
        toPath(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    std::error_code ec;
    if (!documents.empty() && std::filesystem::is_directory(documents, ec))
        return documents;
    return toPath(QDir::homePath());
}

std::string systemDecimalSeparator() {
    return QLocale::system().decimalPoint().toStdString();
}

} // namespace sbk3
