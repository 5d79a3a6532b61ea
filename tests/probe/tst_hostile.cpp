#include "httptestserver.h"
#include "ipscan.h"
#include "richtext.h"
#include "testrunner.h"
#include "webfetch.h"
#include "webpage.h"

#include <QLabel>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QToolTip>
#include <QtEndian>

#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <zlib.h>

// What one download of any response may add to the peak resident size.
constexpr long kDownloadPeakBoundKiB = 64 * 1024;

// Runs the work with a FIFO nobody writes to: whoever opens it to read waits for a writer.
// After a few seconds a thread keeps opening it for writing, so work stuck on it goes on
// instead of hanging the test. True when the work got stuck.
template<class Work>
static bool waitsOnFifo(Work work)
{
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("pipe")));
    if (::mkfifo(path.constData(), 0600) != 0)
        return true;
    std::atomic<bool> done { false }, released { false };
    std::thread releaser([&] {
        for (int ms = 0; ms < 3000 && !done; ms += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        for (int fd; !done; std::this_thread::sleep_for(std::chrono::milliseconds(10))) {
            if ((fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK)) >= 0) // fails unless a reader waits
                released = ::close(fd) == 0;
        }
    });
    work(QFile::decodeName(path));
    done = true;
    releaser.join();
    return released;
}

class TstHostileProbe : public QObject
{
    Q_OBJECT

private slots:
    void scanAddresses_data();
    void scanAddresses();
    void pagesLoadNothing();
    void gzipBombStaysSmall();
};

void TstHostileProbe::scanAddresses_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("message");
    // clang-format off
    QTest::newRow("ipv6") << "::1" << "::1" << "起始IP地址错误！";
    QTest::newRow("hexadecimal") << "0x7f.0.0.1" << "0x7f.0.0.0x10" << "起始IP地址错误！";
    QTest::newRow("leading zero: octal to ping") << "127.0.0.1" << "127.0.0.010" << "结束IP地址错误！";
    QTest::newRow("short form") << "127.1" << "127.9" << "起始IP地址错误！";
    QTest::newRow("full-width digit") << "127.0.0.1" << "127.0.0.９" << "结束IP地址错误！";
    QTest::newRow("0 and 255, blanks around") << " 127.0.0.0\t" << "127.0.0.255 " << "";
    // clang-format on
}

void TstHostileProbe::scanAddresses()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, message);
    ScanRange range;
    QCOMPARE(checkScanRange(start, end, &range), message);
    QCOMPARE(range.last, message.isEmpty() ? 255 : -1); // an invalid range probes nothing
}

// What the web page tab, the advertisement label and a device label's tooltip show of a
// page naming a FIFO (as a path and as a file: address); a page over 2 MiB is cut between
// two characters, with a note above the rendering.
void TstHostileProbe::pagesLoadNothing()
{
    QTextEdit source, rendered;
    QLabel ad;
    const bool waited = waitsOnFifo([&](const QString &fifo) {
        const QByteArray page = "<b>hi</b><img src=\"" + fifo.toUtf8() + "\"><img src=\""
            + QUrl::fromLocalFile(fifo).toEncoded() + "\">";
        showPage(&source, &rendered, page);
        rendered.grab(); // lays out and paints, pictures included
        setInertLabelText(&ad, QString::fromUtf8(page));
        ad.grab();
        QToolTip::showText(QPoint(), plainToolTip(QString::fromUtf8(page)), &ad);
        QToolTip::hideText();
    });
    QVERIFY(!waited);
    const auto tip = [](const QString &text) {
        return QTextDocumentFragment::fromHtml(plainToolTip(text)).toPlainText();
    };
    QCOMPARE(tip("<b>hi</b>\nok"), QStringLiteral("<b>hi</b>\nok")); // as typed
    QCOMPARE(tip(QString(kToolTipMaxChars, 'x') + "yz"), QString(kToolTipMaxChars, 'x') + "…");
    QCOMPARE(ad.text(), QStringLiteral("hi"));
    showPage(&source, &rendered, QByteArray(kPageShowMaxBytes - 1, 'a') + "\xc3\xa9");
    QCOMPARE(source.toPlainText(), QString(kPageShowMaxBytes - 1, 'a'));
    QVERIFY(rendered.toPlainText().startsWith("页面超过 2 MiB，只显示前 2 MiB。\n"));
}

static long peakKiB()
{
    QFile status("/proc/self/status");
    const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
    return text.mid(text.indexOf("VmHWM:") + 6).trimmed().split(' ').value(0).toLong();
}

// 256 KiB on the wire, 256 MiB inflated: kept up to the cap without the memory for more.
void TstHostileProbe::gzipBombStaysSmall()
{
    HttpTestReply bomb;
    bomb.headers = "Content-Encoding: gzip\r\n";
    {
        const QByteArray zeros(256 << 20, '\0');
        const QByteArray zlib = qCompress(zeros, 9).mid(4); // past the length Qt puts first
        QByteArray trailer(8, '\0');
        qToLittleEndian(
            quint32(crc32(0, reinterpret_cast<const Bytef *>(zeros.data()), zeros.size())), trailer.data());
        qToLittleEndian(quint32(zeros.size()), trailer.data() + 4);
        bomb.body = QByteArray::fromHex("1f8b0800000000000003") + zlib.mid(2, zlib.size() - 6) + trailer;
    }
    HttpTestServer server;
    QVERIFY(server.start());
    server.setRoute("/", bomb);
    QFile reset("/proc/self/clear_refs");
    if (!reset.open(QIODevice::WriteOnly) || reset.write("5") != 1 || !reset.flush())
        QSKIP("the peak resident size cannot be reset here");
    const long before = peakKiB();
    const HttpDownload download = httpDownload(server.url());
    QVERIFY2(peakKiB() - before < kDownloadPeakBoundKiB, qPrintable(QString::number(peakKiB() - before)));
    QVERIFY(download.capped);
    QCOMPARE(download.body, QByteArray(kHttpMaxBodyBytes, '\0'));
}

NETCHECK_TEST(TstHostileProbe)
#include "tst_hostile.moc"
