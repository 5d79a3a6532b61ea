#include "check/clock.h"
#include "check/historyrecorder.h"
#include "check/notifyrecorder.h"
#include "check/notifysend.h"
#include "httptestserver.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageAuthenticationCode>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <QtTest>

namespace
{
const QDateTime kStart(QDate(2024, 12, 7), QTime(10, 42));
const QString kSecret = "SEC+测试/密钥=";

QByteArray hmac(const QByteArray &key, const QByteArray &text)
{
    return QMessageAuthenticationCode::hash(text, key, QCryptographicHash::Sha256).toBase64();
}

// What a robot or the hook checks of a request, as its documentation says; empty when right.
QString violation(const QString &kind, const HttpTestRequest &r, const QDateTime &now)
{
    if (!r.head.startsWith("POST ")
        || !r.head.toLower().contains("\r\ncontent-type: application/json; charset=utf-8\r\n"))
        return "not a JSON POST";
    const QJsonObject o = QJsonDocument::fromJson(r.body).object();
    const QString text = o["text"]["content"].toString() + o["content"]["text"].toString();
    if (kind != "json" && (text.isEmpty() || text.toUtf8().size() > kNotifyMessageMaxBytes))
        return "no text, or too long";
    if (kind == "dingtalk" || kind == "wecom") {
        // Base64's "+", "/" and "=" must come escaped: decoded as a form is, a "+" is a blank.
        const QUrlQuery q(QUrl(r.target).query());
        const QByteArray ms = q.queryItemValue("timestamp").toLatin1(),
                         raw = q.queryItemValue("sign", QUrl::FullyEncoded).toLatin1();
        const QByteArray sign = QByteArray::fromPercentEncoding(QByteArray(raw).replace('+', ' '));
        if (o["msgtype"] != "text" || raw.contains('=') || raw.contains('/')
            || (kind == "dingtalk" && sign != hmac(kSecret.toUtf8(), ms + "\n" + kSecret.toUtf8()))
            || (kind == "dingtalk" && ms.toLongLong() != now.toMSecsSinceEpoch()))
            return "wrong body or signature: " + r.target;
    } else if (kind == "feishu") {
        const QByteArray s = o["timestamp"].toString().toLatin1();
        if (o["msg_type"] != "text" || s.toLongLong() != now.toSecsSinceEpoch()
            || o["sign"].toString().toLatin1() != hmac(s + "\n" + kSecret.toUtf8(), {}))
            return "wrong body or signature";
    } else {
        const QJsonObject c = o["changes"].toArray().first().toObject();
        for (const QString &time : { c["since"].toString(), o["time"].toString() }) {
            if (!QDateTime::fromString(time, Qt::ISODate).isValid() || !time.contains('+'))
                return "not ISO 8601 with offset: " + time;
        }
        if (c["alias"].toString().isEmpty() || o["host"].toString().isEmpty()
            || (c["verdict"] != "fail" && c["verdict"] != "ok"))
            return "wrong body";
    }
    return {};
}

// A run of lines named 甲, 乙, 线路2 ... (F fails, P passes) into the history of the folder, told
// as its settings file says; the troubles of telling are counted.
RunRecorders *startRun(const QString &folder, const QString &verdicts, int *reported)
{
    auto *recorders = new RunRecorders;
    auto *history = new HistoryRecorder(folder + "/history.sqlite");
    recorders->add(history);
    recorders->add(new NotifyRecorder(history, folder + "/netcheck.ini"));
    QObject::connect(recorders, &RunRecorders::trouble,
        [reported](RunTrouble kind) { *reported += kind == RunTrouble::Notify; });
    recorders->begin({}, currentTime());
    for (int i = 0; i < verdicts.size(); ++i) {
        const QString alias = i < 2 ? QString(QString("甲乙")[i]) : QString("线路%1").arg(i);
        recorders->record({ { "CMD", "ping x", alias, "ok", "机房" },
            verdicts[i] == 'F' ? Verdict::Failed : Verdict::Passed, {}, {}, currentTime() });
    }
    recorders->finish(0);
    return recorders;
}

void writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}
} // namespace

class TstNotify : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void cleanup() { setFixedClock(QDateTime()); }

    void notify_data()
    {
        QTest::addColumn<QString>("ini"); // %1: the robot's address, %2: a folder of the test
        QTest::addColumn<QStringList>("runs"); // one letter per line: F fails, P passes
        QTest::addColumn<QByteArray>("answer"); // the robot's; empty: it never answers
        QTest::addColumn<QString>("sends"); // messages taken after each run (requests, or by the command)
        QTest::addColumn<int>("troubles");
        QTest::addColumn<QString>("said"); // in the last message
        const QString json = "[notify]\nkind=json\nurl=%1/hook\ndown_after=2\n";
        const QString wecom = "[notify]\nkind=wecom\nurl=%1/send?key=k\n";
        const QString command = "[notify]\ncommand=\"sh -c \\\"cat >> %2/got; exit %3\\\"\"\n";
        const QByteArray ok = "{\"errcode\":0,\"errmsg\":\"ok\"}";
        QTest::newRow("no notify section") << "[metrics]\nfile=a.prom\n"
                                           << QStringList { "F" } << ok << "0" << 0 << "";
        QTest::newRow("down after two: down down down up")
            << json << QStringList { "F", "F", "F", "P" } << ok << "0101" << 0 << "\"verdict\":\"ok\"";
        QTest::newRow("back after two: one pass is a blip")
            << wecom + "up_after=2\n"
            << QStringList { "F", "P", "F", "P", "P" } << ok << "10001" << 0
            << "甲（机房）：恢复正常，自 12月07日 10:45 起";
        QTest::newRow("two lines in one run, one message")
            << wecom << QStringList { "FP", "FF" } << ok << "11" << 0
            << "乙（机房）：异常，未找到成功字符“ok”";
        QTest::newRow("dingtalk signed")
            << "[notify]\nkind=dingtalk\nsecret=" + kSecret + "\nurl=%1/robot/send?access_token=t\n"
            << QStringList { "F" } << ok << "1" << 0 << "甲（机房）：异常，未找到成功字符“ok”";
        QTest::newRow("feishu signed")
            << "[notify]\nkind=feishu\nsecret=" + kSecret + "\nurl=%1/open-apis/bot/v2/hook/t\n"
            << QStringList { "F", "P" } << QByteArray("{\"StatusCode\":0}") << "11" << 0 << "恢复正常";
        QTest::newRow("robot refuses: tried twice, told again next run")
            << wecom << QStringList { "F", "F" } << QByteArray("{\"errcode\":93000}") << "22" << 2 << "异常";
        QTest::newRow("hanging hook")
            << json << QStringList { "F", "F" } << QByteArray() << "02" << 1 << "\"fail\"";
        QTest::newRow("wrong kind") << "[notify]\nkind=slack\nurl=%1/\n"
                                    << QStringList { "F" } << ok << "0" << 1 << "";
        QTest::newRow("url without scheme, command not run either")
            << QString(command).replace("%3", "0") + "kind=json\nurl=127.0.0.1/\n"
            << QStringList { "F" } << ok << "0" << 1 << "";
        QTest::newRow("down_after=0") << json + "down_after=0\n"
                                      << QStringList { "F" } << ok << "0" << 1 << "";
        QTest::newRow("command reads the message")
            << QString(command).replace("%3", "0") << QStringList { "P", "F" } << ok << "01" << 0
            << "甲（机房）：异常，未找到成功字符“ok”，自 12月07日 10:43 起";
        QTest::newRow("command fails, never run twice")
            << QString(command).replace("%3", "3") << QStringList { "F" } << ok << "1" << 1 << "异常";
        QTest::newRow("hanging command") << "[notify]\ncommand=sleep 30\n"
                                         << QStringList { "F" } << ok << "0" << 1 << "";
        QTest::newRow("2,000-byte cut")
            << wecom << QStringList { QString(60, 'F') } << ok << "1" << 0 << "\n……另有 39 项";
    }
    void notify()
    {
        QFETCH(QString, ini);
        QFETCH(QStringList, runs);
        QFETCH(QByteArray, answer);
        QFETCH(QString, sends);
        QFETCH(int, troubles);
        QFETCH(QString, said);
        HttpTestServer robot;
        robot.route("/hook",
            { 200, {}, answer, answer.isEmpty() ? HttpTestReply::NeverAnswer : HttpTestReply::Answer });
        for (const char *path : { "/send", "/robot/send", "/open-apis/bot/v2/hook/t" })
            robot.route(path, { 200, {}, answer });
        QTemporaryDir dir;
        const QString got = dir.filePath("got");
        writeFile(
            dir.filePath("netcheck.ini"), QString(ini).replace("%1", robot.url()).replace("%2", dir.path()));
        setNotifyBounds(1000, 200, 1000);
        const QString kind = QRegularExpression("kind=(\\w+)").match(ini).captured(1);

        auto fromCommand = [&] {
            QFile file(got);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        QString taken;
        int reported = 0, before = 0;
        for (int run = 0; run < runs.size(); ++run) {
            setFixedClock(kStart.addSecs(60 * run));
            const std::unique_ptr<RunRecorders> recorders(startRun(dir.path(), runs[run], &reported));
            QTRY_VERIFY_WITH_TIMEOUT(recorders->isDone(), notifySendMs() + 5000);
            for (int i = before; i < robot.requests.size(); ++i)
                QVERIFY2(violation(kind, robot.requests[i], currentTime()).isEmpty(),
                    robot.requests[i].body.constData());
            const int count = robot.requests.size() + QString::fromUtf8(fromCommand()).count("【网络检测】");
            taken += QString::number(count - before);
            before = count;
        }
        QCOMPARE(taken, sends);
        QCOMPARE(reported, troubles);
        const QByteArray body = robot.requests.isEmpty() ? fromCommand() : robot.requests.last().body;
        const QJsonObject o = QJsonDocument::fromJson(body).object();
        const QString last = kind == "json" || kind.isEmpty()
            ? QString::fromUtf8(body)
            : o["text"]["content"].toString() + o["content"]["text"].toString();
        QVERIFY2(last.contains(said), qPrintable(last.right(300)));
    }

    // In the window a run may end while the last run's message is still on its way.
    void runWhileSending()
    {
        HttpTestServer robot;
        robot.route("/hook", { 200, {}, "{}", HttpTestReply::Answer, 0, 500 });
        QTemporaryDir dir;
        writeFile(dir.filePath("netcheck.ini"), "[notify]\nkind=json\nurl=" + robot.url("/hook"));
        int reported = 0;
        setFixedClock(kStart);
        const std::unique_ptr<RunRecorders> first(startRun(dir.path(), "F", &reported));
        setFixedClock(kStart.addSecs(60));
        const std::unique_ptr<RunRecorders> second(startRun(dir.path(), "F", &reported));
        QTRY_VERIFY(first->isDone() && second->isDone());
        QCOMPARE(robot.requests.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TstNotify)
#include "tst_notify.moc"
