#include "fromlanrik.h"
#include "httptestserver.h"
#include "ipscan.h"
#include "richtext.h"
#include "stuckfifo.h"
#include "testrunner.h"
#include "webfetch.h"
#include "webpage.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTextEdit>

#include <zlib.h>

namespace
{
// What one download of any response may add to the peak resident size.
constexpr long kDownloadPeakBoundKiB = 64 * 1024;

// The size compressed: windowBits 15 + 16 gives gzip, 15 zlib, -15 bare deflate.
QByteArray deflated(const QByteArray &block, qint64 size, int windowBits)
{
    z_stream z {};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, windowBits, 9, Z_DEFAULT_STRATEGY);
    QByteArray out;
    char buffer[1 << 16];
    for (qint64 done = 0; done < size || z.avail_out == 0;) {
        const qint64 take = qMin<qint64>(block.size(), size - done);
        done += take;
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(block.constData()));
        z.avail_in = uInt(take);
        do {
            z.next_out = reinterpret_cast<Bytef *>(buffer);
            z.avail_out = sizeof buffer;
            deflate(&z, done == size ? Z_FINISH : Z_NO_FLUSH);
            out.append(buffer, int(sizeof buffer - z.avail_out));
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    return out;
}

long peakKiB()
{
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    const QByteArray text = status.readAll();
    const int at = text.indexOf("VmHWM:");
    return at < 0 ? -1
                  : text.mid(at + 6, text.indexOf('\n', at) - at - 6).trimmed().split(' ').value(0).toLong();
}
} // namespace

// Hostile input to the probes: addresses the scan must refuse.
class TstHostileProbe : public QObject
{
    Q_OBJECT

private slots:
    void scanAddresses_data();
    void scanAddresses();
    void pageTabLoadsNothing();
    void labelLoadsNothing_data();
    void labelLoadsNothing();
    void compressedReplies_data();
    void compressedReplies();
    void gzipBombStaysSmall();
};

void TstHostileProbe::scanAddresses_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("message");
    const QString badStart = QStringLiteral("起始IP地址错误！");
    const QString badEnd = QStringLiteral("结束IP地址错误！");
    // clang-format off
    QTest::newRow("ipv6") << "::1" << "::1" << badStart;
    QTest::newRow("hexadecimal") << "0x7f.0.0.1" << "0x7f.0.0.0x10" << badStart;
    QTest::newRow("hexadecimal end") << "127.0.0.1" << "127.0.0.0x10" << badEnd;
    QTest::newRow("leading zero (octal to ping)") << "010.0.0.1" << "010.0.0.9" << badStart;
    QTest::newRow("leading zero in the last number") << "127.0.0.1" << "127.0.0.010" << badEnd;
    QTest::newRow("short form") << "127.1" << "127.9" << badStart;
    QTest::newRow("three numbers") << "127.0.0.1" << "127.0.9" << badEnd;
    QTest::newRow("sign") << "127.0.0.+1" << "127.0.0.9" << badStart;
    QTest::newRow("blank inside") << "127.0. 0.1" << "127.0.0.9" << badStart;
    QTest::newRow("full-width digit") << "127.0.0.１" << "127.0.0.9" << badStart;
    QTest::newRow("trailing dot") << "127.0.0.1" << "127.0.0.9." << badEnd;
    QTest::newRow("above 255") << "127.0.0.1" << "127.0.0.256" << badEnd;
    QTest::newRow("zero and 255, blanks around") << " 127.0.0.0\t" << "127.0.0.255 " << "";
    // clang-format on
}

void TstHostileProbe::scanAddresses()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, message);
    ScanRange range;
    QCOMPARE(checkScanRange(start, end, &range), message);
    if (message.isEmpty()) {
        QCOMPARE(range.prefix, QStringLiteral("127.0.0"));
        QCOMPARE(range.first, 0);
        QCOMPARE(range.last, 255);
    } else {
        QCOMPARE(range.last, -1); // nothing to probe
    }
}

// The tab renders a page naming a FIFO (as a path and as a file: address) and one of the
// program's own pictures without opening either; a page over 2 MiB is cut between two
// characters and says so above the rendering.
void TstHostileProbe::pageTabLoadsNothing()
{
    StuckFifo fifo;
    QVERIFY(fifo.isMade());
    HttpTestServer server;
    QVERIFY(server.start());
    server.serve("/fifo",
        "<b>hi</b><img src=\"" + fifo.path.toUtf8() + "\"><img src=\"" + fifo.url().toUtf8()
            + "\"><img src=\"qrc:/tree/ok.png\">");
    const QByteArray line = "<p>" + QByteArray(60, 'a') + "</p>\n";
    QByteArray big = line.repeated(kPageShowMaxBytes / line.size());
    big += QByteArray(kPageShowMaxBytes - 1 - big.size(), 'a') + "\xc3\xa9" + QByteArray(1024, 'b');
    server.serve("/big", big);
    fromlanrik window;
    auto *source = window.findChild<QTextEdit *>("txtUrlTxt");
    auto *rendered = window.findChild<QTextEdit *>("txtUrlHtml");
    auto *button = window.findChild<QPushButton *>("cmdUrl");
    for (const char *path : { "/fifo", "/big" }) {
        window.findChild<QLineEdit *>("txtUrl")->setText(server.url(path));
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_VERIFY(button->isEnabled());
        rendered->grab(); // lays out and paints, pictures included
        QVERIFY2(!fifo.waited(), path);
    }
    QCOMPARE(source->toPlainText(), QString::fromLatin1(big.left(kPageShowMaxBytes - 1)));
    QVERIFY(rendered->toPlainText().startsWith(
        QTextDocumentFragment::fromHtml(kPageCutNote).toPlainText() + "\n"));
    const QVariant own
        = rendered->document()->resource(QTextDocument::ImageResource, QUrl("qrc:/tree/ok.png"));
    QVERIFY(qvariant_cast<QPixmap>(own).toImage() != QImage(":/tree/ok.png"));
}

void TstHostileProbe::labelLoadsNothing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("rich");
    QTest::addColumn<QString>("shown");
    // The FIFO's path stands in for "PIPE".
    // clang-format off
    QTest::newRow("plain text") << "<广告> a < b" << false << "<广告> a < b";
    QTest::newRow("markup naming nothing") << "<b>广告</b>" << true << "<b>广告</b>";
    QTest::newRow("picture") << "<b>广告</b><img src=\"PIPE\">" << false << "广告";
    QTest::newRow("style sheet") << "<head><link rel=\"stylesheet\" type=\"text/css\" href=\"PIPE\"></head><b>广告</b>" << false << "广告";
    QTest::newRow("background") << "<table background=\"PIPE\"><tr><td>广告</td></tr></table>" << false << "广告";
    // clang-format on
}

void TstHostileProbe::labelLoadsNothing()
{
    QFETCH(QString, text);
    QFETCH(bool, rich);
    QFETCH(QString, shown);
    StuckFifo fifo;
    QVERIFY(fifo.isMade());
    QLabel label;
    setInertLabelText(&label, text.replace("PIPE", fifo.path));
    label.grab();
    QVERIFY(!fifo.waited());
    QCOMPARE(label.textFormat(), rich ? Qt::RichText : Qt::PlainText);
    QCOMPARE(label.text().trimmed(), shown);
}

void TstHostileProbe::compressedReplies_data()
{
    QTest::addColumn<QByteArray>("encoding");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("size"); // of the text kept
    QTest::addColumn<bool>("complete");
    const QByteArray page = "<p>网络检测 ok</p>\n";
    const int pageSize = 200 * page.size();
    const QByteArray gzip = deflated(page, pageSize, 15 + 16);
    // clang-format off
    QTest::newRow("gzip") << QByteArray("gzip") << gzip << pageSize << true;
    QTest::newRow("deflate, zlib wrapped") << QByteArray("deflate") << deflated(page, pageSize, 15) << pageSize << true;
    QTest::newRow("deflate, bare") << QByteArray("Deflate") << deflated(page, pageSize, -15) << pageSize << true;
    QTest::newRow("broken gzip") << QByteArray("gzip") << gzip.left(20) + QByteArray(64, 'x') << -1 << false;
    QTest::newRow("inflates past the cap") << QByteArray("x-gzip") << deflated(page, kHttpMaxBodyBytes + 1, 15 + 16) << kHttpMaxBodyBytes << false;
    // clang-format on
}

void TstHostileProbe::compressedReplies()
{
    QFETCH(QByteArray, encoding);
    QFETCH(QByteArray, body);
    QFETCH(int, size);
    QFETCH(bool, complete);
    HttpTestServer server;
    QVERIFY(server.start());
    HttpTestReply reply;
    reply.headers = "Content-Encoding: " + encoding + "\r\n";
    reply.body = body;
    server.setRoute("/", reply);
    const HttpDownload download = httpDownload(server.url());
    QCOMPARE(download.complete, complete);
    if (size >= 0)
        QCOMPARE(download.body, QByteArray("<p>网络检测 ok</p>\n").repeated(size).left(size));
}

// 256 KiB on the wire, 256 MiB inflated.
void TstHostileProbe::gzipBombStaysSmall()
{
    HttpTestServer server;
    QVERIFY(server.start());
    HttpTestReply bomb;
    bomb.headers = "Content-Encoding: gzip\r\n";
    bomb.body = deflated(QByteArray(1 << 20, '\0'), 256 << 20, 15 + 16);
    server.setRoute("/", bomb);
    QFile reset("/proc/self/clear_refs");
    if (!reset.open(QIODevice::WriteOnly) || reset.write("5") != 1)
        QSKIP("the peak resident size cannot be reset here");
    reset.close();
    const long before = peakKiB();
    const HttpDownload download = httpDownload(server.url());
    QVERIFY2(peakKiB() - before < kDownloadPeakBoundKiB, qPrintable(QString::number(peakKiB() - before)));
    QVERIFY(download.capped);
    QCOMPARE(download.body, QByteArray(kHttpMaxBodyBytes, '\0'));
}

NETCHECK_TEST(TstHostileProbe)
#include "tst_hostile.moc"
