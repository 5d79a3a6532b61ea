// Starts the real window in the executable's folder and writes a PNG of every tab
// page (after one batch run, and the picture panel too) into the folder given. Given a screen
// size (WxH), the window is placed as at start on that screen with a 40-pixel panel at its foot
// and a usual window frame, the files are named after the size, and a larger inventory shows a
// run under way and the picture view of many devices.
#include "app/gui/fromlanrik.h"
#include "app/gui/windowplacement.h"
#include "probe/neighbours.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QTimer>

static void settle(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// 30 devices in the machine room, one in each of seven more places, and one slow line.
static void fillInventory(QTableWidget *script)
{
    const QStringList kinds = { "计算机", "打印机", "网络摄像头", "服务器", "无线路由器" };
    QList<QStringList> rows;
    for (int i = 0; i < 30; ++i)
        rows << QStringList { kinds.at(i % kinds.size()) + QString::number(i + 1), "CMD", "true", "",
            "机房" };
    for (int i = 1; i <= 7; ++i)
        rows << QStringList { QStringLiteral("%1楼交换机").arg(i), "CMD", "true", "",
            QStringLiteral("%1楼").arg(i) };
    rows.insert(1, { "NAS服务器", "CMD", "sleep 2", "", "机房" });
    script->setRowCount(rows.size() + 1);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows.at(r).size(); ++c)
            script->setItem(r, c, new QTableWidgetItem(rows.at(r).at(c)));
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const QString size = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    const QString prefix = size.isEmpty() ? QString() : size + QLatin1Char('-');
    QDir().mkpath(out);

    // Names for the loopback scan come from here, so no query leaves the machine.
    setNameLookupOverride([](const QString &address) {
        return address == QLatin1String("127.0.0.1") ? QStringLiteral("localhost") : QString();
    });
    fromlanrik window;
    if (size.isEmpty()) {
        window.move(0, 0);
    } else {
        const QRect screen(QPoint(), QSize(size.section('x', 0, 0).toInt(), size.section('x', 1).toInt()));
        window.setGeometry(
            windowPlacement(screen.adjusted(0, 0, 0, -40), QMargins(4, 30, 4, 4), window.size()));
    }
    window.show();
    settle(500);

    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    const auto button
        = [&](const char *name) { return window.findChild<QPushButton *>(QLatin1String(name)); };
    const auto shoot = [&](const QString &name) {
        settle(300);
        window.grab().save(QStringLiteral("%1/%2%3.png").arg(out, prefix, name));
    };
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
        shoot(QStringLiteral("tab%1").arg(i));
    }
    tabs->setCurrentIndex(1);
    button("cmdScripShow")->click();
    shoot(QStringLiteral("tab1-pictures"));

    if (!size.isEmpty()) {
        // The about page where it names the options and the files.
        tabs->setCurrentIndex(6);
        auto *about = window.findChild<QTextEdit *>(QStringLiteral("txtAbout"));
        about->find(QStringLiteral("命令行选项"));
        about->verticalScrollBar()->setValue(about->verticalScrollBar()->value() + about->height() / 3);
        shoot(QStringLiteral("tab6-options"));
        tabs->setCurrentIndex(1);
        // A larger inventory, never saved: its run under way, then its pictures, top and bottom.
        button("cmdScripShow")->click();
        fillInventory(window.findChild<QTableWidget *>(QStringLiteral("tableScript")));
        QTimer::singleShot(800, [&] { shoot(QStringLiteral("tab1-running")); });
        button("cmdScriptStart")->click();
        button("cmdScripShow")->click();
        shoot(QStringLiteral("tab1-pictures-many"));
        QScrollBar *bar = window.findChild<QScrollArea *>(QStringLiteral("scrollPic"))->verticalScrollBar();
        bar->setValue(bar->maximum());
        shoot(QStringLiteral("tab1-pictures-many-end"));
        button("cmdScripShow")->click();
        shoot(QStringLiteral("tab1-after-run"));
        window.screen()->grabWindow(0).save(QStringLiteral("%1/%2screen.png").arg(out, prefix));
        return 0;
    }

    // The report is printed too; the script keeps it from the desktop's viewer and renders it.
    button("cmdScripPrint")->click();
    return 0;
}
