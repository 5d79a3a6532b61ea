#include "fakeping.h"
#include "ping.h"
#include "platform.h"
#include "testrunner.h"

#include <QElapsedTimer>
#include <QTest>

class TstPing : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { setKernelTypeOverride(QString()); }
    void verdict_data();
    void verdict();
    void commandLine_data();
    void commandLine();
    void realLoopbackAnswers();
    void silentHostCostsOneWait();
    void otherKernelRunsNothing();
};

void TstPing::verdict_data()
{
    QTest::addColumn<QString>("kernel");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("expected");
    // Standard output as the tools print it (summary lines shortened where they do not matter).
    // clang-format off
    const char *ok = "成功", *failed = "失败";
    const struct { const char *name, *kernel, *output, *expected; } rows[] = {
        {"iputils reply", "linux", "PING 127.0.0.1 (127.0.0.1) 56(84) bytes of data.\n"
            "64 bytes from 127.0.0.1: icmp_seq=1 ttl=64 time=0.106 ms\n\n--- 127.0.0.1 ping statistics ---\n"
            "1 packets transmitted, 1 received, 0% packet loss, time 0ms\n"
            "rtt min/avg/max/mdev = 0.106/0.106/0.106/0.000 ms\n", ok},
        {"iputils 100% loss", "linux", "PING 192.0.2.7 (192.0.2.7) 56(84) bytes of data.\n\n"
            "--- 192.0.2.7 ping statistics ---\n1 packets transmitted, 0 received, 100% packet loss, time 0ms\n", failed},
        {"iputils unreachable, +1 errors", "linux", "PING 192.0.2.9 (192.0.2.9) 56(84) bytes of data.\n"
            "From 192.0.2.1 icmp_seq=1 Destination Host Unreachable\n\n--- 192.0.2.9 ping statistics ---\n"
            "1 packets transmitted, 0 received, +1 errors, 100% packet loss, time 0ms\n", failed},
        {"unknown host prints nothing", "linux", "", failed},
        {"busybox reply", "linux", "PING 127.0.0.1 (127.0.0.1): 56 data bytes\n"
            "64 bytes from 127.0.0.1: seq=0 ttl=64 time=0.052 ms\n\n--- 127.0.0.1 ping statistics ---\n"
            "1 packets transmitted, 1 packets received, 0% packet loss\n", ok},
        {"busybox loss", "linux", "PING 192.0.2.7 (192.0.2.7): 56 data bytes\n\n--- 192.0.2.7 ping statistics ---\n"
            "1 packets transmitted, 0 packets received, 100% packet loss\n", failed},
        {"windows chinese reply", "winnt", "正在 Ping 127.0.0.1 具有 32 字节的数据:\n"
            "来自 127.0.0.1 的回复: 字节=32 时间<1ms TTL=128\n\n127.0.0.1 的 Ping 统计信息:\n"
            "    数据包: 已发送 = 1，已接收 = 1，丢失 = 0 (0% 丢失)，\n往返行程的估计时间(以毫秒为单位):\n"
            "    最短 = 0ms，最长 = 0ms，平均 = 0ms\n", ok},
        {"windows chinese unreachable", "winnt", "正在 Ping 192.0.2.9 具有 32 字节的数据:\n"
            "来自 192.0.2.1 的回复: 无法访问目标主机。\n\n192.0.2.9 的 Ping 统计信息:\n"
            "    数据包: 已发送 = 1，已接收 = 1，丢失 = 0 (0% 丢失)，\n", failed},
        {"windows english reply", "winnt", "Pinging 127.0.0.1 with 32 bytes of data:\n"
            "Reply from 127.0.0.1: bytes=32 time<1ms TTL=128\n\nPing statistics for 127.0.0.1:\n"
            "    Packets: Sent = 1, Received = 1, Lost = 0 (0% loss),\n", ok},
        {"windows english unreachable, no TTL", "winnt", "Pinging 192.0.2.9 with 32 bytes of data:\n"
            "Reply from 192.0.2.1: Destination host unreachable.\n\nPing statistics for 192.0.2.9:\n"
            "    Packets: Sent = 1, Received = 1, Lost = 0 (0% loss),\n", failed},
        {"windows TTL expired in transit", "winnt", "Pinging 192.0.2.9 with 32 bytes of data:\n"
            "Reply from 192.0.2.1: TTL expired in transit.\n", failed},
        {"windows french reply", "winnt", "Envoi d’une requête 'Ping'  127.0.0.1 avec 32 octets de données :\n"
            "Réponse de 127.0.0.1 : octets=32 temps<1ms TTL=128\n", ok},
        {"windows german reply", "winnt", "Ping wird ausgeführt für 127.0.0.1 mit 32 Bytes Daten:\n"
            "Antwort von 127.0.0.1: Bytes=32 Zeit<1ms TTL=128\n", ok},
        {"windows german unreachable", "winnt", "Ping wird ausgeführt für 192.0.2.9 mit 32 Bytes Daten:\n"
            "Antwort von 192.0.2.1: Zielhost nicht erreichbar.\n", failed},
        {"chinese heading is a sign on windows", "winnt", "往返行程的估计时间(以毫秒为单位):\n", ok},
        {"chinese heading alone is no sign on linux", "linux", "往返行程的估计时间(以毫秒为单位):\n", failed},
        {"neither kernel, even with a reply", "freebsd", "64 bytes from 127.0.0.1: icmp_seq=1 ttl=64\n", failed},
    };
    // clang-format on
    for (const auto &row : rows)
        QTest::newRow(row.name) << row.kernel << QString::fromUtf8(row.output)
                                << QString::fromUtf8(row.expected);
}

void TstPing::verdict()
{
    QFETCH(QString, kernel);
    QFETCH(QString, output);
    QFETCH(QString, expected);
    QCOMPARE(pingVerdict(platformOf(kernel), output), expected);
    QCOMPARE(pingVerdict(platformOf(kernel), output.trimmed()), expected);
}

void TstPing::commandLine_data()
{
    QTest::addColumn<QString>("kernel");
    QTest::addColumn<QString>("expected");
    // clang-format off
    QTest::newRow("linux waits one second, no name lookups") << "linux" << "ping 127.0.0.1 -c 1 -W 1 -n";
    QTest::newRow("windows waits 1000 ms") << "winnt" << "ping 127.0.0.1 -n 1 -w 1000";
    // clang-format on
}

void TstPing::commandLine()
{
    QFETCH(QString, kernel);
    QFETCH(QString, expected);
    QCOMPARE(pingCommandLine(platformOf(kernel), QStringLiteral("127.0.0.1")), expected);
}

void TstPing::realLoopbackAnswers()
{
    QCOMPARE(pingHost(QStringLiteral("127.0.0.1")), QStringLiteral("成功"));
}

void TstPing::silentHostCostsOneWait()
{
    FakePing fake({}, 1);
    QVERIFY(fake.active());
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(pingHost(QStringLiteral("127.0.1.9")), QStringLiteral("失败"));
    QCOMPARE(fake.calls(), QStringList { QStringLiteral("127.0.1.9") });
    QVERIFY2(clock.elapsed() < kPingProcessBoundMs, "the probe outlived its bound");
}

void TstPing::otherKernelRunsNothing()
{
    FakePing fake({ QStringLiteral("127.0.1.9") });
    QVERIFY(fake.active());
    setKernelTypeOverride(QStringLiteral("darwin"));
    QCOMPARE(pingHost(QStringLiteral("127.0.1.9")), QStringLiteral("失败"));
    QCOMPARE(fake.calls(), QStringList());
}

NETCHECK_TEST(TstPing)
#include "tst_ping.moc"
