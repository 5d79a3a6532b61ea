#ifndef APPDIR_H
#define APPDIR_H

#include <QString>

// The folder that holds the program's files (check script, log folder, banner,
// print file): the executable's folder. Tests point it at a temporary folder.
QString appDir();
void setAppDirOverride(const QString &dir); // empty restores the executable's folder

#endif
