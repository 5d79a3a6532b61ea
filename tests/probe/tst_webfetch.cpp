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
#include <QScopeGuard>
#include <QSslConfiguration>
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

QString repeated(const QByteArray &pattern, int size)
{
    return QString::fromLatin1(pattern.repeated(size / pattern.size() + 1).left(size));
}
} // namespace

class TstWebFetch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { delete window; }
    void fetch_data();
    void fetch();
    // The web page tab and the banner, driven through the real window.
    void showsPage();
    void secondClickWhileWaiting();
    void banner_data();
    void banner();

private:
    template<class T>
    T *child(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    void fetchInTab(const QString &address)
    {
        child<QLineEdit>("txtUrl")->setText(address);
        auto *button = child<QPushButton>("cmdUrl");
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_VERIFY(button->isEnabled()); // the page is shown when the button comes back
    }

    // One window for all: building one waits for its splash screen.
    fromlanrik *window = nullptr;
    HttpTestServer server;
    HttpTestServer secureServer;
    bool haveTls = false;
    QTemporaryDir files;
};

void TstWebFetch::initTestCase()
{
    QVERIFY(server.start());
    server.serve("/utf8", kUtf8Page);
    server.serve(
        "/gbk", QByteArray("<p>") + QByteArray::fromHex("cdf8c2e7") + "</p>", 200, "text/html; charset=gbk");
    server.serve("/zero", QByteArray("before\0after", 12));
    server.serve("/missing", "<h1>没有这个页面</h1>", 404);
    server.serve("/empty", QByteArray());
    server.serve("/banner.gif", twoFrameGif(), 200, "image/gif");
    server.redirect("/moved", "/utf8");
    server.neverAnswer("/hang");
    HttpTestReply reply;
    reply.body = "<p>first half|second half</p>";
    reply.behaviour = HttpTestReply::CutMidBody;
    reply.cutAfter = reply.body.indexOf('|');
    server.setRoute("/cut", reply);
    reply.behaviour = HttpTestReply::StallMidBody;
    server.setRoute("/stall", reply);
    reply = HttpTestReply();
    reply.body = "slow page";
    reply.delayMs = 2 * kTestBoundMs;
    server.setRoute("/slow", reply);
    reply.body = "0123456789abcdefghij"; // 20 bytes: chunks never line up with the cap
    reply.behaviour = HttpTestReply::EndlessBody;
    server.setRoute("/endless", reply);
    server.serve("/big", repeated("big", kHttpMaxBodyBytes + 1024 * 1024).toLatin1());
    // "/hop/1" is kHttpMaxRedirects redirects away from the page, "/hop/0" one more.
    for (int hop = 0; hop < kHttpMaxRedirects + 1; ++hop)
        server.redirect(QStringLiteral("/hop/%1").arg(hop), QStringLiteral("/hop/%1").arg(hop + 1));
    server.serve(QStringLiteral("/hop/%1").arg(kHttpMaxRedirects + 1), "end of the chain");

    haveTls = secureServer.startTls();
    secureServer.serve("/secure", "<p>安全</p>");
    secureServer.redirect("/hop", "/secure");
    secureServer.redirect("/down", server.url("/utf8"));
    window = new fromlanrik;
}

void TstWebFetch::fetch_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("timeoutMs");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("complete");
    QTest::addColumn<bool>("trusted"); // the TLS server's certificate

    const QString page = QString::fromUtf8(kUtf8Page);
    const QString file = files.filePath(QStringLiteral("页面.html"));
    const QString big = files.filePath(QStringLiteral("image.bin"));
    for (const auto &content : { qMakePair(file, kUtf8Page),
             qMakePair(big, repeated("disk", kHttpMaxBodyBytes + 4096).toLatin1()) }) {
        QFile out(content.first);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(content.second) == content.second.size());
    }
    auto row = [&](const char *name, const QString &address, const QString &expected, bool complete,
                   int timeoutMs = kSecondsLimitMs, bool trusted = false) {
        QTest::newRow(name) << address << timeoutMs << expected << complete << trusted;
    };
    const QString gbk = "<p>" + QString(4, QChar::ReplacementCharacter) + "</p>";
    const QString capped = repeated("0123456789abcdefghij", kHttpMaxBodyBytes);
    // clang-format off
    row("utf-8 page", server.url("/utf8"), page, true);
    row("gbk page is not recoded", server.url("/gbk"), gbk, true);
    row("zero byte ends the text", server.url("/zero"), "before", true);
    row("error status keeps its page", server.url("/missing"), "<h1>没有这个页面</h1>", false);
    row("local file", QUrl::fromLocalFile(file).toString(), page, true);
    row("compressed resource", "qrc:/tree/DRIVENET.ICO", "", true);
    row("no scheme", server.url("/utf8").mid(int(qstrlen("http://"))), "", false);
    row("cut mid-body keeps the part", server.url("/cut"), "<p>first half", false);
    row("redirect followed", server.url("/moved"), page, true);
    row("as many redirects as allowed", server.url("/hop/1"), "end of the chain", true);
    row("one redirect too many", server.url("/hop/0"), "", false);
    // The bound ends the request and keeps what arrived; so does the cap.
    row("bound: accepts, never answers", server.url("/hang"), "", false, kTestBoundMs);
    row("bound: stalls mid-body", server.url("/stall"), "<p>first half", false, kTestBoundMs);
    row("cap: endless stream", server.url("/endless"), capped, false);
    row("cap: announced length over it", server.url("/big"), repeated("big", kHttpMaxBodyBytes), false);
    row("cap: file over it", QUrl::fromLocalFile(big).toString(), repeated("disk", kHttpMaxBodyBytes), false);
    row("tls: untrusted certificate", secureServer.url("/secure"), "", false);
    row("tls: trusted certificate", secureServer.url("/secure"), "<p>安全</p>", true, kSecondsLimitMs, true);
    row("tls: redirect within https", secureServer.url("/hop"), "<p>安全</p>", true, kSecondsLimitMs, true);
    row("tls: redirect to http refused", secureServer.url("/down"), "", false, kSecondsLimitMs, true);
    // clang-format on
}

void TstWebFetch::fetch()
{
    QFETCH(QString, address);
    QFETCH(int, timeoutMs);
    QFETCH(QString, expected);
    QFETCH(bool, complete);
    QFETCH(bool, trusted);
    if (address.startsWith("https:") && !haveTls)
        QSKIP(qPrintable(secureServer.errorString()));
    const QSslConfiguration previous = QSslConfiguration::defaultConfiguration();
    const auto restore = qScopeGuard([&] { QSslConfiguration::setDefaultConfiguration(previous); });
    if (trusted) {
        QSslConfiguration trusting = previous;
        trusting.addCaCertificate(secureServer.certificate());
        QSslConfiguration::setDefaultConfiguration(trusting);
    }
    const int plainBefore = server.requestCount();
    QElapsedTimer clock;
    clock.start();
    const HttpDownload download = httpDownload(address, timeoutMs);
    QVERIFY2(clock.elapsed() < kSecondsLimitMs, "the request was not ended");
    QCOMPARE(download.complete, complete);
    QCOMPARE(download.timedOut, timeoutMs == kTestBoundMs);
    if (address.startsWith("qrc:")) { // binary: all of the resource, uncompressed
        QFile resource(address.mid(3));
        QVERIFY(resource.open(QIODevice::ReadOnly));
        QCOMPARE(download.body, resource.readAll());
    } else {
        QCOMPARE(bodyText(download.body), expected);
    }
    if (address.startsWith("https:"))
        QCOMPARE(server.requestCount(), plainBefore);
}

void TstWebFetch::showsPage()
{
    fetchInTab(server.url("/utf8"));
    QCOMPARE(child<QTextEdit>("txtUrlTxt")->toPlainText(), QString::fromUtf8(kUtf8Page));
    QCOMPARE(child<QTextEdit>("txtUrlHtml")->toPlainText(), QStringLiteral("网络检测\n正常 & ok"));
    // A failed fetch empties both boxes.
    fetchInTab(server.url("/utf8").mid(int(qstrlen("http://"))));
    QCOMPARE(child<QTextEdit>("txtUrlTxt")->toPlainText(), QString());
    QCOMPARE(child<QTextEdit>("txtUrlHtml")->toPlainText(), QString());
}

// While the tab waits, a second click is ignored and another fetch meanwhile works.
void TstWebFetch::secondClickWhileWaiting()
{
    auto *cmdUrl = child<QPushButton>("cmdUrl");
    const int before = server.requestCount("/slow");
    bool enabledWhileWaiting = true;
    QString inner;
    QTimer::singleShot(100, this, [&] {
        enabledWhileWaiting = cmdUrl->isEnabled();
        QTest::mouseClick(cmdUrl, Qt::LeftButton);
        inner = httpGet(server.url("/utf8"), kSecondsLimitMs);
    });
    fetchInTab(server.url("/slow"));
    QVERIFY(!enabledWhileWaiting);
    QVERIFY(cmdUrl->isEnabled());
    QCOMPARE(server.requestCount("/slow") - before, 1);
    QCOMPARE(inner, QString::fromUtf8(kUtf8Page));
    QCOMPARE(child<QTextEdit>("txtUrlTxt")->toPlainText(), QStringLiteral("slow page"));
}

void TstWebFetch::banner_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QByteArray>("before"); // what is at logo.gif first; "/" a folder
    QTest::addColumn<bool>("written");
    const QString gif = server.url("/banner.gif");
    // clang-format off
    QTest::newRow("no banner yet") << gif << QByteArray() << true;
    QTest::newRow("old, longer banner overwritten") << gif << QByteArray("an older, longer picture file") << true;
    QTest::newRow("error status writes nothing") << server.url("/missing") << QByteArray() << false;
    QTest::newRow("empty body writes nothing") << server.url("/empty") << QByteArray() << false;
    QTest::newRow("cut mid-body writes nothing") << server.url("/cut") << QByteArray() << false;
    QTest::newRow("folder in the way: nothing beside it") << gif << QByteArray("/") << false;
    // clang-format on
}

void TstWebFetch::banner()
{
    QFETCH(QString, address);
    QFETCH(QByteArray, before);
    QFETCH(bool, written);
    QTemporaryDir dir;
    setAppDirOverride(dir.path());
    const auto restore = qScopeGuard([] { setAppDirOverride(QString()); });
    auto *label = child<QLabel>("labGif");
    label->setMovie(nullptr);
    label->setText(QStringLiteral("图片加载中"));
    QFile file(dir.filePath(QStringLiteral("logo.gif")));
    if (before == "/")
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("logo.gif")));
    else if (!before.isEmpty())
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(before) == before.size());
    file.close();
    QVERIFY(QMetaObject::invokeMethod(window, "setNetworkGIF", Q_ARG(QString, address)));

    const QStringList left
        = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    QCOMPARE(left, written || !before.isEmpty() ? QStringList { "logo.gif" } : QStringList());
    if (!written) {
        QVERIFY(!label->movie());
        QCOMPARE(label->text(), QString()); // the "loading" placeholder goes too
        return;
    }
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), twoFrameGif());
    QVERIFY(label->movie());
    QCOMPARE(label->movie()->frameCount(), 2);
    QCOMPARE(label->movie()->state(), QMovie::Running);
    QCOMPARE(label->movie()->currentPixmap().size(), QSize(80, 80));
}

NETCHECK_TEST(TstWebFetch)
#include "tst_webfetch.moc"
