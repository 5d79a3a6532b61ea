#include "check/appdir.h"
#include "check/checkrunner.h"
#include "check/dailylog.h"
#include "check/schedule.h"
#include "check/script.h"
#include "check/scriptreader.h"
#include "check/textfile.h"
#include "httptestserver.h"
#include "processes.h"

#include <QtTest>

namespace
{
// A single line through the runner, as a run checks it.
CheckResult checkOne(const QString &line, int boundMs)
{
    CheckRunner runner;
    runner.setBounds(boundMs > 0 ? boundMs : kCommandTimeoutMs, boundMs > 0 ? boundMs : kHttpTimeoutMs);
    CheckResult result;
    QObject::connect(&runner, &CheckRunner::checked, [&](int, const CheckResult &r) { result = r; });
    QSignalSpy finished(&runner, &CheckRunner::finished);
    runner.start(checkLinesOf(line.section('|', 0, 1) + "|甲|" + line.section('|', 2) + '\n'));
    finished.wait(60000);
    return result;
}

// Lines as text, for comparing.
QStringList asText(const QList<CheckLine> &lines)
{
    QStringList text;
    for (const CheckLine &l : lines)
        text << QStringList { l.type, l.target, l.alias, l.success, l.location, QString::number(l.scriptRow) }
                    .join('|');
    return text;
}

QStringList streamed(const QString &path)
{
    ScriptReader reader(path);
    QList<CheckLine> lines;
    for (CheckLine line; reader.next(&line);)
        lines << line;
    return asText(lines);
}
} // namespace

class TstCheck : public QObject
{
    Q_OBJECT

public:
    TstCheck()
    {
        server.serve("/up", "\n  <p>服务 OK</p>  \n");
        server.route("/slow", { 200, {}, "<p>OK</p>", HttpTestReply::Answer, 0, 800 });
        server.route(
            "/cut", { 200, {}, QByteArray(100000, 'x').replace(10, 2, "OK"), HttpTestReply::CutMidBody, 20 });
        server.serve("/gone", "<p>OK</p>", 404);
        server.route("/endless", { 200, {}, "OK-", HttpTestReply::EndlessBody });
        const QByteArray gbk = QTextCodec::codecForName("GBK")->fromUnicode("<p>网络正常</p>");
        server.route("/gbk-header", { 200, "Content-Type: text/html; charset=GBK\r\n", gbk });
        server.serve("/gbk-meta",
            "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">" + gbk);
        server.serve("/gbk-none", gbk);
        // Read as GB18030, these would be garbage: the declaration must be read.
        const QByteArray big5 = QTextCodec::codecForName("Big5")->fromUnicode("<p>網路正常</p>");
        server.route("/big5-header",
            { 200, "Content-Type: text/html;charset=\"big5\"\r\n", "<meta charset=gbk>" + big5 });
        server.serve("/big5-meta", "<META CHARSET = 'Big5'>" + big5);
        server.route("/utf8-labelled-latin1",
            { 200, "Content-Type: text/html; charset=iso-8859-1\r\n", "<p>网络正常</p>" });
    }

private slots:
    void cleanup() { QTextCodec::setCodecForLocale(nullptr); }

    // The verdict, what the row shows, and the exit code or HTTP status of one line.
    void checkLines_data()
    {
        QTest::addColumn<QString>("line"); // type|target|success text
        QTest::addColumn<int>("boundMs");
        QTest::addColumn<QString>("result"); // status|result text (its first 40 characters)|code
        const QString url = server.url();
        // clang-format off
        QTest::newRow("empty success text passes") << "CMD|true|" << 0 << "正常||exit 0";
        QTest::newRow("exit status alone decides nothing") << "CMD|sh -c \"echo up; exit 3\"|up" << 0 << "正常|up|exit 3";
        QTest::newRow("blank runs reach the command as one, output trimmed") << "CMD|printf \" [%s] \" \"a  b\"|[a b]" << 0 << "正常|[a b]|exit 0";
        QTest::newRow("command over its bound fails") << "CMD|sh -c \"echo started; sleep 5\"|" << 300 << "异常|超过 0.3 秒未完成，已终止\nstarted|-";
        QTest::newRow("missing program fails, empty success text too") << "CMD|no-such-program-5c1|" << 0 << "异常|无法启动程序：no-such-program-5c1|-";
        QTest::newRow("page holds the text, kept untrimmed; lower-case type") << "url|" + url + "/up|OK" << 0 << "正常|\n  <p>服务 OK</p>  \n|http 200";
        QTest::newRow("error status: the error page is the page, its case counts") << "URL|" + url + "/gone|ok" << 0 << "异常|<p>OK</p>|http 404";
        QTest::newRow("page over its bound fails") << "URL|" + url + "/slow|" << 300 << "异常|超过 0.3 秒未完成，已终止|-";
        QTest::newRow("refused") << "URL|http://127.0.0.1:1/|" << 0 << "异常|连接被拒绝|-";
        QTest::newRow("cut off: fails though the part holds the text") << "URL|" + url + "/cut|OK" << 0 << "异常|页面不完整\nxxxxxxxxxxOKxxxxxxxx|http 200";
        QTest::newRow("cut at our cap: judged on the part") << "URL|" + url + "/endless|OK-OK" << 0 << "正常|" + QString("OK-").repeated(14).left(40) + "|http 200";
        QTest::newRow("type neither CMD nor URL") << "PING|127.0.0.1|" << 0 << "异常|类型错误：类型必须是CMD或URL|-";
        QTest::newRow("GBK named by the header") << "URL|" + url + "/gbk-header|网络正常" << 0 << "正常|<p>网络正常</p>|http 200";
        QTest::newRow("GBK named by a meta") << "URL|" + url + "/gbk-meta|网络正常" << 0 << "正常|" + QString("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\"><p>网络正常</p>").left(40) + "|http 200";
        QTest::newRow("GBK named nowhere") << "URL|" + url + "/gbk-none|网络正常" << 0 << "正常|<p>网络正常</p>|http 200";
        QTest::newRow("Big5 named by the header, over a meta") << "URL|" + url + "/big5-header|網路正常" << 0 << "正常|<meta charset=gbk><p>網路正常</p>|http 200";
        QTest::newRow("Big5 named by a meta") << "URL|" + url + "/big5-meta|網路正常" << 0 << "正常|<META CHARSET = 'Big5'><p>網路正常</p>|http 200";
        QTest::newRow("valid UTF-8 stays UTF-8, whatever its label") << "URL|" + url + "/utf8-labelled-latin1|网络正常" << 0 << "正常|<p>网络正常</p>|http 200";
        // clang-format on
    }
    void checkLines()
    {
        QFETCH(QString, line);
        QFETCH(int, boundMs);
        const CheckResult r = checkOne(line, boundMs);
        const QString code = r.exitCode ? "exit " + QString::number(*r.exitCode)
            : r.httpStatus              ? "http " + QString::number(*r.httpStatus)
                                        : "-";
        QTEST(verdictWord(r.verdict) + '|' + resultText(r).left(40) + '|' + code, "result");
    }

    // Records in the locale's encoding (an 8-bit one here), appended; a record cut short is ended
    // before the next; a device that takes nothing fails.
    void logRecords()
    {
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("GBK"));
        QTemporaryDir dir;
        const QString log = dir.filePath("log/day.txt");
        CheckResult passed { { "CMD", "seq 1 5000", "网关", "5000", "机房" }, Verdict::Passed };
        passed.checkedAt = QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5));
        CheckResult failed { { "url", "http://u:pw@h/", "打印机", "on", "二楼" }, Verdict::Failed,
            "连接被拒绝" };
        failed.checkedAt = passed.checkedAt;
        for (int run = 0; run < 2; ++run)
            QVERIFY(appendLogRecord(log, logRecord(passed)) && appendLogRecord(log, logRecord(failed)));
        QVERIFY(appendTextFile(log, "机房,设备0,正常,CMD-ech") && appendTextFile(log, "x,\n"));
        QFile file(log);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString run = "机房,网关,正常,CMD-seq 1 5000,2026年01月02日 03:04:05,\n"
                            "二楼,打印机,异常,url-http://u:***@h/,2026年01月02日 03:04:05,\n";
        QCOMPARE(file.readAll(),
            QTextCodec::codecForLocale()->fromUnicode(run + run + "机房,设备0,正常,CMD-ech\nx,\n"));
        QVERIFY(!appendTextFile("/dev/full", "x\n"));
    }

    // Lines that end out of order are told as they end, and reported again in script order;
    // behind a slow line no more lines are started than the look-ahead allows. A cancel ends
    // every process of a command's group and reports nothing more.
    void runnerOrderAndCancel()
    {
        CheckRunner runner;
        QList<int> order, ends;
        connect(&runner, &CheckRunner::checked, [&](int index) { order << index; });
        connect(&runner, &CheckRunner::ended, [&](int index) { ends << index; });
        QSignalSpy finished(&runner, &CheckRunner::finished);
        runner.start(
            checkLinesOf("CMD|sleep 0.5|慢||\nCMD|echo b|快|b|\nURL|" + server.url("/up") + "|页|OK|\n"));
        QVERIFY(finished.wait(10000));
        QCOMPARE(order, QList<int>({ 0, 1, 2 }));
        QCOMPARE(ends.size() == 3 ? ends.last() : -1, 0);

        QTemporaryDir dir;
        const QString started = dir.filePath("started");
        QString script = "CMD|sleep 1|慢||\n";
        for (int i = 1; i <= 20; ++i)
            script += "CMD|sh -c \"echo >> " + started + "\"|" + QString::number(i) + "||\n";
        runner.setParallel(2);
        runner.start(checkLinesOf(script));
        QTest::qWait(600);
        QFile file(started);
        QCOMPARE(file.open(QIODevice::ReadOnly) ? file.readAll().count('\n') : 0,
            7); // 4 x 2, the slow one among them
        QVERIFY(finished.wait(10000));

        const QString group = dir.filePath("group");
        runner.start(checkLinesOf("CMD|sh -c \"echo $$ > " + group + "; sleep 300 & sleep 301\"|甲||\n"));
        QTRY_VERIFY(numberIn(group) > 0);
        runner.cancel();
        QTRY_COMPARE(livingInGroup(numberIn(group)), 0);
        QVERIFY(!finished.wait(300));
        QCOMPARE(order.size(), 3 + 21);
    }

    // A missing script is an empty one; one that exists but cannot be read is not. A lone CR ends
    // a line; records keep their rows, lines without an alias are no checks and are not saved.
    void scriptFiles()
    {
        QTemporaryDir dir;
        QCOMPARE(readScriptFile(dir.filePath("none")).state, ScriptFile::Missing);
        QCOMPARE(readScriptFile(dir.path()).state, ScriptFile::Unreadable);
        QVERIFY(writeTextFile(dir.filePath("s"), "CMD|true|甲||一楼\rjunk\r\n|b\nURL|u|丙  乙||\n"));
        const ScriptFile file = readScriptFile(dir.filePath("s"));
        QCOMPARE(file.state, ScriptFile::Read);
        const QList<ScriptRecord> records = scriptRecordsOf(file.text);
        QCOMPARE(scriptTextOf(records), QStringLiteral("CMD|true|甲||一楼\nURL|u|丙 乙||\n"));
        const QList<CheckLine> lines = checkLinesOf(records);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.at(1).scriptRow, 2);
        QCOMPARE(streamed(dir.filePath("s")), asText(lines));
        QCOMPARE(streamed(dir.filePath("none")), QStringList());
        // Read a block at a time, the same lines: one across the border of two blocks, a last line
        // without its end.
        const QString border = "CMD|x|" + QString(64 * 1024, 'a') + "\r\nCMD|y|乙|ok|\nURL|z|丙";
        QVERIFY(writeTextFile(dir.filePath("b"), border));
        QCOMPARE(streamed(dir.filePath("b")), asText(checkLinesOf(readScriptFile(dir.filePath("b")).text)));
        QCOMPARE(streamed(dir.filePath("b")).size(), 3);
        // The window counts a script's lines before it loads one.
        QCOMPARE(scriptFileLines(dir.filePath("s")), file.text.count('\n'));
        QVERIFY(writeTextFile(dir.filePath("c"), "a\r\r\nb"));
        QCOMPARE(scriptFileLines(dir.filePath("c")), 3);
    }

    // What a run keeps of its results' texts, small numbers standing in: each result up to its
    // share, then the run's share in script order (not the order the checks end in), then a little
    // of each; every cut ends in the note of how much was read. The success text is still found
    // past what is kept.
    void runTextBudget()
    {
        CheckRunner runner;
        runner.setTextBounds({ 10, 25, 4 });
        QStringList texts;
        connect(&runner, &CheckRunner::checked,
            [&](int, const CheckResult &r) { texts << verdictWord(r.verdict) + '|' + r.output; });
        QSignalSpy finished(&runner, &CheckRunner::finished);
        const QString print = "CMD|sh -c \"sleep %1; echo 0123456789abcdef\"|%1|%2|\n";
        runner.start(checkLinesOf(
            print.arg("0.6", "f") + print.arg("0.4", "0123") + print.arg("0.2", "x") + print.arg("0", "0")));
        QVERIFY(finished.wait(10000));
        const QString note = "……（已截断，共 17 字节）";
        QCOMPARE(texts,
            QStringList({ "正常|0123456789" + note, "正常|0123456789" + note, "异常|01234" + note,
                "正常|0123" + note }));
    }

    // Whatever ends a line ends a record; U+0085 only where it was decoded from a UTF encoding:
    // in an 8-bit locale encoding the byte 0x85 is part of other characters.
    void recordsEndWithTheLine_data()
    {
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<QByteArray>("encoding"); // of the file, after its byte-order mark
        QTest::addColumn<QByteArray>("mark");
        QTest::addColumn<QString>("between"); // the two records
        QTest::addColumn<QString>("aliases");
        const QString two = "A B";
        // clang-format off
        QTest::newRow("form feed") << QByteArray("UTF-8") << QByteArray("UTF-8") << QByteArray() << "\f" << two;
        QTest::newRow("vertical tab") << QByteArray("GBK") << QByteArray("GBK") << QByteArray() << "\v" << two;
        QTest::newRow("U+2028") << QByteArray("UTF-8") << QByteArray("UTF-8") << QByteArray() << "\u2028" << two;
        QTest::newRow("U+2029, marked UTF-8") << QByteArray("GBK") << QByteArray("UTF-8") << QByteArray("\xEF\xBB\xBF") << "\u2029" << two;
        QTest::newRow("U+0085, UTF-8") << QByteArray("UTF-8") << QByteArray("UTF-8") << QByteArray() << "\u0085" << two;
        QTest::newRow("U+0085, UTF-16") << QByteArray("GBK") << QByteArray("UTF-16LE") << QByteArray("\xFF\xFE") << "\u0085" << two;
        QTest::newRow("U+0085, UTF-32") << QByteArray("GBK") << QByteArray("UTF-32LE") << QByteArray("\xFF\xFE\0\0", 4) << "\u0085" << two;
        QTest::newRow("0x85 in windows-1252: an ellipsis") << QByteArray("windows-1252") << QByteArray("windows-1252") << QByteArray() << "…" << "A…CMD";
        QTest::newRow("0x85 in ISO-8859-1") << QByteArray("ISO-8859-1") << QByteArray("ISO-8859-1") << QByteArray() << "\u0085" << "A CMD";
        // clang-format on
    }
    void recordsEndWithTheLine()
    {
        QFETCH(QByteArray, locale);
        QFETCH(QByteArray, encoding);
        QFETCH(QByteArray, mark);
        QFETCH(QString, between);
        QTextCodec::setCodecForLocale(QTextCodec::codecForName(locale));
        QTemporaryDir dir;
        QFile file(dir.filePath("s"));
        QVERIFY(file.open(QIODevice::WriteOnly)
            && file.write(mark
                + QTextCodec::codecForName(encoding)->fromUnicode("CMD|true|A" + between + "CMD|true|B\n")));
        file.close();
        QStringList aliases;
        for (const CheckLine &line : checkLinesOf(readScriptFile(file.fileName()).text))
            aliases << line.alias;
        QTEST(aliases.join(' '), "aliases");
        // Read a block at a time, as --check reads it, the same lines.
        QCOMPARE(streamed(file.fileName()), asText(checkLinesOf(readScriptFile(file.fileName()).text)));
    }

    // A portable build keeps its files beside the program; an installed one in the user's data
    // folder, made for a fresh user who has no share folder yet.
    void dataFolder()
    {
        QTemporaryDir home;
        qputenv("XDG_DATA_HOME", home.filePath("share").toLocal8Bit());
        QCoreApplication::setApplicationName("netcheck");
        QCOMPARE(::dataFolder(true), home.filePath("share/netcheck"));
        qunsetenv("XDG_DATA_HOME");
        QVERIFY(QFileInfo(home.filePath("share/netcheck")).isDir());
        QCOMPARE(::dataFolder(false), QCoreApplication::applicationDirPath());
    }

    void countdownRoundsUp()
    {
        QCOMPARE(countdownSeconds(1, 1000), 1);
        QCOMPARE(countdownSeconds(1000, 1000), 1);
        QCOMPARE(countdownSeconds(1001, 1000), 2);
    }

private:
    HttpTestServer server;
};

QTEST_GUILESS_MAIN(TstCheck)
#include "tst_check.moc"
