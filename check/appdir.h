#ifndef CHECK_APPDIR_H
#define CHECK_APPDIR_H

#include <QString>

// The folder that holds the program's files (check script, log folder, banner,
// print file). A portable build keeps them beside the executable, so a copied
// folder takes its files along; a build for installation keeps them in the user's
// data folder, since the program's own folder belongs to the package manager.
// Which of the two is fixed when the program is built.
bool builtForInstallation();
// The folder for either kind of build; the user's data folder is made if missing.
QString dataFolder(bool installed);
// The folder of this build; tests point it at a temporary folder.
QString appDir();
void setAppDirOverride(const QString &dir); // empty restores the folder of this build

#endif
