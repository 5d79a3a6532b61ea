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
        QProcess *check = run({ "--check", "--pdf", dir.filePath("r.pdf") });
        QStringList lines = QString::fromUtf8(check->readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(check->exitCode(), 1);
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
        QTest::newRow("address with a dash") << QStringList { "--scan", "-127.0.0.1", "127.0.0.5" } << passes << 2 << "起始IP地址错误！";
        // clang-format on
    }
    void exits()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, script);
        QFETCH(QString, said);
        setScript(script.replace("@", dir.path().toUtf8()));
        if (QByteArray(QTest::currentDataTag()) == "log record lost")
            QFile(dir.filePath("log")).open(QIODevice::WriteOnly); // a file where the folder belongs
        QProcess *program = run(arguments.replaceInStrings("@", dir.path()));
        const QString printed
            = QString::fromUtf8(program->readAllStandardOutput() + program->readAllStandardError());
        QVERIFY2(printed.contains(said.replace("@", dir.path())), qPrintable(printed));
        QTEST(program->exitStatus() == QProcess::NormalExit ? program->exitCode() : -1, "exit");
        QVERIFY(!QFileInfo(dir.filePath("fifo")).isFile()
            && QFileInfo(dir.filePath("null")).symLinkTarget() == "/dev/null");
    }

    // A stop signal ends the run: the spinning command's group is killed, the line that was cut
    // off is neither printed nor logged, and the program says why and exits 2.
    void stopSignal()
    {
        setScript(
            "CMD|sh -c \"echo $$ > " + dir.filePath("group").toUtf8() + "; while :; do :; done\"|转||\n");
        QFile::remove(dir.filePath("group"));
        QProcess *program = start({ "--check" });
        QTRY_VERIFY(numberIn(dir.filePath("group")) > 0);
        const qint64 group = numberIn(dir.filePath("group"));
        ::kill(pid_t(program->processId()), SIGTERM);
        const bool ended = program->waitForFinished(10000);
        const int living = livingInGroup(group);
        ::kill(-pid_t(group), SIGKILL); // whatever the outcome
        QVERIFY(ended);
        QCOMPARE(program->exitStatus(), QProcess::NormalExit);
        QCOMPARE(program->exitCode(), 2);
        QCOMPARE(living, 0);
        QCOMPARE(program->readAllStandardError(), QStringLiteral("已停止：收到信号 SIGTERM\n").toUtf8());
        QCOMPARE(program->readAllStandardOutput() + logText().toUtf8(), QByteArray());
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
