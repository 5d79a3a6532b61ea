#include "platform.h"
#include "sysinfo.h"
#include "testrunner.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>

Q_DECLARE_METATYPE(QList<InterfaceFacts>)

namespace
{
QString row(const QString &key, const QString &value)
{
    return QStringLiteral("<tr><td>") + key + QStringLiteral("</td><td>") + value
        + QStringLiteral("</td></tr>");
}

const QString kHeader = QStringLiteral("<tr><th>IP地址</th><th>子网掩码</th><th>MAC</th></tr>");

// Lines of the report as a Chinese Windows 10 prints it: labels padded to one column,
// continuation lines indented, the first line empty, the organisation line ending in blanks.
const char *const kReport = R"(
主机名:           DESKTOP-3K7QF2M
OS 名称:          Microsoft Windows 10 专业版
注册的组织:       
产品 ID:          00331-10000-00001-AA123
处理器:           安装了 1 个处理器。
                  [01]: Intel64 Family 6 Model 165 Stepping 3 GenuineIntel ~2904 Mhz
虚拟内存: 最大值: 18,668 MB
虚拟内存: 可用:   11,025 MB
登录服务器:       \\DESKTOP-3K7QF2M
网卡:             安装了 1 个 NIC。
                  [01]: TP-Link Wireless USB Adapter <AC600> & Co
                        连接名:      WLAN
)";

QString reportRows()
{
    return row("主机名:", "DESKTOP-3K7QF2M") + row("OS名称:", "Microsoft Windows 10 专业版")
        + row("注册的组织:", "") + row("产品", "ID: 00331-10000-00001-AA123")
        + row("处理器:<br>",
            "安装了 1 个处理器。<br>[01]: Intel64 Family 6 Model 165 Stepping 3 GenuineIntel ~2904 Mhz")
        + row("虚拟内存:", "最大值: 18,668 MB<br>可用: 11,025 MB") + row("登录服务器:", "\\\\DESKTOP-3K7QF2M")
        + row("网卡:<br><br>",
            "安装了 1 个 NIC。<br>[01]: TP-Link Wireless USB Adapter &lt;AC600&gt; &amp; Co<br>连接名: WLAN");
}

QNetworkAddressEntry entry(const QString &ip, const QString &netmask)
{
    QNetworkAddressEntry address;
    address.setIp(QHostAddress(ip));
    address.setNetmask(QHostAddress(netmask));
    return address;
}
} // namespace

class TstSysInfo : public QObject
{
    Q_OBJECT

private slots:
    void reportRows_data();
    void reportRows();
    void systeminfoTool();
    void interfaceRows_data();
    void interfaceRows();
    void interfacesOfThisMachine();
};

void TstSysInfo::reportRows_data()
{
    QTest::addColumn<QString>("report");
    QTest::addColumn<QString>("expected");

    // clang-format off
    QTest::newRow("chinese report") << QString::fromUtf8(kReport) << ::reportRows();
    QTest::newRow("line without blanks") << "WORKGROUP" << row("WORKGROUP", "WORKGROUP");
    QTest::newRow("line without blanks joins its label") << "域: 甲\n域:" << row("域:", "甲<br>域:");
    QTest::newRow("blank lines ignored") << "\n主机名: PC-01\n\n   \n \t \n域: WORKGROUP\n\n"
                                         << row("主机名:", "PC-01") + row("域:", "WORKGROUP");
    QTest::newRow("indented lines before the first label dropped")
        << "   [01]: stray\n   [02]: stray\n主机名: PC-01" << row("主机名:", "PC-01");
    QTest::newRow("markup in a label escaped") << "<td>&: x" << row("&lt;td&gt;&amp;:", "x");
    QTest::newRow("percent signs kept") << "负载: 100%1 %2" << row("负载:", "100%1 %2");
    QTest::newRow("empty report") << "" << row("", "");
    // clang-format on
}

void TstSysInfo::reportRows()
{
    QFETCH(QString, report);
    QFETCH(QString, expected);
    QCOMPARE(systemInfoRows(report), expected);
}

// A stand-in "systeminfo" on PATH prints its report in the Chinese console code page.
void TstSysInfo::systeminfoTool()
{
    QTemporaryDir bin;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin.path()) + ":/bin:/usr/bin");
    setKernelTypeOverride(QStringLiteral("winnt"));
    QCOMPARE(systemInfoTable(), row("", "")); // tool missing
    QFile report(bin.filePath(QStringLiteral("report.txt")));
    QVERIFY(report.open(QIODevice::WriteOnly));
    report.write(QTextCodec::codecForName("GBK")->fromUnicode(
        QStringLiteral("\r\n主机名:           PC-01\r\nOS 名称:          Microsoft Windows 10 专业版\r\n")));
    report.close();
    QFile tool(bin.filePath(QStringLiteral("systeminfo")));
    QVERIFY(tool.open(QIODevice::WriteOnly));
    tool.write("#!/bin/sh\nexec cat \"$(dirname \"$0\")/report.txt\"\n");
    tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    tool.close();
    const QString rows = systemInfoTable();
    setKernelTypeOverride(QString());
    qputenv("PATH", path);
    QCOMPARE(rows, row("主机名:", "PC-01") + row("OS名称:", "Microsoft Windows 10 专业版"));
}

void TstSysInfo::interfaceRows_data()
{
    QTest::addColumn<QList<InterfaceFacts>>("interfaces");
    QTest::addColumn<QString>("expected");

    const QString mac = QStringLiteral("52:54:00:12:34:56");
    const QString wifiMac = QStringLiteral("3C:A9:F4:00:11:22");
    const auto lan = entry("192.0.2.23", "255.255.255.0");
    const auto v6 = entry("fe80::5054:ff:fe12:3456", "ffff:ffff:ffff:ffff::");
    const QString lanRow
        = QStringLiteral("<tr><td>192.0.2.23</td><td>255.255.255.0</td><td>%1</td></tr>").arg(mac);

    const QString wifiRow = "<tr><td>192.0.2.7</td><td>255.255.255.0</td><td>" + wifiMac + "</td></tr>";
    const InterfaceFacts wifi { wifiMac, false, { entry("192.0.2.7", "255.255.255.0") } };
    using L = QList<InterfaceFacts>;
    // clang-format off
    QTest::newRow("rows separated by line feeds") << L { { mac, false, { lan } }, wifi }
                                                  << kHeader + "\n" + lanRow + "\n" + wifiRow;
    QTest::newRow("two IPv4 addresses, last wins")
        << L { { mac, false, { entry("198.51.100.9", "255.255.0.0"), lan } } } << kHeader + "\n" + lanRow;
    QTest::newRow("IPv6 after IPv4 ignored") << L { { mac, false, { lan, v6 } } } << kHeader + "\n" + lanRow;
    QTest::newRow("IPv6 only: no row") << L { { mac, false, { v6 } }, wifi } << kHeader + "\n" + wifiRow;
    QTest::newRow("no hardware address") << L { { "", false, { lan } } } << kHeader;
    QTest::newRow("loopback flag") << L { { mac, true, { lan } } } << kHeader;
    QTest::newRow("all-zero hardware address") << L { { "00:00:00:00:00:00", false, { lan } } } << kHeader;
    // clang-format on
}

void TstSysInfo::interfaceRows()
{
    QFETCH(QList<InterfaceFacts>, interfaces);
    QFETCH(QString, expected);
    QCOMPARE(::interfaceRows(interfaces), expected);
}

// Rows of this machine: IPv4 addresses and real hardware addresses, no loopback.
void TstSysInfo::interfacesOfThisMachine()
{
    const QStringList lines = interfaceTable().split(QLatin1Char('\n'));
    QCOMPARE(lines.first(), kHeader);
    const QRegularExpression wellFormed(QStringLiteral(
        "^<tr><td>(?!127\\.)[\\d.]+</td><td>[\\d.]+</td><td>(?!(0|:)+<)[0-9A-F:]+</td></tr>$"));
    for (const QString &line : lines.mid(1))
        QVERIFY2(wellFormed.match(line).hasMatch(), qPrintable(line));
}

NETCHECK_TEST(TstSysInfo)
#include "tst_sysinfo.moc"
