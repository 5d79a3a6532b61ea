#include "check/historystore.h"
#include "check/historytext.h"
#include "httptestserver.h"
#include "processes.h"

#include <QtTest>
#include <csignal>
#include <sys/stat.h>

class TstCli : public QObject
{
    Q_OBJECT

private slots:
    // The built program in a fresh folder, which is its data folder; never a display.
    void initTestCase()
    {
        QVERIFY(QFile::copy(NETCHECK_BIN, dir.filePath("netcheck")));
        QVERIFY(mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600) == 0);
        QVERIFY(QFile::link("/dev/null", dir.filePath("null")));
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        environment.remove("QT_QPA_PLATFORM");
    }
    void init()
    {
        QFile::remove(dir.filePath("log"));
        QDir(dir.filePath("log")).removeRecursively();
        for (const QString &name : QDir(dir.path()).entryList({ "history.sqlite*", "netcheck.ini" }))
            QFile::remove(dir.filePath(name));
    }

    // Without a window and without a display, in a fresh folder: the script's lines in order,
    // exit 1 for the failed one, the day's log records and the printed report; a scan of
    // loopback; a bad address.
    void withoutWindow()
    {
        HttpTestServer server;
        server.serve("/ok", "<p>服务正常</p>");
        setScript("CMD|echo up|通过|up|机房\nCMD|echo down|失败|up|机房\nURL|" + server.url("/ok").toUtf8()
            + "|网页|服务正常|二楼\n");
        QProcess *check
            = run({ "--check", "--pdf", dir.filePath("r.pdf"), "--metrics", dir.filePath("r.prom") });
        QStringList lines = QString::fromUtf8(check->readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(check->exitCode(), 1);
        const QString summary = lines.takeLast();
        QVERIFY2(QRegularExpression("^共 3 项，1 项未通过，用时 \\d+\\.\\d 秒$").match(summary).hasMatch(),
            qPrintable(summary));
        QFile metrics(dir.filePath("r.prom"));
        QVERIFY(metrics.open(QIODevice::ReadOnly)
            && metrics.readAll().contains("netcheck_check_success{alias=\"失败\",type=\"CMD\",target=\"echo "
                                          "down\",location=\"机房\"} 0\n"));
        QCOMPARE(lines.replaceInStrings(QRegularExpression(" +"), " ")
                     .replaceInStrings(QRegularExpression(" \\S+ \\S+ (\\S+)$"), " T \\1"),
            QStringList({ "正常 通过 CMD-echo up T up", "异常 失败 CMD-echo down T down",
                "正常 网页 URL-" + server.url("/ok") + " T <p>服务正常</p>" }));
        QCOMPARE(logText().count("机房,"), 2);
        QProcess pdf;
        pdf.start("pdftotext", { dir.filePath("r.pdf"), "-" });
        QVERIFY(pdf.waitForFinished(30000));
        const QString text = QString::fromUtf8(pdf.readAllStandardOutput());
        QVERIFY(text.contains("通过") && text.contains("失败") && text.contains("网页"));

        QProcess *scan = run({ "--scan", "127.0.0.1", "127.0.0.1" });
        QCOMPARE(scan->exitCode(), 0);
        QVERIFY(scan->readAllStandardOutput().startsWith("127.0.0.1 "));
        QProcess *bad = run({ "--scan", "127.0.0.1", "127.0.0.x" });
        QCOMPARE(bad->exitCode(), 2);
        QCOMPARE(
            QString::fromUtf8(bad->readAllStandardError()).trimmed(), QStringLiteral("结束IP地址错误！"));
    }

    // What a run without a display says and its exit code; a special file named as script, page
    // or report is never opened, and stays as it was. "@" is the program's folder.
    void exits_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("script"); // chkScript.txt
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("said"); // in what it printed
        const QByteArray passes = "CMD|true|通过||\n";
        const QString window = "无法打开窗口：没有可用的显示。不带窗口运行请用 --check 或 --scan。\n用法：";
        // clang-format off
        QTest::newRow("misspelled option") << QStringList { "--chek" } << passes << 2 << window;
        QTest::newRow("--script without --check") << QStringList { "--script", "f" } << passes << 2 << window;
        QTest::newRow("--pdf without --check") << QStringList { "--pdf", "f" } << passes << 2 << window;
        QTest::newRow("empty script") << QStringList { "--check" } << QByteArray() << 2 << "检测脚本中没有可执行的检测行。";
        QTest::newRow("no line has an alias") << QStringList { "--check" } << QByteArray("CMD|true||\n") << 2 << "检测脚本中没有可执行的检测行。";
        QTest::newRow("not a script") << QStringList { "--check" } << QByteArray("myhost\n") << 2 << "检测脚本中没有可执行的检测行。";
        QTest::newRow("log record lost") << QStringList { "--check" } << passes << 1 << "日志写入失败：@/log/";
        QTest::newRow("FIFO as script") << QStringList { "--check", "--script", "@/fifo" } << passes << 2 << "无法读取检测脚本：@/fifo";
        QTest::newRow("FIFO as page") << QStringList { "--check" } << QByteArray("URL|file://@/fifo|页||\n") << 1 << "无法获取页面";
        QTest::newRow("FIFO as report") << QStringList { "--check", "--pdf", "@/fifo" } << passes << 2 << "无法写入PDF文件：@/fifo";
        QTest::newRow("link to a device as report") << QStringList { "--check", "--pdf", "@/null" } << passes << 2 << "无法写入PDF文件：@/null";
        QTest::newRow("scan start after end") << QStringList { "--scan", "127.0.0.10", "127.0.0.5" } << passes << 2 << "起始IP地址不能大于结束IP地址！";
        QTest::newRow("scan of 0.0.0.0") << QStringList { "--scan", "0.0.0.0", "0.0.0.3" } << passes << 2 << "起始IP地址错误！";
        QTest::newRow("json") << QStringList { "--check", "--format", "json" } << passes << 0 << "\"http_status\":null}\n{\"summary\":true,\"checks\":1,\"failures\":0,";
        QTest::newRow("unknown format") << QStringList { "--check", "--format", "xml" } << passes << 2 << "未知的输出格式：xml";
        QTest::newRow("metrics not .prom") << QStringList { "--check", "--metrics", "@/m.txt" } << passes << 2 << "指标文件名必须以 .prom 结尾：@/m.txt";
        QTest::newRow("broken history") << QStringList { "--check" } << passes << 0 << "历史记录文件已损坏，已改名为 history.sqlite.broken-";
        QTest::newRow("nagios: every line passed") << QStringList { "--check", "--format", "nagios" } << passes << 0 << "NETCHECK OK - 1 项正常 | '通过'=";
        QTest::newRow("nagios: a line failed") << QStringList { "--check", "--format", "nagios" } << QByteArray("CMD|false|失败|x|\n") << 2 << "NETCHECK CRITICAL - 1 项异常：失败 | '失败'=";
        QTest::newRow("nagios: log record lost") << QStringList { "--check", "--format", "nagios" } << passes << 1 << "NETCHECK WARNING - 1 项正常；日志写入失败：@/log/";
        QTest::newRow("nagios: broken history") << QStringList { "--check", "--format", "nagios" } << passes << 1 << "NETCHECK WARNING - 1 项正常；历史记录文件已损坏";
        QTest::newRow("nagios: metrics not written") << QStringList { "--check", "--format", "nagios", "--metrics", "@/no/m.prom" } << passes << 1 << "NETCHECK WARNING - 1 项正常；指标文件写入失败：@/no/m.prom";
        QTest::newRow("nagios: report not written") << QStringList { "--check", "--format", "nagios", "--pdf", "@/fifo" } << passes << 3 << "NETCHECK UNKNOWN - 1 项正常；无法写入PDF文件：@/fifo";
        QTest::newRow("nagios: misspelled option") << QStringList { "--check", "--format", "nagios", "--chek" } << passes << 3 << "NETCHECK UNKNOWN - 未知选项“chek”。";
        QTest::newRow("nagios: metrics not .prom") << QStringList { "--check", "--format=nagios", "--metrics", "m" } << passes << 3 << "NETCHECK UNKNOWN - 指标文件名必须以 .prom 结尾：m\n";
        QTest::newRow("nagios: unreadable script") << QStringList { "--check", "--format", "nagios", "--script", "@/fifo" } << passes << 3 << "NETCHECK UNKNOWN - 无法读取检测脚本：@/fifo\n";
        QTest::newRow("nagios: empty script") << QStringList { "--check", "--format", "nagios" } << QByteArray() << 3 << "NETCHECK UNKNOWN - 检测脚本中没有可执行的检测行。\n";
        QTest::newRow("notify: wrong kind") << QStringList { "--check" } << passes << 0 << "通知设置有误，未发送通知：@/netcheck.ini（kind=slack 不是 dingtalk、feishu、wecom 或 json）";
        QTest::newRow("nagios: notify: wrong kind") << QStringList { "--check", "--format", "nagios" } << passes << 1 << "NETCHECK WARNING - 1 项正常；通知设置有误";
        QTest::newRow("history of a fresh folder") << QStringList { "--history", "--days", "400" } << passes << 0 << "通过  -  0 次  -  -\n";
        QTest::newRow("history unreadable") << QStringList { "--history" } << passes << 2 << "历史记录读取失败：@/history.sqlite（文件已损坏）";
        QTest::newRow("--days 0") << QStringList { "--history", "--days", "0" } << passes << 2 << "--days 必须是 1 到 400 之间的整数。";
        QTest::newRow("--days 401") << QStringList { "--history", "--days", "401" } << passes << 2 << "--days 必须是 1 到 400 之间的整数。";
        QTest::newRow("address with a dash") << QStringList { "--scan", "-127.0.0.1", "127.0.0.5" } << passes << 2 << "起始IP地址错误！";
        // clang-format on
    }
    void exits()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, script);
        QFETCH(QString, said);
        setScript(script.replace("@", dir.path().toUtf8()));
        const QByteArray tag = QTest::currentDataTag();
        if (tag.contains("log record lost"))
            QFile(dir.filePath("log")).open(QIODevice::WriteOnly); // a file where the folder belongs
        QFile history(dir.filePath("history.sqlite"));
        if (tag.contains("broken history") || tag.contains("unreadable"))
            QVERIFY(history.open(QIODevice::WriteOnly) && history.write(QByteArray(4096, 'x')));
        history.close();
        QFile settings(dir.filePath("netcheck.ini"));
        if (tag.contains("notify"))
            QVERIFY(settings.open(QIODevice::WriteOnly)
                && settings.write("[notify]\nkind=slack\nurl=http://127.0.0.1:9/"));
        settings.close();
        QProcess *program = run(arguments.replaceInStrings("@", dir.path()));
        const QString printed
            = QString::fromUtf8(program->readAllStandardOutput() + program->readAllStandardError());
        QVERIFY2(printed.contains(said.replace("@", dir.path())), qPrintable(printed));
        QTEST(program->exitStatus() == QProcess::NormalExit ? program->exitCode() : -1, "exit");
        QVERIFY(!QFileInfo(dir.filePath("fifo")).isFile()
            && QFileInfo(dir.filePath("null")).symLinkTarget() == "/dev/null");
    }

    // A stop signal ends the run: the spinning command's group is killed, the line that was cut
    // off is neither printed nor logged, and the program says why and exits 2 (3 as a plugin).
    void stopSignal_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        const QByteArray said = QStringLiteral("已停止：收到信号 SIGTERM\n").toUtf8();
        QTest::newRow("text") << QStringList { "--check" } << 2 << QByteArray() << said;
        QTest::newRow("nagios") << QStringList { "--check", "--format", "nagios" } << 3
                                << "NETCHECK UNKNOWN - " + said << QByteArray();
    }
    void stopSignal()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, out);
        setScript(
            "CMD|sh -c \"echo $$ > " + dir.filePath("group").toUtf8() + "; while :; do :; done\"|转||\n");
        QFile::remove(dir.filePath("group"));
        QProcess *program = start(arguments);
        QTRY_VERIFY(numberIn(dir.filePath("group")) > 0);
        const qint64 group = numberIn(dir.filePath("group"));
        ::kill(pid_t(program->processId()), SIGTERM);
        const bool ended = program->waitForFinished(10000);
        const int living = livingInGroup(group);
        ::kill(-pid_t(group), SIGKILL); // whatever the outcome
        QVERIFY(ended);
        QCOMPARE(program->exitStatus(), QProcess::NormalExit);
        QTEST(program->exitCode(), "exit");
        QCOMPARE(living, 0);
        QTEST(program->readAllStandardError(), "err");
        QCOMPARE(program->readAllStandardOutput() + logText().toUtf8(), out);
    }

    // A line checked every hour for 31 days, failed two and three hours ago and once 30 days
    // and five hours ago: its uptime over the last 1, 7 and 30 days, its outage within them and
    // its last change, on one line.
    void history()
    {
        setScript("CMD|echo up|网关|up|机房\n");
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        {
            HistoryStore store(dir.filePath("history.sqlite"));
            CheckResult result;
            result.line = { "CMD", "echo up", "网关", "up", "机房" };
            for (int hoursAgo = 31 * 24; hoursAgo >= 0; --hoursAgo) {
                const bool failed = hoursAgo == 2 || hoursAgo == 3 || hoursAgo == 30 * 24 + 5;
                result.verdict = failed ? Verdict::Failed : Verdict::Passed;
                result.checkedAt = QDateTime::fromMSecsSinceEpoch(now - hoursAgo * kHourMs);
                QString problem;
                QVERIFY2(!store.record({ result }, &problem).isEmpty(), qPrintable(problem));
            }
        }
        QProcess *program = run({ "--history" });
        QCOMPARE(program->exitCode(), 0);
        QCOMPARE(QString::fromUtf8(program->readAllStandardOutput()),
            "网关  91.6%  98.8%  99.7%  1 次  最长 2 小时 0 分钟  "
                + momentText(now - kHourMs, QDateTime::currentDateTime()) + " 恢复正常\n");
    }

    // Its reader gone after the first line (head -1), the run goes on: every line is logged.
    void closedOutput()
    {
        QByteArray script = "CMD|echo 1|1|1|\n";
        for (int i = 2; i <= 10; ++i) // printed only once no reader is left
            script += "CMD|sh -c \"while [ ! -e " + dir.filePath("go").toUtf8() + " ]; do sleep 0.01; done\"|"
                + QByteArray::number(i) + "||\n";
        setScript(script);
        QFile::remove(dir.filePath("go"));
        QProcess *pipeline
            = start({ "-c", "set -o pipefail; \"$0\" --check | { head -1; exec <&-; : > \"$1\"; }",
                        dir.filePath("netcheck"), dir.filePath("go") },
                "bash");
        QVERIFY(pipeline->waitForFinished(10000));
        QVERIFY(pipeline->readAllStandardOutput().startsWith("正常"));
        QCOMPARE(pipeline->exitCode(), 0); // 141: ended by SIGPIPE
        QCOMPARE(logText().count('\n'), 10);
    }

private:
    void setScript(const QByteArray &text)
    {
        QFile script(dir.filePath("chkScript.txt"));
        QVERIFY(script.open(QIODevice::WriteOnly) && script.write(text) == text.size());
    }
    QString logText() const
    {
        QFile log(dir.filePath("log/" + QDate::currentDate().toString("yyyy年MM月dd日") + ".txt"));
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
    }
    QProcess *start(const QStringList &arguments, const QString &program = {})
    {
        auto *process = new QProcess(this);
        process->setProcessEnvironment(environment);
        process->start(program.isEmpty() ? dir.filePath("netcheck") : program, arguments);
        return process;
    }
    // Until it ends: a page served by this process is served meanwhile.
    QProcess *run(const QStringList &arguments)
    {
        QProcess *program = start(arguments);
        if (!QTest::qWaitFor([&] { return program->state() == QProcess::NotRunning; }, 60000))
            program->kill();
        return program;
    }

    QTemporaryDir dir;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
};

QTEST_GUILESS_MAIN(TstCli)
#include "tst_cli.moc"
