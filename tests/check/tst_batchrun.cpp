#include "batchwindow.h"
#include "httptestserver.h"
#include "schedule.h"
#include "testrunner.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

namespace
{
void addLine(const char *name, const char *type, const char *target, const char *success, int boundMs,
    bool ok, const QString &result)
{
    QTest::newRow(name) << QString(type) << QString(target) << QString(success) << boundMs
                        << QString(ok ? "正常" : "异常") << result;
}

QLabel *labelShowing(QWidget *panel, const QString &alias)
{
    for (QLabel *label : panel->findChildren<QLabel *>())
        if (label->text().contains(QStringLiteral("<span>%1</span>").arg(alias)))
            return label;
    return nullptr;
}
} // namespace

class TstBatchRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup()
    {
        QTextCodec::setCodecForLocale(nullptr);
        setCheckBounds(0, 0);
        setScheduleSecondMs(0);
    }
    void checkLines_data();
    void checkLines();
    void noCheckLines();
    void logRecords();
    void picturePanel();
    void alertsBeforeNextLine();
    void nothingNestsInARun_data();
    void nothingNestsInARun();
    void closingStopsTheRun();

private:
    HttpTestServer server;
    quint16 closedPort = 0;
};

void TstBatchRun::initTestCase()
{
    QVERIFY(server.start());
    server.serve(QStringLiteral("/up"), "\n  <p>服务 OK</p>  \n");
    HttpTestReply slow;
    slow.body = "<p>OK</p>";
    slow.delayMs = 800;
    server.setRoute(QStringLiteral("/slow"), slow);
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    closedPort = probe.serverPort();
}

void TstBatchRun::checkLines_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("success");
    QTest::addColumn<int>("boundMs");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("result");
    const QString page = QStringLiteral("\n  <p>服务 OK</p>  \n");
    // clang-format off
    addLine("empty success text always passes", "CMD", "true", "", 0, true, "");
    addLine("lower-case type runs, content keeps it", "cmd", "echo TTL=64", "TTL=", 0, true, "TTL=64");
    addLine("success test is case-sensitive", "CMD", "echo TTL=64", "ttl=", 0, false, "TTL=64");
    addLine("exit status alone decides nothing", "CMD", "sh -c \"exit 3\"", "", 0, true, "");
    addLine("missing program", "CMD", "no-such-program-5c1", "x", 0, false, "");
    addLine("missing program, empty success text", "CMD", "no-such-program-5c1", "", 0, true, "");
    addLine("two blanks reach the command as one", "CMD", "printf \"[%s]\" \"a  b\"", "[a b]", 0, true, "[a b]");
    addLine("output trimmed", "CMD", "printf \"\\n  x  \\n\"", "x", 0, true, "x");
    addLine("command over its bound fails", "CMD", "sh -c \"echo started; sleep 5\"", "", 300, false, "started");
    addLine("page holds the text, kept untrimmed", "URL", "{server}/up", "OK", 0, true, page);
    addLine("page test is case-sensitive", "url", "{server}/up", "ok", 0, false, page);
    addLine("missing page: the error page is the page", "URL", "{server}/gone", "OK", 0, false, "no route");
    addLine("unreachable port", "URL", "http://127.0.0.1:{closed}/", "OK", 0, false, "");
    addLine("page over its bound fails", "URL", "{server}/slow", "", 300, false, "");
    addLine("type neither CMD nor URL", "PING", "127.0.0.1", "", 0, false, "类型错误：类型必须是CMD或URL");
    // clang-format on
}

void TstBatchRun::checkLines()
{
    QFETCH(QString, type);
    QFETCH(QString, target);
    QFETCH(QString, success);
    QFETCH(int, boundMs);
    QFETCH(QString, status);
    QFETCH(QString, result);
    target.replace("{server}", server.url(QString())).replace("{closed}", QString::number(closedPort));
    setCheckBounds(boundMs, boundMs);
    BatchWindow w;
    w.setScript({ { "核心交换机", type, target, success, "机房" } });
    QElapsedTimer clock;
    clock.start();
    w.start->click();
    QVERIFY(clock.elapsed() < 4000); // the bounded row ends long before its command would
    QCOMPARE(w.cell(0, 0), QStringLiteral("核心交换机"));
    QCOMPARE(w.cell(0, 1), status);
    const QLabel *led = w.results->cellWidget(0, 1)->findChild<QLabel *>();
    QVERIFY(led->styleSheet().endsWith(status == QStringLiteral("正常") ? "rgb(0,255,0)" : "rgb(255,0,0)"));
    QCOMPARE(w.cell(0, 2), type + '-' + target.simplified());
    QCOMPARE(w.cell(0, 4), result);
    QCOMPARE(w.cell(0, 5), QStringLiteral("机房"));
    QCOMPARE(w.filledRows(), 1);
    QCOMPARE(w.logLines().size(), 1);
}

void TstBatchRun::noCheckLines()
{
    BatchWindow w;
    w.speech->setChecked(true);
    w.setScript({ { "网关", "CMD", "sh -c \"exit 1\"", "x", "机房" } });
    w.start->click();
    QCOMPARE(w.filledRows(), 1);
    QFile::remove(w.logPath());
    w.spoken.clear();

    // The alias is gone: the earlier results go, nothing runs, nothing is logged or said.
    w.setScript({ { "", "CMD", "sh -c \"exit 1\"", "x", "机房" } });
    w.start->click();
    QCOMPARE(w.filledRows(), 0);
    QVERIFY(!QFile::exists(w.logPath()));
    QVERIFY(w.spoken.isEmpty());
}

void TstBatchRun::logRecords()
{
    // An 8-bit locale other than the test's UTF-8 shows that its encoding is used.
    QTextCodec *gbk = QTextCodec::codecForName("GBK");
    QTextCodec::setCodecForLocale(gbk);
    BatchWindow w;
    w.setScript(
        { { "网关", "CMD", "seq 1 5000", "5000", "机房" }, { "打印机", "cmd", "echo off", "on", "二楼" } });
    const QDate day = QDate::currentDate();
    w.start->click();
    w.start->click();
    if (QDate::currentDate() != day)
        QSKIP("the runs crossed midnight");

    // Appended, not rewritten; the last run's time is the one in the table.
    QStringList lines = w.logLines();
    QVERIFY2(!w.cell(1, 3).isEmpty() && lines.value(3).contains(w.cell(1, 3)), qPrintable(w.cell(1, 3)));
    lines.replaceInStrings(QRegularExpression(R"(^(.*,)\d{4}年\d\d月\d\d日 \d\d:\d\d:\d\d,$)"), "\\1T,");
    const QStringList expected = { "机房,网关,正常,CMD-seq 1 5000,T,", "二楼,打印机,异常,cmd-echo off,T," };
    QCOMPARE(lines, expected + expected);
    QFile file(w.logPath());
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    QVERIFY(bytes.startsWith(gbk->fromUnicode("机房,网关,正常,")));
    QVERIFY(!bytes.contains('\r'));
}

void TstBatchRun::picturePanel()
{
    BatchWindow w;
    w.setScript({ { "", "CMD", "echo nobody", "", "机房" }, { "核心交换机", "CMD", "echo up", "up", "机房" },
        { "打印机", "CMD", "echo down", "up", "二楼" }, { "无位置", "CMD", "true", "", "" } });
    w.start->click();
    QCOMPARE(w.pictures->findChildren<QLabel *>().size(), 3);
    // Alias, tooltip and the state picture of each label after the run.
    const QStringList shown[]
        = { { "", "0", "-" }, { "核心交换机", "<p>up</p>", "ok" }, { "打印机", "<p>down</p>", "no" } };
    for (const QStringList &expected : shown) {
        QLabel *label = labelShowing(w.pictures, expected.at(0));
        QVERIFY2(label, qPrintable(expected.at(0)));
        QCOMPARE(label->toolTip(), expected.at(1));
        for (const char *state : { "ok", "no" })
            QCOMPARE(
                label->text().contains(QStringLiteral("/%1.png\" height=32 width=32/><br><span>").arg(state)),
                expected.at(2) == state);
    }
}

// Also: a missing log folder stops neither the run nor gets created.
void TstBatchRun::alertsBeforeNextLine()
{
    BatchWindow w;
    QVERIFY(QDir(w.dir.path()).rmdir(QStringLiteral("log")));
    w.setScript({ { "甲", "CMD", "echo x", "y", "A" }, { "乙", "CMD", "echo y", "y", "A" },
        { "丙", "CMD", "no-such-program-5c1", "y", "A" }, { "丁", "BAD", "x", "", "A" } });
    w.start->click();
    QVERIFY(w.spoken.isEmpty()); // speech off

    QStringList heard;
    setSpeechObserver(
        [&](const QString &text) { heard << QStringLiteral("%1@%2").arg(text).arg(w.filledRows()); });
    w.speech->setChecked(true);
    w.start->click();
    QCOMPARE(heard, (QStringList { "甲发现异常！@1", "丙发现异常！@3", "丁发现异常！@4" }));
    QCOMPARE(w.cell(1, 1), QStringLiteral("正常"));
    QVERIFY(!QDir(w.dir.path()).exists(QStringLiteral("log")));
}

void TstBatchRun::nothingNestsInARun_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("target");
    QTest::newRow("while a command runs") << "CMD"
                                          << "sleep 0.8";
    QTest::newRow("while a page is awaited") << "URL"
                                             << "{server}/slow";
}

void TstBatchRun::nothingNestsInARun()
{
    QFETCH(QString, type);
    QFETCH(QString, target);
    target.replace("{server}", server.url(QString()));
    BatchWindow w;
    setScheduleSecondMs(1); // the one-minute entry falls due every 60 ms
    w.keep->setCurrentIndex(1);
    w.speech->setChecked(true);
    w.setScript({ { "慢", type, target, "", "A" }, { "快", "CMD", "true", "", "A" } });

    bool enabledDuring = true;
    QTimer::singleShot(200, w.window, [&] {
        enabledDuring = w.start->isEnabled();
        QTest::mouseClick(w.start, Qt::LeftButton);
        w.invoke("ScriptStart");
        w.invoke("AutoKeep");
    });
    const int before = server.requestCount(QStringLiteral("/slow"));
    w.start->click();
    w.keep->setCurrentIndex(0);

    QVERIFY(!enabledDuring);
    QVERIFY(w.start->isEnabled());
    QCOMPARE(w.filledRows(), 2);
    QCOMPARE(w.cell(0, 1), QStringLiteral("正常"));
    QCOMPARE(w.logLines().size(), 2);
    QVERIFY2(w.spoken.isEmpty(), qPrintable(w.spoken.join(' '))); // no automatic run announced
    QCOMPARE(server.requestCount(QStringLiteral("/slow")), before + (type == "URL" ? 1 : 0));
}

void TstBatchRun::closingStopsTheRun()
{
    BatchWindow w;
    w.setScript({ { "首", "CMD", "true", "", "A" }, { "慢", "URL", server.url("/slow"), "OK", "A" },
        { "后", "CMD", "true", "", "A" } });
    w.speech->setChecked(true);
    // Closing the window while the page is awaited; the test program must not quit with it.
    qApp->setQuitOnLastWindowClosed(false);
    QTimer::singleShot(300, w.window, [&] { w.window->close(); });
    w.start->click();
    qApp->setQuitOnLastWindowClosed(true);
    QCOMPARE(w.logLines().size(), 1); // only the line that finished before the close
    QVERIFY(w.spoken.isEmpty());
}

NETCHECK_TEST(TstBatchRun)
#include "tst_batchrun.moc"
