#include "appdir.h"

#include <QCoreApplication>

static QString &appDirOverride()
{
    static QString dir;
    return dir;
}

QString appDir()
{
    const QString &dir = appDirOverride();
    return dir.isEmpty() ? QCoreApplication::applicationDirPath() : dir;
}

void setAppDirOverride(const QString &dir)
{
    appDirOverride() = dir;
}
