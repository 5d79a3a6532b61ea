#include "appdir.h"
#include "fromlanrik.h"
#include "windowplacement.h"

#include <QApplication>
#include <QDesktopWidget>

int main(int argc, char *argv[])
{
    // Names the user's data folder, whatever the executable is called.
    if (builtForInstallation())
        QCoreApplication::setApplicationName(QStringLiteral("netcheck"));
    QApplication a(argc, argv);
    fromlanrik w;
    w.move(centredPosition(QApplication::desktop()->geometry().size(), w.geometry().size()));
    w.show();
    return a.exec();
}
