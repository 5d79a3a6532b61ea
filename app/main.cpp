#include "app/cli/headless.h"
#include "app/gui/fromlanrik.h"
#include "app/gui/windowplacement.h"
#include "check/appdir.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Names the user's data folder, whatever the executable is called.
    if (builtForInstallation())
        QCoreApplication::setApplicationName(QStringLiteral("netcheck"));
    QStringList raw;
    for (int i = 0; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    const StartMode mode = startModeOf(raw);
    if (mode != StartMode::Window)
        return runWithoutWindow(argc, argv, mode);
    QApplication a(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
    fromlanrik w;
    placeOnScreen(&w);
    w.show();
    return a.exec();
}
