#include "httptestserver.h"

#include <QtTest>

class TstCli : public QObject
{
    Q_OBJECT

private slots:
    // Without a window and without a display, in a fresh folder: the script's lines in order,
    // exit 1 for the failed one, a long result printed to 200 characters, the day's log records
    // and the printed report; a scan of
    // loopback; a bad address.
    void withoutWindow()
    {
        HttpTestServer server;
        server.serve("/ok", "<p>服务正常</p>");
        QTemporaryDir dir;
        QVERIFY(QFile::copy(NETCHECK_BIN, dir.filePath("netcheck")));
        QFile script(dir.filePath("chkScript.txt"));
        QVERIFY(script.open(QIODevice::WriteOnly)
            && script.write(
                "CMD|echo up|通过|up|机房\nCMD|echo down|失败|up|机房\nCMD|printf %0300d 7|长|7|\nURL|"
                + server.url("/ok").toUtf8() + "|网页|服务正常|二楼\n"));
        script.close();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("DISPLAY");
        environment.remove("QT_QPA_PLATFORM");
        const auto run = [&](const QStringList &arguments) {
            auto *program = new QProcess(this);
            program->setProcessEnvironment(environment);
            program->start(dir.filePath("netcheck"), arguments);
            // The page is served by this process: its event loop runs meanwhile.
            if (!QTest::qWaitFor([&] { return program->state() == QProcess::NotRunning; }, 60000))
                program->kill();
            return program;
        };
        QProcess *check = run({ "--check", "--pdf", dir.filePath("r.pdf") });
        QStringList lines = QString::fromUtf8(check->readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(check->exitCode(), 1);
        QCOMPARE(lines.replaceInStrings(QRegularExpression(" +"), " ")
                     .replaceInStrings(QRegularExpression(" \\S+ \\S+ (\\S+)$"), " T \\1"),
            QStringList({ "正常 通过 CMD-echo up T up", "异常 失败 CMD-echo down T down",
                "正常 长 CMD-printf %0300d 7 T " + QString(200, '0'),
                "正常 网页 URL-" + server.url("/ok") + " T <p>服务正常</p>" }));
        QFile log(dir.filePath("log/" + QDate::currentDate().toString("yyyy年MM月dd日") + ".txt"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.readAll().count("机房,"), 2);
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
};

QTEST_GUILESS_MAIN(TstCli)
#include "tst_cli.moc"
