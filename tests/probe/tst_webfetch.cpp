#include "appdir.h"
#include "fromlanrik.h"
#include "httptestserver.h"
#include "testrunner.h"
#include "webfetch.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMovie>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

namespace
{
// Small enough that a test proving a bound ends in well under a second.
constexpr int kTestBoundMs = 300;
// Far above any bound under test, far below the test runner's patience.
constexpr qint64 kSecondsLimitMs = 10 * 1000;

const QByteArray kUtf8Page = "<html><body><h1>网络检测</h1><p>正常 &amp; ok</p></body></html>";

// Two one-pixel frames (red, then blue), looping: the smallest animation. Screen
// with two colours, loop extension, two frames of 0.1 s, trailer.
QByteArray twoFrameGif()
{
    const QByteArray frame = QByteArray::fromHex("21f904000a0000002c00000000010001000002");
    return QByteArray::fromHex("47494638396101000100800000ff00000000ff21ff0b") + "NETSCAPE2.0"
        + QByteArray::fromHex("0301000000") + frame + QByteArray::fromHex("02440100") + frame
        + QByteArray::fromHex("024c01003b");
}

QByteArray repeated(const QByteArray &pattern, int size)
{
    QByteArray bytes;
    bytes.reserve(size + pattern.size());
    while (bytes.size() < size)
        bytes += pattern;
    bytes.truncate(size);
    return bytes;
}

// A port on loopback that nothing listens on.
quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

void addPages(HttpTestServer &server)
{
    server.serve("/utf8", kUtf8Page);
    server.serve(
        "/gbk", QByteArray("<p>") + QByteArray::fromHex("cdf8c2e7") + "</p>", 200, "text/html; charset=gbk");
    server.serve("/zero", QByteArray("before\0after", 12));
    server.serve("/missing", "<h1>没有这个页面</h1>", 404);
    server.serve("/empty", QByteArray());
    server.serve("/banner.gif", twoFrameGif(), 200, "image/gif");
    server.redirect("/moved", "/utf8");
    server.redirect("/loop", "/loop");
    server.neverAnswer("/hang");

    HttpTestReply cut;
    cut.body = "<p>first half|second half</p>";
    cut.behaviour = HttpTestReply::CutMidBody;
    cut.cutAfter = cut.body.indexOf('|');
    server.setRoute("/cut", cut);
    cut.behaviour = HttpTestReply::StallMidBody;
    server.setRoute("/stall", cut);

    HttpTestReply slow;
    slow.body = "slow page";
    slow.delayMs = 2 * kTestBoundMs;
    server.setRoute("/slow", slow);
}
} // namespace

class TstWebFetch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void fetch_data();
    void fetch();
    void localAddresses_data();
    void localAddresses();
    void redirects_data();
    void redirects();
    void boundReturnsWhatArrived_data();
    void boundReturnsWhatArrived();
    void capKeepsTheFirstBytes_data();
    void capKeepsTheFirstBytes();
    void tls_data();
    void tls();
    void nestedFetchInsideTheWait();

private:
    HttpTestServer server;
    HttpTestServer secureServer;
    TestCertificates certificates;
    bool haveCertificates = false;
    QTemporaryDir files;
};

void TstWebFetch::initTestCase()
{
    QVERIFY(server.start());
    addPages(server);

    HttpTestReply endless;
    endless.body = "0123456789abcdefghij"; // 20 bytes: chunks never line up with the cap
    endless.behaviour = HttpTestReply::EndlessBody;
    server.setRoute("/endless", endless);
    server.serve("/big", repeated("big", kHttpMaxBodyBytes + 1024 * 1024));
    // "/hop/1" is kHttpMaxRedirects redirects away from the page, "/hop/0" one more.
    for (int hop = 0; hop < kHttpMaxRedirects + 1; ++hop)
        server.redirect(QStringLiteral("/hop/%1").arg(hop), QStringLiteral("/hop/%1").arg(hop + 1));
    server.serve(QStringLiteral("/hop/%1").arg(kHttpMaxRedirects + 1), "end of the chain");

    haveCertificates = certificates.create();
    if (haveCertificates) {
        QVERIFY(secureServer.startTls(certificates));
        secureServer.serve("/secure", "<p>安全</p>");
        secureServer.redirect("/hop", "/secure");
        secureServer.redirect("/down", server.url("/utf8"));
    }
}

void TstWebFetch::fetch_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("complete");

    const QString hostAndPort = QStringLiteral("127.0.0.1:%1").arg(server.port());
    const QChar bad = QChar::ReplacementCharacter;
    QTest::newRow("utf-8 page") << server.url("/utf8") << QString::fromUtf8(kUtf8Page) << true;
    QTest::newRow("gbk page is not recoded")
        << server.url("/gbk") << QStringLiteral("<p>") + QString(4, bad) + QStringLiteral("</p>") << true;
    QTest::newRow("zero byte ends the text") << server.url("/zero") << "before" << true;
    QTest::newRow("error status keeps its page")
        << server.url("/missing") << "<h1>没有这个页面</h1>" << false;
    QTest::newRow("empty body") << server.url("/empty") << "" << true;
    QTest::newRow("redirect followed") << server.url("/moved") << QString::fromUtf8(kUtf8Page) << true;
    QTest::newRow("cut mid-body keeps the part") << server.url("/cut") << "<p>first half" << false;
    QTest::newRow("no scheme") << hostAndPort + "/utf8"
                               << "" << false;
    QTest::newRow("refused") << QStringLiteral("http://127.0.0.1:%1/").arg(closedPort()) << "" << false;
    QTest::newRow("empty address") << ""
                                   << "" << false;
}

void TstWebFetch::fetch()
{
    QFETCH(QString, address);
    QFETCH(QString, expected);
    QFETCH(bool, complete);
    const HttpDownload download = httpDownload(address, kSecondsLimitMs);
    QCOMPARE(bodyText(download.body), expected);
    QCOMPARE(download.complete, complete);
    QCOMPARE(httpGet(address, kSecondsLimitMs), expected);
}

void TstWebFetch::localAddresses_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("source");

    const QString page = files.filePath(QStringLiteral("页面.html"));
    QFile file(page);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(kUtf8Page);
    file.close();
    QTest::newRow("file") << QUrl::fromLocalFile(page).toString() << page;
    QTest::newRow("qrc picture") << "qrc:/tree/start.jpg"
                                 << ":/tree/start.jpg";
    QTest::newRow("qrc compressed entry") << "qrc:/tree/DRIVENET.ICO"
                                          << ":/tree/DRIVENET.ICO";
}

void TstWebFetch::localAddresses()
{
    QFETCH(QString, address);
    QFETCH(QString, source);
    QFile file(source);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray expected = file.readAll();
    QVERIFY(!expected.isEmpty());

    const HttpDownload download = httpDownload(address, kSecondsLimitMs);
    QVERIFY(download.complete);
    QCOMPARE(download.body, expected);
}

void TstWebFetch::redirects_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("as many redirects as allowed") << QStringLiteral("/hop/1") << "end of the chain";
    QTest::newRow("one redirect too many") << QStringLiteral("/hop/0") << "";
    QTest::newRow("redirect loop") << QStringLiteral("/loop") << "";
}

void TstWebFetch::redirects()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QElapsedTimer clock;
    clock.start();
    const HttpDownload download = httpDownload(server.url(path), kSecondsLimitMs);
    QVERIFY(clock.elapsed() < kSecondsLimitMs);
    QCOMPARE(bodyText(download.body), expected);
    QCOMPARE(download.complete, !expected.isEmpty());
}

void TstWebFetch::boundReturnsWhatArrived_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("accepts, never answers") << "/hang"
                                            << "";
    QTest::newRow("stalls mid-body") << "/stall"
                                     << "<p>first half";
    QTest::newRow("answers after the bound") << "/slow"
                                             << "";
}

void TstWebFetch::boundReturnsWhatArrived()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QElapsedTimer clock;
    clock.start();
    const HttpDownload download = httpDownload(server.url(path), kTestBoundMs);
    QVERIFY2(clock.elapsed() < kSecondsLimitMs, "the bound did not end the request");
    QCOMPARE(bodyText(download.body), expected);
    QVERIFY(!download.complete);
}

void TstWebFetch::capKeepsTheFirstBytes_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QByteArray>("pattern");

    const QString big = files.filePath(QStringLiteral("image.bin"));
    QFile file(big);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(repeated("disk", kHttpMaxBodyBytes + 4096));
    file.close();
    QTest::newRow("endless stream") << server.url("/endless") << QByteArray("0123456789abcdefghij");
    QTest::newRow("announced length over the cap") << server.url("/big") << QByteArray("big");
    QTest::newRow("file over the cap") << QUrl::fromLocalFile(big).toString() << QByteArray("disk");
}

void TstWebFetch::capKeepsTheFirstBytes()
{
    QFETCH(QString, address);
    QFETCH(QByteArray, pattern);
    QElapsedTimer clock;
    clock.start();
    const HttpDownload download = httpDownload(address, kSecondsLimitMs);
    QVERIFY2(clock.elapsed() < kSecondsLimitMs, "the cap did not end the request");
    QVERIFY(!download.complete);
    QCOMPARE(download.body.size(), kHttpMaxBodyBytes);
    QVERIFY(download.body == repeated(pattern, kHttpMaxBodyBytes));
}

void TstWebFetch::tls_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("trusted");
    QTest::addColumn<QString>("expected");
    QTest::newRow("untrusted certificate") << "/secure" << false << "";
    QTest::newRow("trusted through the test authority") << "/secure" << true << "<p>安全</p>";
    QTest::newRow("redirect within https") << "/hop" << true << "<p>安全</p>";
    QTest::newRow("redirect from https to http refused") << "/down" << true << "";
}

void TstWebFetch::tls()
{
    if (!haveCertificates)
        QSKIP(qPrintable(certificates.errorString()));
    QFETCH(QString, path);
    QFETCH(bool, trusted);
    QFETCH(QString, expected);

    const int plainBefore = server.requestCount();
    QScopedPointer<ScopedTrustedAuthority> trust(
        trusted ? new ScopedTrustedAuthority(certificates.authority()) : nullptr);
    QCOMPARE(httpGet(secureServer.url(path), kSecondsLimitMs), expected);
    QCOMPARE(server.requestCount(), plainBefore);
}

void TstWebFetch::nestedFetchInsideTheWait()
{
    QString inner;
    QTimer::singleShot(50, this, [&] { inner = httpGet(server.url("/utf8"), kSecondsLimitMs); });
    const QString outer = httpGet(server.url("/slow"), kSecondsLimitMs);
    QCOMPARE(inner, QString::fromUtf8(kUtf8Page));
    QCOMPARE(outer, QStringLiteral("slow page"));
}

// The web page tab and the banner, driven through the real window.
class TstWebPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void showsPage_data();
    void showsPage();
    void secondClickWhileWaiting();
    void banner_data();
    void banner();
    void failedBannerWritesNothing_data();
    void failedBannerWritesNothing();
    void folderInTheWayOfTheBanner();

private:
    void fetchInTab(const QString &address);
    void downloadBanner(const QString &address);
    QLabel *labGif() const { return window->findChild<QLabel *>(QStringLiteral("labGif")); }
    QString bannerPath() const { return dir->filePath(QStringLiteral("logo.gif")); }

    HttpTestServer server;
    QTemporaryDir *dir = nullptr;
    fromlanrik *window = nullptr;
};

// One window for the class: building one takes a second (the splash screen waits
// for it), and every test puts back the state it looks at.
void TstWebPage::initTestCase()
{
    QVERIFY(server.start());
    addPages(server);
    window = new fromlanrik;
}

void TstWebPage::cleanupTestCase()
{
    delete window;
    window = nullptr;
}

void TstWebPage::init()
{
    dir = new QTemporaryDir;
    setAppDirOverride(dir->path());
    labGif()->setMovie(nullptr);
    labGif()->setText(QStringLiteral("图片加载中"));
    for (QTextEdit *box : { window->findChild<QTextEdit *>(QStringLiteral("txtUrlTxt")),
             window->findChild<QTextEdit *>(QStringLiteral("txtUrlHtml")) })
        box->setPlainText(QStringLiteral("earlier text"));
}

void TstWebPage::cleanup()
{
    setAppDirOverride(QString());
    delete dir;
    dir = nullptr;
}

void TstWebPage::fetchInTab(const QString &address)
{
    window->findChild<QLineEdit *>(QStringLiteral("txtUrl"))->setText(address);
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("cmdUrl")), Qt::LeftButton);
}

void TstWebPage::downloadBanner(const QString &address)
{
    QVERIFY(
        QMetaObject::invokeMethod(window, "setNetworkGIF", Qt::DirectConnection, Q_ARG(QString, address)));
}

void TstWebPage::showsPage_data()
{
    QTest::addColumn<QStringList>("addresses");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("rendered");

    const QString page = QString::fromUtf8(kUtf8Page);
    const QString missing = QStringLiteral("<h1>没有这个页面</h1>");
    QTest::newRow("page in both boxes")
        << QStringList { server.url("/utf8") } << page << "网络检测\n正常 & ok";
    QTest::newRow("error page shown") << QStringList { server.url("/missing") } << missing << "没有这个页面";
    QTest::newRow("no scheme empties both")
        << QStringList { server.url("/utf8"), server.url("/utf8").mid(int(qstrlen("http://"))) } << ""
        << "";
    QTest::newRow("second fetch replaces the first")
        << QStringList { server.url("/utf8"), server.url("/missing") } << missing << "没有这个页面";
}

void TstWebPage::showsPage()
{
    QFETCH(QStringList, addresses);
    QFETCH(QString, source);
    QFETCH(QString, rendered);
    for (const QString &address : addresses)
        fetchInTab(address);
    QCOMPARE(window->findChild<QTextEdit *>(QStringLiteral("txtUrlTxt"))->toPlainText(), source);
    QCOMPARE(window->findChild<QTextEdit *>(QStringLiteral("txtUrlHtml"))->toPlainText(), rendered);
}

void TstWebPage::secondClickWhileWaiting()
{
    auto *cmdUrl = window->findChild<QPushButton *>(QStringLiteral("cmdUrl"));
    const int before = server.requestCount("/slow");
    bool enabledWhileWaiting = true;
    QTimer::singleShot(100, this, [&] {
        enabledWhileWaiting = cmdUrl->isEnabled();
        QTest::mouseClick(cmdUrl, Qt::LeftButton);
    });
    fetchInTab(server.url("/slow"));
    QVERIFY(!enabledWhileWaiting);
    QVERIFY(cmdUrl->isEnabled());
    QCOMPARE(server.requestCount("/slow") - before, 1);
    QCOMPARE(window->findChild<QTextEdit *>(QStringLiteral("txtUrlTxt"))->toPlainText(),
        QStringLiteral("slow page"));
}

void TstWebPage::banner_data()
{
    QTest::addColumn<QByteArray>("oldFile");
    QTest::newRow("no banner yet") << QByteArray();
    QTest::newRow("old banner overwritten") << QByteArray("an older, longer picture file than the new one");
}

void TstWebPage::banner()
{
    QFETCH(QByteArray, oldFile);
    if (!oldFile.isEmpty()) {
        QFile file(bannerPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(oldFile);
    }
    downloadBanner(server.url("/banner.gif"));

    QFile file(bannerPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), twoFrameGif());
    QMovie *movie = labGif()->movie();
    QVERIFY(movie);
    QVERIFY(movie->isValid());
    QCOMPARE(movie->frameCount(), 2);
    QCOMPARE(movie->state(), QMovie::Running);
    QCOMPARE(movie->scaledSize(), QSize(80, 80));
    QCOMPARE(movie->currentPixmap().size(), QSize(80, 80));
}

void TstWebPage::failedBannerWritesNothing_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("error status") << server.url("/missing");
    QTest::newRow("empty body") << server.url("/empty");
    QTest::newRow("cut mid-body") << server.url("/cut");
    QTest::newRow("refused") << QStringLiteral("http://127.0.0.1:%1/logo.gif").arg(closedPort());
    QTest::newRow("no scheme") << server.url("/banner.gif").mid(int(qstrlen("http://")));
}

void TstWebPage::failedBannerWritesNothing()
{
    QFETCH(QString, address);
    downloadBanner(address);
    QVERIFY(!QFile::exists(bannerPath()));
    QVERIFY(!labGif()->movie());
    QCOMPARE(labGif()->text(), QString()); // the "loading" placeholder goes too
}

void TstWebPage::folderInTheWayOfTheBanner()
{
    QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("logo.gif")));
    downloadBanner(server.url("/banner.gif"));
    // Still running here; no banner, and nothing left behind beside the folder.
    QVERIFY(QFileInfo(bannerPath()).isDir());
    QVERIFY(!labGif()->movie());
    QCOMPARE(QDir(dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList { "logo.gif" });
}

NETCHECK_TEST(TstWebFetch)
NETCHECK_TEST(TstWebPage)
#include "tst_webfetch.moc"
