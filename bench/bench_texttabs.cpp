// The longest pause of the window's event loop while the command tab and the web page tab fill
// with large texts, against the half second a user notices; and how long until all is shown.
// Usage: bench_texttabs [part of a case name]
#include "app/gui/fromlanrik.h"
#include "app/gui/startpage.h"
#include "app/gui/textfeed.h"
#include "check/appdir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace
{
constexpr qint64 kPageBytes = 16 * 1024 * 1024;
constexpr int kTargetPauseMs = 500;
// A case still not shown after this long has failed.
constexpr int kCaseTimeoutMs = 10 * 60 * 1000;
// How often the event loop is asked to answer.
constexpr int kTickMs = 5;

QByteArray pageOf(const QByteArray &unit)
{
    return unit.repeated(int(kPageBytes / unit.size()) + 1).left(int(kPageBytes));
}

// Shows the tab the text is on, clicks the button and waits until the work is done, measuring
// the longest gap between ticks.
void measure(const char *name, QPushButton *button, const std::function<bool()> &done, QTextEdit *shown)
{
    auto *tabs = button->window()->findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->widget(i)->isAncestorOf(shown))
            tabs->setCurrentIndex(i);
    }
    QCoreApplication::processEvents();
    QElapsedTimer sinceTick, total;
    qint64 longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { longest = qMax(longest, sinceTick.restart()); });
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done())
            loop.quit();
    });
    total.start();
    sinceTick.start();
    tick.start(kTickMs);
    check.start(50);
    QTimer::singleShot(kCaseTimeoutMs, &loop, &QEventLoop::quit);
    QTimer::singleShot(0, button, &QPushButton::click);
    loop.exec();
    std::printf("%-36s %10lld %10s %10.1f %10d  %s\n", name, longest,
        qPrintable(QStringLiteral("< %1").arg(kTargetPauseMs)), total.elapsed() / 1000.0,
        shown->document()->characterCount(), longest < kTargetPauseMs ? "met" : "MISSED");
    std::fflush(stdout);
}
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    setAppDirOverride(dir.path());
    setStartupAddresses({ "qrc:/startup/banner.gif", "qrc:/startup/about.html", "qrc:/startup/ad.html" });

    const QByteArray lines = [] {
        QByteArray text;
        for (int i = 1; text.size() < kPageBytes; ++i)
            text += QByteArray::number(i) + '\n';
        return text.left(int(kPageBytes));
    }();
    const QByteArray longLine = pageOf("x");
    const QByteArray markup = pageOf("<tr><td><b>名称</b></td><td><i>12345</i></td></tr>\n");
    const QByteArray tables = QByteArray("<table><tr><td>x</td><td>").repeated(40);
    const QByteArray bold = QByteArray("<b>").repeated(40000);
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        QTcpSocket *socket = server.nextPendingConnection();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [&, socket] {
            const QByteArray request = socket->readAll();
            const QByteArray &body = request.contains("/long") ? longLine
                : request.contains("/markup")                  ? markup
                : request.contains("/tables")                  ? tables
                : request.contains("/bold")                    ? bold
                                                               : lines;
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size())
                + "\r\nConnection: close\r\n\r\n");
            socket->write(body);
            socket->disconnectFromHost();
        });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    });

    fromlanrik window;
    window.resize(1366, 768);
    window.show();
    QCoreApplication::processEvents();
    auto *commandButton = window.findChild<QPushButton *>(QStringLiteral("cmdCMD"));
    auto *pageButton = window.findChild<QPushButton *>(QStringLiteral("cmdUrl"));
    auto *output = window.findChild<QTextEdit *>(QStringLiteral("textCMD"));
    auto *source = window.findChild<QTextEdit *>(QStringLiteral("txtUrlTxt"));

    std::printf("%-36s %10s %10s %10s %10s\n", "case", "pause ms", "target", "shown s", "chars");
    const struct
    {
        const char *name;
        const char *command;
    } commands[] = { { "command tab: seq 1 2300000", "seq 1 2300000" },
        { "command tab: one 16 MiB line", "head -c 16777216 /dev/zero" },
        { "command tab: 16 MiB of 2-byte lines", "sh -c \"yes | head -c 16777216\"" } };
    // A part of a case's name given: only the cases that have it.
    const auto chosen = [&](const char *name) { return argc < 2 || QByteArray(name).contains(argv[1]); };
    for (const auto &c : commands) {
        if (!chosen(c.name))
            continue;
        window.findChild<QTextEdit *>(QStringLiteral("txtCMD"))->setPlainText(QString::fromLatin1(c.command));
        measure(
            c.name, commandButton, [&] { return commandButton->isEnabled(); }, output);
    }
    const struct
    {
        const char *name;
        const char *path;
    } pages[] = { { "web tab: 16 MiB of lines", "/lines" }, { "web tab: one 16 MiB line", "/long" },
        { "web tab: 16 MiB of table rows", "/markup" }, { "web tab: 40 tables in each other", "/tables" },
        { "web tab: 40,000 <b> in each other", "/bold" } };
    for (const auto &p : pages) {
        if (!chosen(p.name))
            continue;
        window.findChild<QLineEdit *>(QStringLiteral("txtUrl"))
            ->setText(
                QStringLiteral("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(QLatin1String(p.path)));
        measure(
            p.name, pageButton, [&] { return pageButton->isEnabled() && TextFeed::of(source)->isIdle(); },
            source);
    }
    return 0;
}
