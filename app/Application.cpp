#include "app/Application.h"

#include "common/AppInfo.h"
#include "common/FileExists.h"

#include <QCoreApplication>
#include <QDir>
#include <QFont>
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

// A program installed for everyone keeps its folder clean, even when root could write to it.
bool isSystemWideInstall(const QString& folder) {
    const QString canonical = QDir(folder).canonicalPath();
#ifdef SBK3_INSTALL_BINDIR
    if (canonical == QDir(QStringLiteral(SBK3_INSTALL_BINDIR)).canonicalPath())
        return true;
#endif
#ifdef Q_OS_UNIX
    return canonical.startsWith(QStringLiteral("/usr/")) || canonical == QStringLiteral("/bin");
#else
    return false;
#endif
}

} // namespace

void configureApplication() {
    QCoreApplication::setApplicationName(QString::fromLatin1(kExecutableName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kAppVersion));
    // The window font is MS Sans Serif; without this it falls to a wider face and crowds the
    // captions, which are laid out for it.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
}

QIcon applicationIcon() {
    return QIcon(QPixmap(sbk3_icon_xpm));
}

std::filesystem::path chooseWorksheetFolder() {
    const QString own = QCoreApplication::applicationDirPath();
    if (!isSystemWideInstall(own) && canWriteIn(own))
        return toPath(own);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return toPath(data);
}

std::string systemDecimalSeparator() {
    return QLocale::system().decimalPoint().toStdString();
}

} // namespace sbk3
