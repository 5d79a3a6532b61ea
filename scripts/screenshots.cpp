// Starts the real window in the executable's folder and writes a PNG of every tab
// page (after one batch run, and the picture panel too) into the folder given.
#include "app/gui/fromlanrik.h"
#include "probe/neighbours.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>

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

    // Names for the loopback scan come from here, so no query leaves the machine.
    setNameLookupOverride([](const QString &address) {
        return address == QLatin1String("127.0.0.1") ? QStringLiteral("localhost") : QString();
    });
    fromlanrik window;
    window.move(0, 0);
    window.show();
    settle(500);

    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    const auto button
        = [&](const char *name) { return window.findChild<QPushButton *>(QLatin1String(name)); };
    button("cmdScriptStart")->click();
    // Every page with something in it; the scan and the fetch stay on this machine.
    window.findChild<QLineEdit *>(QStringLiteral("txtSIPadd"))->setText(QStringLiteral("127.0.0.1"));
    window.findChild<QLineEdit *>(QStringLiteral("txtEIPadd"))->setText(QStringLiteral("127.0.0.8"));
    button("cmdScanIP")->click();
    window.findChild<QTextEdit *>(QStringLiteral("txtCMD"))
        ->setPlainText(QStringLiteral("uname -a\nhostname"));
    button("cmdCMD")->click();
    window.findChild<QLineEdit *>(QStringLiteral("txtUrl"))
        ->setText(QStringLiteral("qrc:/startup/about.html"));
    button("cmdUrl")->click();
    settle(3000);
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        settle(300);
        window.grab().save(QStringLiteral("%1/tab%2.png").arg(out).arg(i));
    }
    tabs->setCurrentIndex(1);
    window.findChild<QPushButton *>(QStringLiteral("cmdScripShow"))->click();
    settle(300);
    window.grab().save(QStringLiteral("%1/tab1-pictures.png").arg(out));

    // The report is printed too; the script keeps it from the desktop's viewer and renders it.
    button("cmdScripPrint")->click();
    return 0;
}
