#include "appdir.h"
#include "fromlanrik.h"
#include "headless.h"
#include "windowplacement.h"

#include <QApplication>
#include <QDesktopWidget>

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
        prepareWithoutWindow();
    QApplication a(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
    const int exitCode = runOptions(QCoreApplication::arguments(), mode);
    if (exitCode >= 0)
        return exitCode;
    fromlanrik w;
    w.move(centredPosition(QApplication::desktop()->geometry().size(), w.geometry().size()));
    w.show();
    return a.exec();
}
