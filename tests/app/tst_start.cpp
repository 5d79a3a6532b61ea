#include "appdir.h"
#include "fromlanrik.h"
#include "httptestserver.h"
#include "platform.h"
#include "startup.h"
#include "testrunner.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLCDNumber>
#include <QLabel>
#include <QMovie>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <memory>

namespace
{
QByteArray shippedBanner()
{
    QFile file(QStringLiteral(":/startup/banner.gif"));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

template<typename T>
T *child(QWidget &window, const char *name)
{
    T *widget = window.findChild<T *>(QLatin1String(name));
    Q_ASSERT(widget);
    return widget;
}

class UrlCatcher : public QObject
{
    Q_OBJECT
public slots:
    void open(const QUrl &url) { opened << url.toString(QUrl::FullyEncoded); }

public:
    QStringList opened;
};
} // namespace

class TstStart : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void readTextFile_data();
    void readTextFile();
    void windowAfterStart();
    void informationPage_data();
    void informationPage();
    void linkOpensInBrowser_data();
    void linkOpensInBrowser();
    void freshStartNeedsNoNetwork();
    void bannerIsFetchedOnceThenCached();
    void bannerFolderDoesNotStopStartUp();
    void checkScript_data();
    void checkScript();
    void unansweredServerDelaysOnlyByTheBound();

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString path(const QString &name) const { return dir->filePath(name); }
};

void TstStart::init()
{
    dir.reset(new QTemporaryDir);
    setAppDirOverride(dir->path());
    // Never the build-time addresses: a deployer's build may point them at a real server.
    StartupAddresses shipped;
    shipped.banner = QStringLiteral("qrc:/startup/banner.gif");
    shipped.about = QStringLiteral("qrc:/startup/about.html");
    shipped.advertisement = QStringLiteral("qrc:/startup/ad.html");
    setStartupAddresses(shipped);
}

void TstStart::cleanup()
{
    setStartupAddresses(builtInStartupAddresses());
    setKernelTypeOverride(QString());
    setAppDirOverride(QString());
    dir.reset();
}

void TstStart::readTextFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("LF") << QByteArray("a\nb\n") << QStringLiteral("a\nb\n");
    QTest::newRow("CRLF") << QByteArray("a\r\nb\r\n") << QStringLiteral("a\nb\n");
    QTest::newRow("last line without line break") << QByteArray("a\nb") << QStringLiteral("a\nb\n");
    QTest::newRow("empty lines kept") << QByteArray("\n\na\n") << QStringLiteral("\n\na\n");
    QTest::newRow("empty file") << QByteArray() << QString();
    QTest::newRow("UTF-8 byte-order mark") << QByteArray("\xEF\xBB\xBF网关\n") << QStringLiteral("网关\n");
    QTest::newRow("UTF-16LE byte-order mark")
        << QByteArray("\xFF\xFE\x51\x7F\x73\x51\r\0\n\0", 10) << QStringLiteral("网关\n");
}

void TstStart::readTextFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    writeFile(path("script.txt"), bytes);
    QCOMPARE(::readTextFile(path("script.txt")), expected);
    QCOMPARE(::readTextFile(path("missing.txt")), QString());
    QCOMPARE(::readTextFile(dir->path()), QString());
}

void TstStart::windowAfterStart()
{
    fromlanrik window;
    QCOMPARE(window.windowTitle(), QStringLiteral("网络检测工具 1.0 "));
    QVERIFY(QFileInfo(path("log")).isDir());

    auto *tabs = child<QTabWidget>(window, "tabWidget");
    QStringList tabTexts;
    for (int i = 0; i < tabs->count(); ++i)
        tabTexts << tabs->tabText(i);
    QCOMPARE(tabTexts,
        (QStringList { "基本信息", "批量检测", "设置批量检测", "IP搜索", "CMD命令行", "网站查阅", "关于" }));
    QCOMPARE(tabs->currentIndex(), 0);
    QVERIFY(tabs->styleSheet().contains(QLatin1String(
        "padding:5px;}    QTabBar::tab:!selected {margin-top: 10px;}     QTabBar::tab:selected")));

    auto *results = child<QTableWidget>(window, "tableWidget");
    QStringList headers;
    QList<int> widths;
    for (int c = 0; c < results->columnCount(); ++c) {
        headers << results->horizontalHeaderItem(c)->text();
        widths << results->columnWidth(c);
    }
    QCOMPARE(headers, (QStringList { "名称", "状态", "检测内容", "检测时间", "检测结果" }));
    QCOMPARE(widths, (QList<int> { 240, 80, 400, 240, 660 }));
    QCOMPARE(results->rowCount(), 2);
    QCOMPARE(results->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(!results->isHidden());
    QVERIFY(child<QWidget>(window, "widgetPic")->isHidden());

    auto *keep = child<QComboBox>(window, "cmbKeep");
    QCOMPARE(keep->count(), 12);
    QCOMPARE(keep->currentText(), QStringLiteral("手动执行"));
    QCOMPARE(child<QLCDNumber>(window, "lcdNumber")->intValue(), -1);
    // Created in this order: the automatic-run timer waits for a choice, the countdown ticks.
    const QList<QTimer *> timers = window.findChildren<QTimer *>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(timers.size(), 2);
    QVERIFY(!timers.at(0)->isActive());
    QVERIFY(timers.at(1)->isActive());
    QCOMPARE(timers.at(1)->interval(), 1000);
}

void TstStart::informationPage_data()
{
    QTest::addColumn<QString>("kernel");
    QTest::addColumn<bool>("systemSection");
    QTest::addColumn<bool>("networkSection");
    QTest::addColumn<bool>("speechOffered");
    QTest::newRow("linux: uname as text, interfaces") << "linux" << true << true << false;
    QTest::newRow("windows: system table only") << "winnt" << true << false << true;
    QTest::newRow("neither: empty page") << "freebsd" << false << false << false;
}

void TstStart::informationPage()
{
    QFETCH(QString, kernel);
    QFETCH(bool, systemSection);
    QFETCH(bool, networkSection);
    QFETCH(bool, speechOffered);
    // A fake uname first on PATH prints text that would be markup if inserted raw.
    const QString unameOutput = QStringLiteral("Linux <b>box</b> & <i>x</i>");
    QDir().mkpath(path("tools"));
    writeFile(path("tools/uname"), "#!/bin/sh\necho '" + unameOutput.toUtf8() + "'\n");
    QFile::setPermissions(path("tools/uname"), QFile::ReadOwner | QFile::ExeOwner);
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", path("tools").toLocal8Bit() + ':' + oldPath);
    setKernelTypeOverride(kernel);
    fromlanrik window;
    qputenv("PATH", oldPath);

    const QString page = child<QTextEdit>(window, "txtINFO")->toPlainText();
    QCOMPARE(page.contains(QStringLiteral("系统信息")), systemSection);
    QCOMPARE(page.contains(unameOutput), networkSection);
    QCOMPARE(page.contains(QStringLiteral("网络")), networkSection);
    QCOMPARE(page.contains(QStringLiteral("IP地址")), networkSection);
    QCOMPARE(page.trimmed().isEmpty(), !systemSection);
    QCOMPARE(!child<QCheckBox>(window, "chkSpack")->isHidden(), speechOffered);
}

void TstStart::linkOpensInBrowser_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("expected");
    QTest::newRow("the bottom bar's own link") << QString() << QString();
    QTest::newRow("blank in the link is tolerated") << "http://intranet.example.org/a b"
                                                    << "http://intranet.example.org/a%20b";
}

void TstStart::linkOpensInBrowser()
{
    QFETCH(QString, link);
    QFETCH(QString, expected);
    fromlanrik window;
    auto *label = child<QLabel>(window, "labelWeb");
    const QString text = label->text();
    if (link.isEmpty()) {
        const QRegularExpressionMatch href = QRegularExpression("<a href=\"([^\"]+)\">").match(text);
        QVERIFY(href.hasMatch());
        link = expected = href.captured(1);
    }
    UrlCatcher browser;
    QDesktopServices::setUrlHandler("https", &browser, "open");
    QDesktopServices::setUrlHandler("http", &browser, "open");
    emit label->linkActivated(link);
    QDesktopServices::unsetUrlHandler("https");
    QDesktopServices::unsetUrlHandler("http");
    QCOMPARE(browser.opened, QStringList { expected });
    QCOMPARE(label->text(), text);
}

void TstStart::freshStartNeedsNoNetwork()
{
    fromlanrik window;
    QCOMPARE(QFile(path("logo.gif")).size(), shippedBanner().size());
    const QString about = child<QTextEdit>(window, "txtAbout")->toPlainText();
    for (const char *file : { "1.0", "chkScript.txt", "log/", "logo.gif", "tmpPDF.pdf" })
        QVERIFY2(about.contains(QLatin1String(file)), file);
    const QString ad = child<QLabel>(window, "labelAD")->text();
    QVERIFY(!ad.trimmed().isEmpty() && ad != QStringLiteral("广告位招租"));
}

void TstStart::bannerIsFetchedOnceThenCached()
{
    HttpTestServer server;
    QVERIFY(server.start());
    server.serve("/logo.gif", shippedBanner(), 200, "image/gif");
    StartupAddresses addresses = startupAddresses();
    addresses.banner = server.url("/logo.gif");
    setStartupAddresses(addresses);

    for (int start = 0; start < 2; ++start) {
        fromlanrik window;
        QCOMPARE(server.requestCount(), 1);
        QMovie *movie = child<QLabel>(window, "labGif")->movie();
        QVERIFY(movie);
        QCOMPARE(movie->scaledSize(), QSize(80, 80));
        QCOMPARE(movie->state(), QMovie::Running);
        QVERIFY(movie->frameCount() > 1);
    }
}

void TstStart::bannerFolderDoesNotStopStartUp()
{
    QVERIFY(QDir(dir->path()).mkdir("logo.gif"));
    fromlanrik window;
    QVERIFY(QFileInfo(path("logo.gif")).isDir());
    QVERIFY(!child<QTextEdit>(window, "txtAbout")->toPlainText().isEmpty());
}

void TstStart::checkScript_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("aliases");
    QTest::newRow("missing") << QByteArray() << QStringList();
    QTest::newRow("last line without line break")
        << QByteArray("CMD|true|本机|x|机房\nURL|http://127.0.0.1/|网站|ok|机房")
        << QStringList { "本机", "网站" };
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF"
                                                   "CMD|true|网关||机房\n")
                                     << QStringList { "网关" };
    QTest::newRow("CRLF") << QByteArray("CMD|true|a||x\r\nCMD|true|b||x\r\n") << QStringList { "a", "b" };
}

void TstStart::checkScript()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, aliases);
    if (!bytes.isEmpty())
        writeFile(path("chkScript.txt"), bytes);
    fromlanrik window;
    auto *script = child<QTableWidget>(window, "tableScript");
    QCOMPARE(script->columnCount(), 5);
    // One row per line plus the empty spare row; never fewer than two.
    QCOMPARE(script->rowCount(), qMax(2, aliases.size() + 1));
    for (int row = 0; row < aliases.size(); ++row)
        QCOMPARE(script->item(row, 0)->text(), aliases.at(row));
    QCOMPARE(script->item(aliases.size(), 0), nullptr);
}

void TstStart::unansweredServerDelaysOnlyByTheBound()
{
    HttpTestServer server;
    QVERIFY(server.start());
    server.neverAnswer("/hang");
    StartupAddresses addresses;
    addresses.banner = addresses.about = addresses.advertisement = server.url("/hang");
    addresses.timeoutMs = 300;
    setStartupAddresses(addresses);

    QElapsedTimer clock;
    clock.start();
    fromlanrik window;
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(server.requestCount(), 3);
    QVERIFY2(elapsed < 3 * addresses.timeoutMs + 3000, qPrintable(QString::number(elapsed)));
    QCOMPARE(child<QTextEdit>(window, "txtAbout")->toPlainText(), QString());
}

NETCHECK_TEST(TstStart)
#include "tst_start.moc"
