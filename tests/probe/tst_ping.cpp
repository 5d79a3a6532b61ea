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
    void cleanup();
    void verdict_data();
    void verdict();
    void commandLine_data();
    void commandLine();
    void realLoopbackAnswers();
    void silentHostCostsOneWait();
    void otherKernelRunsNothing();
};

void TstPing::cleanup()
{
    setKernelTypeOverride(QString());
}

// Outputs as the tools print them (standard output only).
static const char iputilsReply[] = "PING 127.0.0.1 (127.0.0.1) 56(84) bytes of data.\n"
                                   "64 bytes from 127.0.0.1: icmp_seq=1 ttl=64 time=0.106 ms\n\n"
                                   "--- 127.0.0.1 ping statistics ---\n"
                                   "1 packets transmitted, 1 received, 0% packet loss, time 0ms\n"
                                   "rtt min/avg/max/mdev = 0.106/0.106/0.106/0.000 ms\n";
static const char iputilsLoss[] = "PING 192.0.2.7 (192.0.2.7) 56(84) bytes of data.\n\n"
                                  "--- 192.0.2.7 ping statistics ---\n"
                                  "1 packets transmitted, 0 received, 100% packet loss, time 0ms\n";
static const char iputilsUnreachable[] = "PING 192.0.2.9 (192.0.2.9) 56(84) bytes of data.\n"
                                         "From 192.0.2.1 icmp_seq=1 Destination Host Unreachable\n\n"
                                         "--- 192.0.2.9 ping statistics ---\n"
                                         "1 packets transmitted, 0 received, +1 errors, 100% packet loss, "
                                         "time 0ms\n";
static const char busyboxReply[] = "PING 127.0.0.1 (127.0.0.1): 56 data bytes\n"
                                   "64 bytes from 127.0.0.1: seq=0 ttl=64 time=0.052 ms\n\n"
                                   "--- 127.0.0.1 ping statistics ---\n"
                                   "1 packets transmitted, 1 packets received, 0% packet loss\n"
                                   "round-trip min/avg/max = 0.052/0.052/0.052 ms\n";
static const char busyboxLoss[] = "PING 192.0.2.7 (192.0.2.7): 56 data bytes\n\n"
                                  "--- 192.0.2.7 ping statistics ---\n"
                                  "1 packets transmitted, 0 packets received, 100% packet loss\n";
static const char chineseReply[] = "正在 Ping 127.0.0.1 具有 32 字节的数据:\n"
                                   "来自 127.0.0.1 的回复: 字节=32 时间<1ms TTL=128\n\n"
                                   "127.0.0.1 的 Ping 统计信息:\n"
                                   "    数据包: 已发送 = 1，已接收 = 1，丢失 = 0 (0% 丢失)，\n"
                                   "往返行程的估计时间(以毫秒为单位):\n"
                                   "    最短 = 0ms，最长 = 0ms，平均 = 0ms\n";
static const char chineseTimeout[] = "正在 Ping 192.0.2.7 具有 32 字节的数据:\n请求超时。\n\n"
                                     "192.0.2.7 的 Ping 统计信息:\n"
                                     "    数据包: 已发送 = 1，已接收 = 0，丢失 = 1 (100% 丢失)，\n";
static const char chineseUnreachable[] = "正在 Ping 192.0.2.9 具有 32 字节的数据:\n"
                                         "来自 192.0.2.1 的回复: 无法访问目标主机。\n\n"
                                         "192.0.2.9 的 Ping 统计信息:\n"
                                         "    数据包: 已发送 = 1，已接收 = 1，丢失 = 0 (0% 丢失)，\n";
static const char chineseUnknownHost[] = "Ping 请求找不到主机 nosuchhost。请检查该名称，然后重试。\n";
static const char englishReply[] = "Pinging 127.0.0.1 with 32 bytes of data:\n"
                                   "Reply from 127.0.0.1: bytes=32 time<1ms TTL=128\n\n"
                                   "Ping statistics for 127.0.0.1:\n"
                                   "    Packets: Sent = 1, Received = 1, Lost = 0 (0% loss),\n"
                                   "Approximate round trip times in milli-seconds:\n"
                                   "    Minimum = 0ms, Maximum = 0ms, Average = 0ms\n";
static const char englishUnreachable[] = "Pinging 192.0.2.9 with 32 bytes of data:\n"
                                         "Reply from 192.0.2.1: Destination host unreachable.\n\n"
                                         "Ping statistics for 192.0.2.9:\n"
                                         "    Packets: Sent = 1, Received = 1, Lost = 0 (0% loss),\n";
static const char englishTtlExpired[] = "Pinging 192.0.2.9 with 32 bytes of data:\n"
                                        "Reply from 192.0.2.1: TTL expired in transit.\n";
static const char frenchReply[] = "Envoi d’une requête 'Ping'  127.0.0.1 avec 32 octets de données :\n"
                                  "Réponse de 127.0.0.1 : octets=32 temps<1ms TTL=128\n\n"
                                  "Statistiques Ping pour 127.0.0.1:\n"
                                  "    Paquets : envoyés = 1, reçus = 1, perdus = 0 (perte 0%),\n"
                                  "Durée approximative des boucles en millisecondes :\n"
                                  "    Minimum = 0ms, Maximum = 0ms, Moyenne = 0ms\n";
static const char germanReply[] = "Ping wird ausgeführt für 127.0.0.1 mit 32 Bytes Daten:\n"
                                  "Antwort von 127.0.0.1: Bytes=32 Zeit<1ms TTL=128\n\n"
                                  "Ping-Statistik für 127.0.0.1:\n"
                                  "    Pakete: Gesendet = 1, Empfangen = 1, Verloren = 0\n"
                                  "    (0% Verlust),\n";
static const char germanUnreachable[] = "Ping wird ausgeführt für 192.0.2.9 mit 32 Bytes Daten:\n"
                                        "Antwort von 192.0.2.1: Zielhost nicht erreichbar.\n";
static const char chineseHeadingOnly[] = "往返行程的估计时间(以毫秒为单位):\n";

void TstPing::verdict_data()
{
    QTest::addColumn<QString>("kernel");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("expected");
    const QString ok = QStringLiteral("成功"), failed = QStringLiteral("失败");
    QTest::newRow("iputils reply") << "linux" << QString::fromUtf8(iputilsReply) << ok;
    QTest::newRow("iputils 100% loss") << "linux" << QString::fromUtf8(iputilsLoss) << failed;
    QTest::newRow("iputils unreachable, +1 errors")
        << "linux" << QString::fromUtf8(iputilsUnreachable) << failed;
    QTest::newRow("unknown host prints nothing") << "linux" << QString() << failed;
    QTest::newRow("busybox reply") << "linux" << QString::fromUtf8(busyboxReply) << ok;
    QTest::newRow("busybox loss") << "linux" << QString::fromUtf8(busyboxLoss) << failed;
    QTest::newRow("windows chinese reply") << "winnt" << QString::fromUtf8(chineseReply) << ok;
    QTest::newRow("windows chinese timeout") << "winnt" << QString::fromUtf8(chineseTimeout) << failed;
    QTest::newRow("windows chinese unreachable")
        << "winnt" << QString::fromUtf8(chineseUnreachable) << failed;
    QTest::newRow("windows chinese unknown host")
        << "winnt" << QString::fromUtf8(chineseUnknownHost) << failed;
    QTest::newRow("windows english reply") << "winnt" << QString::fromUtf8(englishReply) << ok;
    QTest::newRow("windows english unreachable, no TTL")
        << "winnt" << QString::fromUtf8(englishUnreachable) << failed;
    QTest::newRow("windows TTL expired in transit")
        << "winnt" << QString::fromUtf8(englishTtlExpired) << failed;
    QTest::newRow("windows french reply") << "winnt" << QString::fromUtf8(frenchReply) << ok;
    QTest::newRow("windows german reply") << "winnt" << QString::fromUtf8(germanReply) << ok;
    QTest::newRow("windows german unreachable") << "winnt" << QString::fromUtf8(germanUnreachable) << failed;
    QTest::newRow("windows cannot start ping") << "winnt" << QString() << failed;
    QTest::newRow("chinese heading is a sign on windows")
        << "winnt" << QString::fromUtf8(chineseHeadingOnly) << ok;
    QTest::newRow("chinese heading alone is no sign on linux")
        << "linux" << QString::fromUtf8(chineseHeadingOnly) << failed;
    QTest::newRow("neither kernel, even with a reply")
        << "freebsd" << QString::fromUtf8(iputilsReply) << failed;
    QTest::newRow("darwin is not windows") << "darwin" << QString::fromUtf8(chineseReply) << failed;
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
    QTest::newRow("linux waits one second, no name lookups") << "linux"
                                                             << "ping 127.0.0.1 -c 1 -W 1 -n";
    QTest::newRow("windows waits 1000 ms") << "winnt"
                                           << "ping 127.0.0.1 -n 1 -w 1000";
    QTest::newRow("neither runs nothing") << "freebsd"
                                          << "";
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
