#include "app/cli/headless.h"
#include "app/gui/fromlanrik.h"
#include "app/gui/windowplacement.h"
#include "check/appdir.h"
#include "probe/stopsignals.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    ignoreBrokenPipe();
    // Names the user's data folder, whatever the executable is called.
    if (builtForInstallation())
        QCoreApplication::setApplicationName(QStringLiteral("netcheck"));
    QStringList raw;
    for (int i = 0; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    const StartMode mode = startModeOf(raw);
    if (mode != StartMode::Window)
        return runWithoutWindow(argc, argv, mode);
    // The toolkit would abort with a core dump: a scheduler gets a word and the usage instead.
    if (!displayAvailable())
        return refuseWindowWithoutDisplay();
    QApplication a(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
    // A stop signal closes the window as closing it does, without asking about unsaved edits
    // (nothing is saved): hidden, the window's run ends, every command's group is killed and
    // nothing cut off is logged or spoken; every event loop ends, and the program with code 2.
    StopSignals stop;
    bool stopped = false;
    QObject::connect(&stop, &StopSignals::received, [&stopped] {
        stopped = true;
        for (QWidget *window : QApplication::topLevelWidgets())
            window->hide();
        QCoreApplication::exit(2);
    });
    fromlanrik w;
    if (stopped) // during start-up
        return 2;
    placeOnScreen(&w);
    w.show();
    const int code = a.exec();
    return stopped ? 2 : code;
}
