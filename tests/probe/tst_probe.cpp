#include "command.h"
#include "httptestserver.h"
#include "ipscan.h"
#include "ping.h"
#include "platform.h"
#include "processes.h"
#include "richtext.h"
#include "testwindow.h"
#include "webfetch.h"
#include "webpage.h"

#include <QtNetwork>
#include <QtTest>
#include <QtWidgets>
#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <zlib.h>

namespace
{
constexpr int kBoundMs = 300; // a bound under test
constexpr int kHangMs = 10000; // far above any bound under test: only a hang takes this long

// Puts the fake ping of data/fake-ping first on PATH while it lives: the addresses given
// answer at once, the others stay silent for a second. No packet is sent.
struct FakePing
{
    explicit FakePing(const QStringList &answering)
    {
        qputenv("PATH", TEST_SOURCE_DIR "/data/fake-ping:" + path);
        qputenv("NETCHECK_FAKE_PING_ANSWERS", answering.join(' ').toUtf8());
    }
    ~FakePing() { qputenv("PATH", path); }
    const QByteArray path = qgetenv("PATH");
};

// Runs the work with a FIFO nobody writes to: whoever opens it to read waits for a writer.
// After a few seconds a thread keeps opening it for writing, so work stuck on it goes on
// instead of hanging the test. True when the work got stuck.
template<class Work>
bool waitsOnFifo(Work work)
{
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath("pipe"));
    if (mkfifo(path.constData(), 0600) != 0)
        return true;
    std::atomic<bool> done { false }, released { false };
    std::thread releaser([&] {
        for (int ms = 0; ms < 3000 && !done; ms += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        for (int fd; !done; std::this_thread::sleep_for(std::chrono::milliseconds(10))) {
            if ((fd = open(path.constData(), O_WRONLY | O_NONBLOCK)) >= 0) // fails unless a reader waits
                released = close(fd) == 0;
        }
    });
    work(QFile::decodeName(path));
    done = true;
    releaser.join();
    return released;
}

// The peak resident size, which writing 5 to /proc/self/clear_refs resets.
long peakKiB()
{
    QFile status("/proc/self/status");
    const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
    return text.mid(text.indexOf("VmHWM:") + 6).trimmed().split(' ').value(0).toLong();
}

void scan(TestWindow &w, const QString &from, const QString &to)
{
    w.find<QLineEdit>("txtSIPadd")->setText(from);
    w.find<QLineEdit>("txtEIPadd")->setText(to);
    w.click("cmdScanIP");
}
} // namespace

class TstProbe : public QObject
{
    Q_OBJECT

public:
    TstProbe()
    {
        // No name lookup leaves the machine.
        setNameLookupOverride([](const QString &address) { return "host-" + address.section('.', -1); });
        server.serve("/page", "<p>网络检测</p>");
        server.serve("/zero", QByteArray("before\0after", 12));
        server.serve("/missing", "<h1>没有这个页面</h1>", 404);
        server.route("/hang", { 200, {}, {}, HttpTestReply::NeverAnswer });
        server.route("/cut", { 200, {}, "<p>first half|second half</p>", HttpTestReply::CutMidBody, 13 });
        server.route("/stall", { 200, {}, "<p>first half|second half</p>", HttpTestReply::StallMidBody, 13 });
        server.route("/endless", { 200, {}, "0123456789abcdefghij", HttpTestReply::EndlessBody }); // 20 bytes
        server.redirect("/away", otherServer.url("/there"));
        otherServer.serve("/there", "elsewhere");
        // "/hop/0" is one redirect more away from the page than are followed.
        for (int hop = 0; hop <= kHttpMaxRedirects; ++hop)
            server.redirect(QStringLiteral("/hop/%1").arg(hop), QStringLiteral("/hop/%1").arg(hop + 1));
        server.serve(QStringLiteral("/hop/%1").arg(kHttpMaxRedirects + 1), "end of the chain");
    }

private slots:
    void cleanupTestCase() { setNameLookupOverride(nullptr); }

    void pingVerdict_data()
    {
        QTest::addColumn<QString>("kernel");
        QTest::addColumn<QString>("output"); // shortened to the lines that matter
        QTest::addColumn<QString>("verdict");
        // clang-format off
        QTest::newRow("linux reply") << "linux" << "64 bytes from 127.0.0.1: icmp_seq=1 ttl=64 time=0.1 ms\n" << "成功";
        QTest::newRow("linux unreachable, +1 errors") << "linux" << "From 192.0.2.1 icmp_seq=1 Destination Host Unreachable\n1 packets transmitted, 0 received, +1 errors, 100% packet loss\n" << "失败";
        QTest::newRow("windows chinese reply") << "winnt" << "来自 127.0.0.1 的回复: 字节=32 时间<1ms TTL=128\n" << "成功";
        QTest::newRow("windows unreachable, one received") << "winnt" << "Reply from 192.0.2.1: Destination host unreachable.\n    Packets: Sent = 1, Received = 1, Lost = 0 (0% loss),\n" << "失败";
        QTest::newRow("windows TTL expired in transit") << "winnt" << "Reply from 192.0.2.1: TTL expired in transit.\n" << "失败";
        QTest::newRow("chinese heading is a sign on windows") << "winnt" << "往返行程的估计时间(以毫秒为单位):\n" << "成功";
        QTest::newRow("chinese heading alone is no sign on linux") << "linux" << "往返行程的估计时间(以毫秒为单位):\n" << "失败";
        QTest::newRow("darwin is no windows, even with a reply") << "darwin" << "64 bytes from 127.0.0.1: icmp_seq=0 ttl=64\n" << "失败";
        // clang-format on
    }
    void pingVerdict()
    {
        QFETCH(QString, kernel);
        QFETCH(QString, output);
        QFETCH(QString, verdict);
        QCOMPARE(::pingVerdict(platformOf(kernel), output), verdict);
    }

    void scanRange_data()
    {
        QTest::addColumn<QString>("range");
        QTest::addColumn<QString>("problem");
        // clang-format off
        QTest::newRow("bad start") << "127.0.1.x 127.0.1.5" << "起始IP地址错误！";
        QTest::newRow("ipv6") << "::1 ::1" << "起始IP地址错误！";
        QTest::newRow("hexadecimal") << "0x7f.0.0.1 0x7f.0.0.0x10" << "起始IP地址错误！";
        QTest::newRow("leading zero: octal to ping") << "127.0.0.1 127.0.0.010" << "结束IP地址错误！";
        QTest::newRow("short form") << "127.1 127.9" << "起始IP地址错误！";
        QTest::newRow("full-width digit") << "127.0.0.1 127.0.0.９" << "结束IP地址错误！";
        QTest::newRow("0 and 255") << "127.0.0.0 127.0.0.255" << "127.0.0 0-255";
        QTest::newRow("different subnets") << "127.0.1.1 127.0.2.5" << "起始和结束IP地址不在一个网段里！";
        QTest::newRow("start above end: an empty range") << "127.0.1.9 127.0.1.3" << "127.0.1 9-3";
        // clang-format on
    }
    void scanRange()
    {
        QFETCH(QString, range);
        QFETCH(QString, problem);
        ScanRange r;
        const QString found = checkScanRange(range.section(' ', 0, 0), range.section(' ', 1), &r);
        QCOMPARE(found.isEmpty() ? QStringLiteral("%1 %2-%3").arg(r.prefix).arg(r.first).arg(r.last) : found,
            problem);
    }

    // Later addresses answer at once while earlier ones stay silent: results still show in
    // address order. A later scan adds no duplicates: .1 stops answering but stays listed, .4
    // answers again, .3 is new and goes last. Clearing waits for the running scan.
    void scanResults()
    {
        TestWindow w;
        auto *log = w.find<QTextEdit>("txtJG");
        {
            FakePing fake({ "127.0.1.1", "127.0.1.4", "127.0.1.5" });
            scan(w, " 127.0.1.1\t", "  127.0.1.6 "); // blanks do not matter
            // The log grows while .2 is waited for.
            QTRY_COMPARE(log->toPlainText(), QStringLiteral("Ping 127.0.1.1 >> 成功\n"));
            QTRY_VERIFY_WITH_TIMEOUT(w.find("cmdScanIP")->isEnabled(), kHangMs);
            QCOMPARE(log->toPlainText(),
                "Ping 127.0.1.6 >> 失败\nPing 127.0.1.5 >> 成功\nPing 127.0.1.4 >> 成功\n"
                "Ping 127.0.1.3 >> 失败\nPing 127.0.1.2 >> 失败\nPing 127.0.1.1 >> 成功\n");
        }
        FakePing fake({ "127.0.1.3", "127.0.1.4" });
        scan(w, "127.0.1.1", "127.0.1.4");
        QTRY_VERIFY_WITH_TIMEOUT(w.find("cmdScanIP")->isEnabled(), kHangMs);
        QStringList rows; // subnet: address=name ...
        for (QTreeWidgetItemIterator it(w.find<QTreeWidget>("treeWidgetIpScan")); *it; ++it)
            rows << ((*it)->parent() ? " " : "") + (*it)->text(0)
                    + ((*it)->parent() ? '=' + (*it)->text(1) : ":");
        QCOMPARE(rows.join(""),
            QStringLiteral("127.0.1: 127.0.1.1=host-1 127.0.1.4=host-4 127.0.1.5=host-5 127.0.1.3=host-3"));
        scan(w, "127.0.1.1", "127.0.1.20");
        w.call("on_cmdClearTree_clicked");
        QCOMPARE(w.find<QTreeWidget>("treeWidgetIpScan")->topLevelItemCount(), 1);
        w.window.reset(); // closing during a scan: late results have nowhere to go
        QCoreApplication::processEvents();
    }

    // Nothing a command started outlives it: not at its bound, not on cancel, not a child
    // left running in the background when the command itself has ended.
    void noProcessOutlivesItsCommand_data()
    {
        QTest::addColumn<QString>("script"); // for sh -c; %1 is the file that gets its group
        QTest::addColumn<int>("boundMs");
        QTest::addColumn<QString>("output"); // "-": cancelled before the end
        QTest::newRow("background child left behind")
            << "echo $$ > %1; sleep 300 & echo hi" << kHangMs << "hi\n";
        QTest::newRow("bound reached") << "echo $$ > %1; echo started; sleep 301" << kBoundMs << "started\n";
        QTest::newRow("cancelled") << "echo $$ > %1; sleep 300 & sleep 302" << kHangMs << "-";
    }
    void noProcessOutlivesItsCommand()
    {
        QFETCH(QString, script);
        QFETCH(int, boundMs);
        QFETCH(QString, output);
        QTemporaryDir dir;
        const QString groupFile = dir.filePath("group");
        CommandRun run("sh -c \"" + script.arg(groupFile) + '"', boundMs);
        QSignalSpy finished(&run, &CommandRun::finished);
        run.start();
        QTRY_VERIFY(numberIn(groupFile) > 0);
        if (output == "-") {
            run.cancel();
            QVERIFY(!finished.wait(kBoundMs));
        } else {
            QVERIFY(!finished.isEmpty() || finished.wait(kHangMs));
            QCOMPARE(QString::fromUtf8(run.output()), output);
            QCOMPARE(run.timedOut(), boundMs == kBoundMs);
        }
        QTRY_COMPARE(livingInGroup(numberIn(groupFile)), 0);
    }

    // A command that reads its input ends at once; what a command prints is kept up to the cap.
    void inputAndOutputBounds_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("kept");
        QTest::newRow("reads standard input") << "cat" << 0;
        QTest::newRow("prints 20 MB") << "sh -c \"yes | head -c 20000000\"" << kCommandMaxOutputBytes;
        QTest::newRow("prints without end") << "yes" << kCommandMaxOutputBytes;
    }
    void inputAndOutputBounds()
    {
        QFETCH(QString, command);
        QFETCH(int, kept);
        // The test's own input stays open: a command given it would wait.
        int input[2];
        QVERIFY(pipe(input) == 0);
        const int ownInput = dup(0);
        dup2(input[0], 0);
        CommandRun run(command, 2 * kHangMs);
        QSignalSpy finished(&run, &CommandRun::finished);
        run.start();
        QTest::qWait(1); // started
        dup2(ownInput, 0);
        for (int fd : { input[0], input[1], ownInput })
            close(fd);
        if (command == "yes") // ended by the test, well before its own bound
            QTRY_VERIFY_WITH_TIMEOUT(
                run.output().size() == kCommandMaxOutputBytes || !finished.isEmpty(), kHangMs);
        else
            QVERIFY(!finished.isEmpty() || finished.wait(kHangMs));
        QCOMPARE(run.output().size(), kept);
    }

    // The command tab runs its lines one after another without blocking: the button is off
    // until the output, each line under its separator, shows at once as text.
    void commandTab()
    {
        TestWindow w;
        w.find<QTextEdit>("txtCMD")->setPlainText("  printf <b>x</b>  \n\nno-such-program-netcheck");
        w.click("cmdCMD");
        QVERIFY(!w.find("cmdCMD")->isEnabled());
        QTRY_VERIFY(w.find("cmdCMD")->isEnabled());
        const QString line = QString(49, '-') + '\n';
        QCOMPARE(w.find<QTextEdit>("textCMD")->toPlainText(),
            "printf <b>x</b>\n" + line + "<b>x</b>\nno-such-program-netcheck\n" + line + '\n');
    }

    // What the web page tab, the advertisement label and a device label's tooltip show of a
    // page naming a FIFO (as a path and as a file: address) is loaded from nowhere; a page over
    // 2 MiB is cut between two characters, with a note above the rendering.
    void pagesLoadNothing()
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

    // 256 KiB on the wire, 256 MiB inflated: kept up to the cap without the memory for more.
    void gzipBombStaysSmall()
    {
        const QByteArray zeros(256 << 20, '\0');
        const QByteArray zlib = qCompress(zeros, 9).mid(4); // past the length Qt puts first
        QByteArray trailer(8, '\0');
        qToLittleEndian(
            quint32(crc32(0, reinterpret_cast<const Bytef *>(zeros.data()), zeros.size())), trailer.data());
        qToLittleEndian(quint32(zeros.size()), trailer.data() + 4);
        server.route("/bomb",
            { 200, "Content-Encoding: gzip\r\n",
                QByteArray::fromHex("1f8b0800000000000003") + zlib.mid(2, zlib.size() - 6) + trailer });
        QFile reset("/proc/self/clear_refs");
        if (!reset.open(QIODevice::WriteOnly) || reset.write("5") != 1 || !reset.flush())
            QSKIP("the peak resident size cannot be reset here");
        const long before = peakKiB();
        const HttpDownload download = httpDownload(server.url("/bomb"));
        QVERIFY2(peakKiB() - before < 64 * 1024, qPrintable(QString::number(peakKiB() - before)));
        QVERIFY(download.capped);
        QCOMPARE(download.body, QByteArray(kHttpMaxBodyBytes, '\0'));
    }

    // Built, not looked up: a name; the address echoed back is none.
    void hostNameFromLookup()
    {
        QHostInfo info;
        info.setHostName("printer.example");
        QCOMPARE(::hostNameFromLookup("127.0.1.9", info), QStringLiteral("printer.example"));
        info.setHostName("127.0.1.9");
        QCOMPARE(::hostNameFromLookup("127.0.1.9", info), QString());
    }

    void fetch_data()
    {
        QTest::addColumn<QString>("path"); // or a whole address
        QTest::addColumn<int>("boundMs");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("complete");
        const QString half = "<p>first half", endless = "0123456789abcdefghij";
        // clang-format off
        QTest::newRow("page") << "/page" << kHangMs << "<p>网络检测</p>" << true;
        QTest::newRow("zero byte ends the text") << "/zero" << kHangMs << "before" << true;
        QTest::newRow("error status keeps its page") << "/missing" << kHangMs << "<h1>没有这个页面</h1>" << false;
        QTest::newRow("no scheme") << server.url("/page").mid(7) << kHangMs << "" << false;
        QTest::newRow("cut mid-body keeps the part") << "/cut" << kHangMs << half << false;
        QTest::newRow("redirect to another origin") << "/away" << kHangMs << "elsewhere" << true;
        QTest::newRow("one redirect too many") << "/hop/0" << kHangMs << "" << false;
        // The bound ends the request and keeps what arrived; so does the size cap.
        QTest::newRow("bound: accepts, never answers") << "/hang" << kBoundMs << "" << false;
        QTest::newRow("bound: stalls mid-body") << "/stall" << kBoundMs << half << false;
        QTest::newRow("cap: endless stream") << "/endless" << kHangMs << endless.repeated(kHttpMaxBodyBytes / 20 + 1).left(kHttpMaxBodyBytes) << false;
        // clang-format on
    }
    void fetch()
    {
        QFETCH(QString, path);
        QFETCH(int, boundMs);
        QFETCH(QString, text);
        QFETCH(bool, complete);
        QElapsedTimer clock;
        clock.start();
        const HttpDownload download = httpDownload(path.startsWith('/') ? server.url(path) : path, boundMs);
        QVERIFY2(clock.elapsed() < kHangMs, "the request was not ended");
        QCOMPARE(bodyText(download.body), text);
        QCOMPARE(download.complete, complete);
        QCOMPARE(download.timedOut, boundMs == kBoundMs);
    }

    // A cut-off download leaves no file behind, or the banner would never be fetched again.
    void bannerCutOff()
    {
        TestWindow w;
        QVERIFY(QFile::remove(w.path("logo.gif")));
        QMetaObject::invokeMethod(w.window.get(), "setNetworkGIF", Q_ARG(QString, server.url("/cut")));
        QVERIFY(!QFile::exists(w.path("logo.gif")));
        QVERIFY(!w.find<QLabel>("labGif")->movie());
    }

private:
    HttpTestServer server, otherServer;
};

QTEST_MAIN(TstProbe)
#include "tst_probe.moc"
