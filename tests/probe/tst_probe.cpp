#include "httptestserver.h"
#include "probe/command.h"
#include "probe/neighbours.h"
#include "probe/outputtext.h"
#include "probe/pagetext.h"
#include "probe/ping.h"
#include "probe/platform.h"
#include "probe/scanrange.h"
#include "probe/stopsignals.h"
#include "probe/webfetch.h"
#include "processes.h"

#include <QtNetwork>
#include <QtTest>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

namespace
{
constexpr int kBoundMs = 300; // a bound under test
constexpr int kHangMs = 10000; // far above any bound under test: only a hang takes this long

// The peak resident size, which writing 5 to /proc/self/clear_refs resets.
long peakKiB()
{
    QFile status("/proc/self/status");
    const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
    return text.mid(text.indexOf("VmHWM:") + 6).trimmed().split(' ').value(0).toLong();
}
} // namespace

class TstProbe : public QObject
{
    Q_OBJECT

public:
    TstProbe()
    {
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
        QCOMPARE(pingWord(::pingVerdict(platformOf(kernel), output)), verdict);
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
        QTest::newRow("three digits over 255") << "127.0.0.1 127.0.0.300" << "结束IP地址错误！";
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
            QCOMPARE(run.exitCode(), boundMs == kBoundMs ? std::nullopt : std::optional<int>(0));
        }
        QTRY_COMPARE(livingInGroup(numberIn(groupFile)), 0);
    }

    // Ending the group of no child must not end the caller's own (run in a child of its own group).
    void killsNoOwnGroup()
    {
        const pid_t child = fork();
        if (child == 0) {
            setpgid(0, 0);
            killProcessGroup(0);
            _exit(0);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
    }

    // The program ignores SIGPIPE and catches the stop signals; a command starts with the
    // default handling and nothing blocked.
    void commandsStartWithDefaultSignals()
    {
        ignoreBrokenPipe();
        StopSignals stop;
        CommandRun run("grep -E \"^Sig(Ign|Blk)\" /proc/self/status");
        QSignalSpy finished(&run, &CommandRun::finished);
        run.start();
        QVERIFY(finished.wait(kHangMs));
        std::signal(SIGPIPE, SIG_DFL);
        const QList<QByteArray> masks = run.output().simplified().split(' ');
        QCOMPARE(masks.value(0) + masks.value(2), QByteArray("SigBlk:SigIgn:"));
        QCOMPARE(masks.value(1).toULongLong(nullptr, 16), 0ull);
        QCOMPARE(masks.value(3).toULongLong(nullptr, 16) & (1ull << (SIGPIPE - 1)), 0ull);
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

    // Text taken as it arrives, in two reads split at a byte: the success text is found across the
    // split (inside a character too) and past what is kept; what is kept is cut between two
    // characters and ends in the note. An output is trimmed and loses its carriage returns; a
    // page ends at its zero byte.
    void textAsItArrives_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("split");
        QTest::addColumn<QString>("needle");
        QTest::addColumn<int>("keepBytes");
        QTest::addColumn<QString>("output"); // found|text
        QTest::addColumn<QString>("page");
        const QString note = "……（已截断，共 %1 字节）";
        // clang-format off
        QTest::newRow("needle split inside a character") << QByteArray("状态：网络正常\n") << 14 << "网络正常" << 100 << "1|状态：网络正常" << "1|状态：网络正常\n";
        QTest::newRow("cut between characters, found past it") << QByteArray("ab网络正常cd") << 3 << "正常" << 6 << "1|ab网" + note.arg(16) << "1|ab网" + note.arg(16);
        QTest::newRow("blanks at the end are no cut") << QByteArray(" abcde \r\n\n") << 8 << "" << 5 << "1|abcde" << "1|" + QString(" abcd") + note.arg(10);
        QTest::newRow("carriage return inside the needle") << QByteArray("o\rk") << 2 << "ok" << 100 << "1|ok" << "0|o\rk";
        QTest::newRow("zero byte ends a page") << QByteArray("ok\0 more", 8) << 3 << "more" << 100 << "1|ok" + QString(QChar(0)) + " more" << "0|ok";
        // clang-format on
    }
    void textAsItArrives()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, split);
        QFETCH(QString, needle);
        QFETCH(int, keepBytes);
        OutputText output(needle, keepBytes);
        PageText page(needle, keepBytes);
        for (ByteSink *sink : std::initializer_list<ByteSink *> { &output, &page }) {
            sink->take(bytes.constData(), split);
            sink->take(bytes.constData() + split, bytes.size() - split);
        }
        page.finish();
        QTEST(QString::number(output.found()) + '|' + output.text(), "output");
        QTEST(QString::number(page.found()) + '|' + page.text(), "page");
    }

    // The kernel's neighbour table writes its flags in hexadecimal; only complete entries count.
    void neighbourTable()
    {
        const QString table
            = "IP address       HW type     Flags       HW address            Mask     Device\n"
              "127.0.1.2        0x1         0x2         52:54:00:12:34:56     *        lo\n"
              "127.0.1.3        0x1         0x0         00:00:00:00:00:00     *        lo\n";
        QCOMPARE(macFromProcNetArp(table, "127.0.1.2"), QStringLiteral("52:54:00:12:34:56"));
        QCOMPARE(macFromProcNetArp(table, "127.0.1.3"), QString());
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

private:
    HttpTestServer server, otherServer;
};

QTEST_GUILESS_MAIN(TstProbe)
#include "tst_probe.moc"
