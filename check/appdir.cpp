#include "check/appdir.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

static QString &appDirOverride()
{
    static QString dir;
    return dir;
}

bool builtForInstallation()
{
#ifdef NETCHECK_USER_DATA
    return true;
#else
    return false;
#endif
}

QString dataFolder(bool installed)
{
    if (!installed)
        return QCoreApplication::applicationDirPath();
    // ~/.local/share/netcheck: main names the application "netcheck", with no organisation.
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    // Start-up makes only the log folder inside, and a new user has no ~/.local/share yet.
    QDir().mkpath(dir);
    return dir;
}

QString appDir()
{
    const QString &dir = appDirOverride();
    return dir.isEmpty() ? dataFolder(builtForInstallation()) : dir;
}

void setAppDirOverride(const QString &dir)
{
    appDirOverride() = dir;
}
