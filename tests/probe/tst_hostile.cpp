#include "ipscan.h"
#include "testrunner.h"

#include <QTest>

// Hostile input to the probes: addresses the scan must refuse.
class TstHostileProbe : public QObject
{
    Q_OBJECT

private slots:
    void scanAddresses_data();
    void scanAddresses();
};

void TstHostileProbe::scanAddresses_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("message");
    const QString badStart = QStringLiteral("起始IP地址错误！");
    const QString badEnd = QStringLiteral("结束IP地址错误！");
    // clang-format off
    QTest::newRow("ipv6") << "::1" << "::1" << badStart;
    QTest::newRow("hexadecimal") << "0x7f.0.0.1" << "0x7f.0.0.0x10" << badStart;
    QTest::newRow("hexadecimal end") << "127.0.0.1" << "127.0.0.0x10" << badEnd;
    QTest::newRow("leading zero (octal to ping)") << "010.0.0.1" << "010.0.0.9" << badStart;
    QTest::newRow("leading zero in the last number") << "127.0.0.1" << "127.0.0.010" << badEnd;
    QTest::newRow("short form") << "127.1" << "127.9" << badStart;
    QTest::newRow("three numbers") << "127.0.0.1" << "127.0.9" << badEnd;
    QTest::newRow("sign") << "127.0.0.+1" << "127.0.0.9" << badStart;
    QTest::newRow("blank inside") << "127.0. 0.1" << "127.0.0.9" << badStart;
    QTest::newRow("full-width digit") << "127.0.0.１" << "127.0.0.9" << badStart;
    QTest::newRow("trailing dot") << "127.0.0.1" << "127.0.0.9." << badEnd;
    QTest::newRow("above 255") << "127.0.0.1" << "127.0.0.256" << badEnd;
    QTest::newRow("zero and 255, blanks around") << " 127.0.0.0\t" << "127.0.0.255 " << "";
    // clang-format on
}

void TstHostileProbe::scanAddresses()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, message);
    ScanRange range;
    QCOMPARE(checkScanRange(start, end, &range), message);
    if (message.isEmpty()) {
        QCOMPARE(range.prefix, QStringLiteral("127.0.0"));
        QCOMPARE(range.first, 0);
        QCOMPARE(range.last, 255);
    } else {
        QCOMPARE(range.last, -1); // nothing to probe
    }
}

NETCHECK_TEST(TstHostileProbe)
#include "tst_hostile.moc"
