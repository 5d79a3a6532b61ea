#include "appdir.h"
#include "fromlanrik.h"
#include "httptestserver.h"
#include "messagebox.h"
#include "platform.h"
#include "startup.h"
#include "testrunner.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QLCDNumber>
#include <QLabel>
#include <QLineEdit>
#include <QMovie>
#include <QPushButton>
#include <QSignalSpy>
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
    return window.findChild<T *>(QLatin1String(name));
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
    void init()
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
    void cleanup()
    {
        setStartupAddresses(builtInStartupAddresses());
        setKernelTypeOverride(QString());
        setAppDirOverride(QString());
        dir.reset();
    }
    void readTextFile_data();
    void readTextFile();
    void informationPage_data();
    void informationPage();
    void linkOpensInBrowser();
    void freshStart();
    void bannerIsFetchedOnceThenCached();
    void filesFromAnEarlierStart();
    void unansweredServerDelaysOnlyByTheBound();
    void dataFolder();
    void keys();

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString path(const QString &name) const { return dir->filePath(name); }
};

void TstStart::readTextFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("CRLF") << QByteArray("a\r\nb\r\n") << "a\nb\n";
    QTest::newRow("last line without line break") << QByteArray("a\nb") << "a\nb\n";
    QTest::newRow("empty lines kept") << QByteArray("\n\na\n") << "\n\na\n";
    QTest::newRow("empty file") << QByteArray() << "";
    QTest::newRow("UTF-8 byte-order mark") << QByteArray("\xEF\xBB\xBF网关\n") << "网关\n";
    QTest::newRow("UTF-16LE byte-order mark")
        << QByteArray("\xFF\xFE\x51\x7F\x73\x51\r\0\n\0", 10) << "网关\n";
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

void TstStart::informationPage_data()
{
    QTest::addColumn<QString>("kernel");
    QTest::addColumn<bool>("systemSection");
    QTest::addColumn<bool>("networkSection");
    QTest::addColumn<bool>("speechOffered");
    QTest::newRow("linux: uname as text, interfaces") << "linux" << true << true << false;
    QTest::newRow("windows: system table only") << "winnt" << true << false << false;
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
    QCOMPARE(page.contains(unameOutput) && page.contains(QStringLiteral("IP地址")), networkSection);
    QCOMPARE(page.trimmed().isEmpty(), !systemSection);
    QCOMPARE(!child<QCheckBox>(window, "chkSpack")->isHidden(), speechOffered);
}

void TstStart::linkOpensInBrowser()
{
    fromlanrik window;
    auto *label = child<QLabel>(window, "labelWeb");
    const QString text = label->text();
    UrlCatcher browser;
    QDesktopServices::setUrlHandler("https", &browser, "open");
    QDesktopServices::setUrlHandler("http", &browser, "open");
    emit label->linkActivated("https://intranet.example.org/");
    emit label->linkActivated("http://intranet.example.org/a b"); // a blank is tolerated
    QDesktopServices::unsetUrlHandler("https");
    QDesktopServices::unsetUrlHandler("http");
    QCOMPARE(browser.opened,
        (QStringList { "https://intranet.example.org/", "http://intranet.example.org/a%20b" }));
    QCOMPARE(label->text(), text);
}

// Without a network and without any file of its own beside it.
void TstStart::freshStart()
{
    fromlanrik window;
    QCOMPARE(window.windowTitle(), QStringLiteral("网络检测工具 1.0 "));
    QVERIFY(QFileInfo(path("log")).isDir());
    QCOMPARE(QFile(path("logo.gif")).size(), shippedBanner().size());
    const QString about = child<QTextEdit>(window, "txtAbout")->toPlainText();
    for (const char *file : { "1.0", "chkScript.txt", "log/", "logo.gif", "tmpPDF.pdf" })
        QVERIFY2(about.contains(QLatin1String(file)), file);
    QVERIFY(about.contains(dir->path()));
    QCOMPARE(child<QLabel>(window, "labelWeb")->text(), QString()); // no made-up contacts
    const QString ad = child<QLabel>(window, "labelAD")->text();
    QVERIFY(!ad.trimmed().isEmpty() && ad != QStringLiteral("广告位招租"));
    auto *script = child<QTableWidget>(window, "tableScript");
    QCOMPARE(script->rowCount(), 2);
    QCOMPARE(script->item(0, 0), nullptr);
    QVERIFY(child<QWidget>(window, "widgetPic")->isHidden());
    QCOMPARE(child<QLCDNumber>(window, "lcdNumber")->intValue(), -1);
    // Created in this order: the automatic-run timer waits for a choice, the countdown ticks.
    const QList<QTimer *> timers = window.findChildren<QTimer *>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(timers.size(), 2);
    QVERIFY(!timers.at(0)->isActive());
    QVERIFY(timers.at(1)->isActive() && timers.at(1)->interval() == 1000);
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

// Files left beside the program by an earlier start, one of them in the way.
void TstStart::filesFromAnEarlierStart()
{
    QVERIFY(QDir(dir->path()).mkdir("logo.gif"));
    writeFile(
        path("chkScript.txt"), "\xEF\xBB\xBF" "CMD|true|本机|x|机房\r\nURL|http://127.0.0.1/|网站|ok|机房");
    fromlanrik window;
    auto *script = child<QTableWidget>(window, "tableScript");
    // One row per line plus the empty spare row.
    QCOMPARE(script->rowCount(), 3);
    QCOMPARE(script->item(0, 0)->text(), QStringLiteral("本机"));
    QCOMPARE(script->item(0, 1)->text(), QStringLiteral("CMD")); // the byte-order mark is not text
    QCOMPARE(script->item(1, 0)->text(), QStringLiteral("网站"));
    QCOMPARE(script->item(2, 0), nullptr);
    QVERIFY(QFileInfo(path("logo.gif")).isDir());
    QVERIFY(!child<QTextEdit>(window, "txtAbout")->toPlainText().isEmpty());
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

void TstStart::dataFolder()
{
    qputenv("XDG_DATA_HOME", path("share").toLocal8Bit()); // a fresh user: no share folder yet
    QCoreApplication::setApplicationName("netcheck");
    QCOMPARE(::dataFolder(true), path("share/netcheck"));
    qunsetenv("XDG_DATA_HOME");
    QVERIFY(QFileInfo(path("share/netcheck")).isDir());
    QCOMPARE(::dataFolder(false), QCoreApplication::applicationDirPath());
}

void TstStart::keys()
{
    fromlanrik window;
    // Empty fields: the scan refuses the range with a message, nothing is pinged or fetched.
    for (QLineEdit *edit : window.findChildren<QLineEdit *>())
        edit->clear();
    MessageBox::startRecording();
    QSignalSpy fetch(child<QPushButton>(window, "cmdUrl"), &QPushButton::clicked);
    QSignalSpy scan(child<QPushButton>(window, "cmdScanIP"), &QPushButton::clicked);
    QSignalSpy run(child<QPushButton>(window, "cmdCMD"), &QPushButton::clicked);
    QTest::keyClick(child<QLineEdit>(window, "txtUrl"), Qt::Key_Return);
    QTest::keyClick(child<QLineEdit>(window, "txtSIPadd"), Qt::Key_Return);
    QTest::keyClick(child<QLineEdit>(window, "txtEIPadd"), Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(child<QWidget>(window, "txtCMD"), Qt::Key_Return); // only a new line
    QTest::keyClick(child<QWidget>(window, "txtCMD"), Qt::Key_Return, Qt::ControlModifier);
    MessageBox::stopRecording();
    QCOMPARE((QList<int> { fetch.count(), scan.count(), run.count() }), (QList<int> { 1, 2, 1 }));
}

NETCHECK_TEST(TstStart)
#include "tst_start.moc"
