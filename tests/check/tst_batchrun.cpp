#include "batchwindow.h"
#include "httptestserver.h"
#include "schedule.h"
#include "testrunner.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <QTimer>

namespace
{
const QString kTimeFormat = QStringLiteral("yyyy年MM月dd日 hh:mm:ss");

QString ledStyle(QTableWidget *table, int row)
{
    QWidget *cell = table->cellWidget(row, 1);
    QLabel *led = cell ? cell->findChild<QLabel *>() : nullptr;
    return led ? led->styleSheet() : QString();
}

QString colourOf(const QString &word)
{
    if (word == QStringLiteral("正常"))
        return QStringLiteral("background-color:rgb(0,255,0)");
    if (word == QStringLiteral("异常"))
        return QStringLiteral("background-color:rgb(255,0,0)");
    return QStringLiteral("background-color:rgb(190,190,190)");
}

void addLine(const char *name, const QString &type, const QString &target, const QString &success,
    int boundMs, const QString &status, const QString &result)
{
    QTest::newRow(name) << type << target << success << boundMs << status << result;
}

QLabel *labelShowing(QWidget *panel, const QString &alias)
{
    for (QLabel *label : panel->findChildren<QLabel *>()) {
        if (label->text().contains(QStringLiteral("<span>%1</span>").arg(alias)))
            return label;
    }
    return nullptr;
}
} // namespace

class TstBatchRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void checkLines_data();
    void checkLines();
    void recordWithoutSuccessFieldIsUntested();
    void noCheckLines();
    void logRecords();
    void missingLogFolder();
    void picturePanel();
    void alertsBeforeNextLine();
    void nothingNestsInARun_data();
    void nothingNestsInARun();

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

void TstBatchRun::cleanup()
{
    QTextCodec::setCodecForLocale(nullptr);
    setCheckBounds(0, 0);
    setScheduleSecondMs(0);
}

void TstBatchRun::checkLines_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("success");
    QTest::addColumn<int>("boundMs");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("result");

    const QString ok = QStringLiteral("正常");
    const QString bad = QStringLiteral("异常");
    const QString page = QStringLiteral("\n  <p>服务 OK</p>  \n");
    addLine("empty success text always passes", "CMD", "true", "", 0, ok, "");
    addLine("output holds the text", "CMD", "echo TTL=64", "TTL=", 0, ok, "TTL=64");
    addLine("lower-case type runs, content keeps it", "cmd", "echo TTL=64", "TTL=64", 0, ok, "TTL=64");
    addLine("success test is case-sensitive", "CMD", "echo TTL=64", "ttl=", 0, bad, "TTL=64");
    addLine("exit status alone decides nothing", "CMD", "sh -c \"exit 3\"", "", 0, ok, "");
    addLine("failing command without the text", "CMD", "sh -c \"echo down; exit 3\"", "up", 0, bad, "down");
    addLine("missing program", "CMD", "no-such-program-5c1", "x", 0, bad, "");
    addLine("missing program, empty success text", "CMD", "no-such-program-5c1", "", 0, ok, "");
    addLine(
        "two blanks reach the command as one", "CMD", "printf \"[%s]\" \"a  b\"", "[a b]", 0, ok, "[a b]");
    addLine("output trimmed", "CMD", "printf \"\\n  x  \\n\"", "x", 0, ok, "x");
    addLine(
        "command over its bound fails", "CMD", "sh -c \"echo started; sleep 5\"", "", 300, bad, "started");
    addLine("page holds the text, kept untrimmed", "URL", "{server}/up", "OK", 0, ok, page);
    addLine("page lacks the text", "URL", "{server}/up", "DOWN", 0, bad, page);
    addLine("page test is case-sensitive", "url", "{server}/up", "ok", 0, bad, page);
    addLine("page, empty success text", "URL", "{server}/up", "", 0, ok, page);
    addLine("missing page: the error page is the page", "URL", "{server}/gone", "OK", 0, bad, "no route");
    addLine("unreachable port", "URL", "http://127.0.0.1:{closed}/", "OK", 0, bad, "");
    addLine("address without scheme", "URL", "127.0.0.1:{closed}/", "OK", 0, bad, "");
    addLine("page over its bound fails", "URL", "{server}/slow", "", 300, bad, "");
    addLine("type neither CMD nor URL", "PING", "127.0.0.1", "", 0, bad,
        QStringLiteral("类型错误：类型必须是CMD或URL"));
}

void TstBatchRun::checkLines()
{
    QFETCH(QString, type);
    QFETCH(QString, target);
    QFETCH(QString, success);
    QFETCH(int, boundMs);
    QFETCH(QString, status);
    QFETCH(QString, result);

    target.replace(QLatin1String("{server}"), server.url(QString()));
    target.replace(QLatin1String("{closed}"), QString::number(closedPort));
    setCheckBounds(boundMs, boundMs);
    BatchWindow w;
    w.setScript({ { QStringLiteral("核心交换机"), type, target, success, QStringLiteral("机房") } });
    const QDateTime before = QDateTime::currentDateTime().addMSecs(-999);
    QElapsedTimer clock;
    clock.start();
    w.start->click();
    QVERIFY(clock.elapsed() < 4000); // the bounded row ends long before its command would
    const QDateTime after = QDateTime::currentDateTime();

    QCOMPARE(w.results->columnCount(), 6);
    QCOMPARE(w.results->rowCount(), 2);
    QCOMPARE(w.cell(0, 0), QStringLiteral("核心交换机"));
    QCOMPARE(w.cell(0, 1), status);
    QCOMPARE(w.results->item(0, 1)->textAlignment(), int(Qt::AlignCenter));
    QVERIFY2(ledStyle(w.results, 0).endsWith(colourOf(status)), qPrintable(ledStyle(w.results, 0)));
    QCOMPARE(w.cell(0, 2), type + QLatin1Char('-') + target.simplified());
    const QDateTime checked = QDateTime::fromString(w.cell(0, 3), kTimeFormat);
    QVERIFY2(checked >= before && checked <= after, qPrintable(w.cell(0, 3)));
    QCOMPARE(w.cell(0, 4), result);
    QCOMPARE(w.cell(0, 5), QStringLiteral("机房"));
    QCOMPARE(w.filledRows(), 1);
    QCOMPARE(w.logLines().size(), 1);
}

void TstBatchRun::recordWithoutSuccessFieldIsUntested()
{
    // Only reachable with hand-made records: the script table always gives five fields.
    const CheckStatus status
        = pageStatus(QStringLiteral("<html>OK</html>"), { "URL", "http://127.0.0.1/", "网站" });
    QCOMPARE(statusWord(status), QStringLiteral("待检测"));
    QCOMPARE(statusColour(status), 0);
}

void TstBatchRun::noCheckLines()
{
    BatchWindow w;
    w.speech->setChecked(true);
    w.setScript({ { QStringLiteral("网关"), "CMD", "sh -c \"exit 1\"", "x", QStringLiteral("机房") } });
    w.start->click();
    QCOMPARE(w.filledRows(), 1);
    QFile::remove(w.logPath());
    w.spoken.clear();

    // The alias is gone: the earlier results go, nothing runs, nothing is logged or said.
    w.setScript({ { "", "CMD", "sh -c \"exit 1\"", "x", QStringLiteral("机房") } });
    w.start->click();
    QCOMPARE(w.results->columnCount(), 6);
    QCOMPARE(w.results->horizontalHeaderItem(4)->text(), QStringLiteral("检测结果"));
    QCOMPARE(w.results->rowCount(), 2);
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
    w.setScript({ { QStringLiteral("网关"), "CMD", "seq 1 5000", "5000", QStringLiteral("机房") },
        { QStringLiteral("打印机"), "cmd", "echo off", "on", QStringLiteral("二楼") } });
    const QDate day = QDate::currentDate();
    w.start->click();
    w.start->click();
    if (QDate::currentDate() != day)
        QSKIP("the runs crossed midnight");

    const QStringList lines = w.logLines(day);
    QCOMPARE(lines.size(), 4); // appended, not rewritten
    const QStringList expected = { QStringLiteral("机房,网关,正常,CMD-seq 1 5000,"),
        QStringLiteral("二楼,打印机,异常,cmd-echo off,") };
    for (int k = 0; k < lines.size(); ++k) {
        const QStringList fields = lines.at(k).split(QLatin1Char(','));
        QCOMPARE(fields.size(), 6);
        QVERIFY(fields.last().isEmpty());
        QVERIFY(lines.at(k).startsWith(expected.at(k % 2)));
        QVERIFY(QDateTime::fromString(fields.at(4), kTimeFormat).isValid());
    }
    // The last run's times are in the table.
    QCOMPARE(lines.at(3).section(QLatin1Char(','), 4, 4), w.cell(1, 3));
    QFile file(w.logPath(day));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith(gbk->fromUnicode(expected.first())));
    QVERIFY(!bytes.contains('\r'));
}

void TstBatchRun::missingLogFolder()
{
    BatchWindow w;
    QVERIFY(QDir(w.dir.path()).rmdir(QStringLiteral("log")));
    w.setScript({ { QStringLiteral("网关"), "CMD", "true", "", QStringLiteral("机房") },
        { QStringLiteral("主机"), "CMD", "echo up", "up", QStringLiteral("机房") } });
    w.start->click();
    QCOMPARE(w.filledRows(), 2);
    QCOMPARE(w.cell(1, 1), QStringLiteral("正常"));
    QVERIFY(!QDir(w.dir.path()).exists(QStringLiteral("log")));
}

void TstBatchRun::picturePanel()
{
    BatchWindow w;
    w.setScript({ { "", "CMD", "echo nobody", "", QStringLiteral("机房") },
        { QStringLiteral("核心交换机"), "CMD", "echo up", "up", QStringLiteral("机房") },
        { QStringLiteral("打印机"), "CMD", "echo down", "up", QStringLiteral("二楼") },
        { QStringLiteral("无位置"), "CMD", "true", "", "" } });
    w.start->click();

    QCOMPARE(w.pictures->findChildren<QLabel *>().size(), 3);
    // The row without an alias runs nothing and keeps the label of the rebuild.
    QLabel *unnamed = labelShowing(w.pictures, QString());
    QVERIFY(unnamed);
    QCOMPARE(unnamed->toolTip(), QStringLiteral("0"));
    QVERIFY(!unnamed->text().contains(QLatin1String("ok.png"))
        && !unnamed->text().contains(QLatin1String("no.png")));

    QLabel *passed = labelShowing(w.pictures, QStringLiteral("核心交换机"));
    QVERIFY(passed);
    QVERIFY(
        passed->text().contains(QLatin1String("<img src=\":/tree/ok.png\" height=32 width=32/><br><span>")));
    QCOMPARE(passed->toolTip(), QStringLiteral("up"));

    QLabel *failed = labelShowing(w.pictures, QStringLiteral("打印机"));
    QVERIFY(failed);
    QVERIFY(failed->text().startsWith(QLatin1String("<img src=\":/tree/print.png\"")));
    QVERIFY(
        failed->text().contains(QLatin1String("<img src=\":/tree/no.png\" height=32 width=32/><br><span>")));
    QCOMPARE(failed->toolTip(), QStringLiteral("down"));
}

void TstBatchRun::alertsBeforeNextLine()
{
    BatchWindow w;
    w.setScript({ { QStringLiteral("甲"), "CMD", "echo x", "y", "A" },
        { QStringLiteral("乙"), "CMD", "echo y", "y", "A" },
        { QStringLiteral("丙"), "CMD", "no-such-program-5c1", "y", "A" },
        { QStringLiteral("丁"), "BAD", "x", "", "A" } });
    w.start->click();
    QVERIFY(w.spoken.isEmpty()); // speech off

    QStringList heard;
    setSpeechObserver(
        [&](const QString &text) { heard << QStringLiteral("%1@%2").arg(text).arg(w.filledRows()); });
    w.speech->setChecked(true);
    w.start->click();
    QCOMPARE(heard,
        (QStringList { QStringLiteral("甲发现异常！@1"), QStringLiteral("丙发现异常！@3"),
            QStringLiteral("丁发现异常！@4") }));
}

void TstBatchRun::nothingNestsInARun_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("target");
    QTest::newRow("while a command runs") << QStringLiteral("CMD") << QStringLiteral("sleep 0.8");
    QTest::newRow("while a page is awaited") << QStringLiteral("URL") << QStringLiteral("{server}/slow");
}

void TstBatchRun::nothingNestsInARun()
{
    QFETCH(QString, type);
    QFETCH(QString, target);
    target.replace(QLatin1String("{server}"), server.url(QString()));

    BatchWindow w;
    setScheduleSecondMs(1); // the one-minute entry falls due every 60 ms
    w.keep->setCurrentIndex(1);
    w.speech->setChecked(true);
    w.setScript({ { QStringLiteral("慢"), type, target, "", "A" },
        { QStringLiteral("快"), "CMD", "true", "", "A" } });

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
    if (type == QLatin1String("URL"))
        QCOMPARE(server.requestCount(QStringLiteral("/slow")), before + 1);
}

NETCHECK_TEST(TstBatchRun)
#include "tst_batchrun.moc"
