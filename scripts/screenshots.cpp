// Starts the real window in the executable's folder and writes a PNG of every tab
// page (after one batch run, and the picture panel too) into the folder given.
#include "fromlanrik.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTabWidget>

static void settle(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);

    fromlanrik window;
    window.move(0, 0);
    window.show();
    settle(500);

    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    window.findChild<QPushButton *>(QStringLiteral("cmdScriptStart"))->click();
    settle(300);
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        settle(300);
        window.grab().save(QStringLiteral("%1/tab%2.png").arg(out).arg(i));
    }
    tabs->setCurrentIndex(1);
    window.findChild<QPushButton *>(QStringLiteral("cmdScripShow"))->click();
    settle(300);
    window.grab().save(QStringLiteral("%1/tab1-pictures.png").arg(out));
    return 0;
}
