#include "appdir.h"
#include "fakeping.h"
#include "fromlanrik.h"
#include "ipscan.h"
#include "messagebox.h"
#include "recordedboxes.h"
#include "testrunner.h"

#include <QHostInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <memory>

// A scan of a few addresses ends well within this.
constexpr int kScanEndsWithinMs = 30 * 1000;

// The window with a throw-away application folder, driven through its IP search tab.
struct ScanWindow
{
    ScanWindow() { setAppDirOverride(dir.path()); }
    ~ScanWindow()
    {
        window.reset();
        setAppDirOverride(QString());
    }
    template<class T>
    T *child(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    void scan(const QString &from, const QString &to)
    {
        child<QLineEdit>("txtSIPadd")->setText(from);
        child<QLineEdit>("txtEIPadd")->setText(to);
        QTest::mouseClick(scanButton, Qt::LeftButton);
    }
    bool running() const { return !scanButton->isEnabled(); }
    // "IP|计算机名|MAC" per item, depth first, children indented.
    QStringList rows() const
    {
        QStringList rows;
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            rows << QString((*it)->parent() ? "  " : "") + (*it)->text(0) + '|' + (*it)->text(1) + '|'
                    + (*it)->text(2);
        return rows;
    }

    QTemporaryDir dir;
    std::unique_ptr<fromlanrik> window = std::make_unique<fromlanrik>();
    QPushButton *scanButton = child<QPushButton>("cmdScanIP");
    QTreeWidget *tree = child<QTreeWidget>("treeWidgetIpScan");
    QTextEdit *log = child<QTextEdit>("txtJG");
};

// The log shows the newest line first.
static QString logOf(const QStringList &linesOldestFirst)
{
    QString log;
    for (const QString &line : linesOldestFirst)
        log.prepend(line + QLatin1Char('\n'));
    return log;
}

class TstIpScan : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        MessageBox::startRecording();
        setNameLookupOverride([](const QString &address) { return "host-" + address.section('.', -1); });
    }
    void cleanup()
    {
        MessageBox::stopRecording();
        setNameLookupOverride(nullptr);
    }
    void validation_data();
    void validation();
    void macTables_data();
    void macTables();
    void realLoopbackScan();
    void resultsInOrderWithoutDuplicates();
    void windowStaysResponsive();
};

void TstIpScan::validation_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("message");
    // clang-format off
    QTest::newRow("bad start") << "127.0.1.x" << "127.0.1.5" << "起始IP地址错误！";
    QTest::newRow("bad start and bad end") << "127.0.1.256" << "" << "起始IP地址错误！";
    QTest::newRow("bad end") << "127.0.1.1" << "127.0.1.300" << "结束IP地址错误！";
    QTest::newRow("shortened end beyond one subnet") << "127.0.1.1" << "127.65535" << "结束IP地址错误！";
    QTest::newRow("different subnets") << "127.0.1.1" << "127.0.2.5" << "起始和结束IP地址不在一个网段里！";
    QTest::newRow("same numbers, different text") << "127.0.1.1" << "127.000.1.5" << "结束IP地址错误！";
    QTest::newRow("start above end: nothing, silently") << "127.0.1.9" << "127.0.1.3" << "";
    // clang-format on
}

void TstIpScan::validation()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, message);
    FakePing fake({});
    QVERIFY(fake.active());
    ScanWindow w;
    w.log->setPlainText(QStringLiteral("earlier log"));
    w.scan(start, end);
    QTRY_VERIFY(!w.running());
    QCOMPARE(takeRecordedBoxes(),
        message.isEmpty() ? QStringList() : QStringList { "information fromlanrik 提示信息: " + message });
    QCOMPARE(w.log->toPlainText(), message.isEmpty() ? QString() : QStringLiteral("earlier log"));
    QCOMPARE(fake.calls(), QStringList());
    QCOMPARE(w.tree->topLevelItemCount(), 0);
}

void TstIpScan::macTables_data()
{
    QTest::addColumn<bool>("procTable");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("mac");
    // clang-format off
    const QString proc = QStringLiteral(
        "IP address       HW type     Flags       HW address            Mask     Device\n"
        "192.0.2.10       0x1         0x2         02:00:5e:10:00:0a     *        eth0\n"
        "192.0.2.1        0x1         0x2         02:00:5e:10:00:01     *        eth0\n"
        "192.0.2.7        0x1         0x0         00:00:00:00:00:00     *        eth0\n");
    const QString english = QStringLiteral(
        "\nInterface: 192.0.2.50 --- 0xb\n"
        "  Internet Address      Physical Address      Type\n"
        "  192.0.2.1             02-00-5e-10-00-01     dynamic\n"
        "\nInterface: 198.51.100.4 --- 0xc\n"
        "  Internet Address      Physical Address      Type\n"
        "  192.0.2.1             02-00-5e-99-99-99     dynamic\n");
    const QString chinese = QStringLiteral(
        "\n接口: 192.0.2.50 --- 0xb\n"
        "  Internet 地址         物理地址              类型\n"
        "  192.0.2.1             02-00-5e-10-00-01     动态\n");
    QTest::newRow("proc: entry after one sharing its start") << true << proc << "192.0.2.1" << "02:00:5e:10:00:01";
    QTest::newRow("proc: incomplete entry") << true << proc << "192.0.2.7" << "";
    QTest::newRow("proc: entry in the header line") << true << "192.0.2.1 0x1 0x2 02:00:5e:10:00:01" << "192.0.2.1" << "";
    QTest::newRow("arp: first interface wins") << false << english << "192.0.2.1" << "02-00-5e-10-00-01";
    QTest::newRow("arp: chinese listing") << false << chinese << "192.0.2.1" << "02-00-5e-10-00-01";
    QTest::newRow("arp: interface line is no entry") << false << english << "192.0.2.50" << "";
    // clang-format on
}

void TstIpScan::macTables()
{
    QFETCH(bool, procTable);
    QFETCH(QString, text);
    QFETCH(QString, address);
    QFETCH(QString, mac);
    QCOMPARE(procTable ? macFromProcNetArp(text, address) : macFromArpListing(text, address), mac);
}

void TstIpScan::realLoopbackScan()
{
    // Only 127.0.0.1 goes to the resolver: the hosts file answers it, while any other
    // address would be asked of a name server.
    setNameLookupOverride([](const QString &address) {
        return address == "127.0.0.1" ? reverseHostName(address, kHostDetailsBoundMs) : QString();
    });
    ScanWindow w;
    w.scan(QStringLiteral("127.0.0.1"), QStringLiteral("127.0.0.5"));
    QVERIFY(w.running());
    QTRY_VERIFY_WITH_TIMEOUT(!w.running(), kScanEndsWithinMs);

    const QString systemName
        = hostNameFromLookup("127.0.0.1", QHostInfo::fromName(QStringLiteral("127.0.0.1")));
    QStringList lines, rows { "127.0.0||", "  127.0.0.1|" + systemName + "|" };
    for (int n = 1; n <= 5; ++n) {
        lines << QStringLiteral("Ping 127.0.0.%1 >> 成功").arg(n);
        if (n > 1)
            rows << QStringLiteral("  127.0.0.%1||").arg(n);
    }
    QCOMPARE(w.log->toPlainText(), logOf(lines));
    QCOMPARE(w.rows(), rows);
}

// Later addresses answer at once while earlier ones stay silent: results still show in
// address order. Later scans add no duplicates: .1 stops answering but stays listed, .4
// answers again, .3 is new and goes last; another prefix gets its own subnet item.
void TstIpScan::resultsInOrderWithoutDuplicates()
{
    ScanWindow w;
    {
        FakePing fake({ "127.0.1.1", "127.0.1.4", "127.0.1.5" });
        QVERIFY(fake.active());
        w.scan(QStringLiteral(" 127.0.1.1\t"), QStringLiteral("  127.0.1.6 ")); // blanks do not matter
        // The log grows while the silent ones are still waited for.
        QTRY_COMPARE(w.log->toPlainText(), logOf({ "Ping 127.0.1.1 >> 成功" }));
        QVERIFY(w.running());
        QTRY_VERIFY_WITH_TIMEOUT(!w.running(), kScanEndsWithinMs);
        QCOMPARE(w.log->toPlainText(),
            logOf({ "Ping 127.0.1.1 >> 成功", "Ping 127.0.1.2 >> 失败", "Ping 127.0.1.3 >> 失败",
                "Ping 127.0.1.4 >> 成功", "Ping 127.0.1.5 >> 成功", "Ping 127.0.1.6 >> 失败" }));
        QCOMPARE(fake.calls().size(), 6);
    }
    const QList<QStringList> scans = { { "127.0.1.1", "127.0.1.4", "127.0.1.3", "127.0.1.4" },
        { "127.0.2.2", "127.0.2.2", "127.0.2.2" } };
    for (const QStringList &scan : scans) { // from, to, the answering ones
        FakePing fake(scan.mid(2), 0);
        QVERIFY(fake.active());
        w.scan(scan.at(0), scan.at(1));
        QTRY_VERIFY_WITH_TIMEOUT(!w.running(), kScanEndsWithinMs);
    }
    QCOMPARE(w.rows(),
        QStringList({ "127.0.1||", "  127.0.1.1|host-1|", "  127.0.1.4|host-4|", "  127.0.1.5|host-5|",
            "  127.0.1.3|host-3|", "127.0.2||", "  127.0.2.2|host-2|" }));
}

void TstIpScan::windowStaysResponsive()
{
    FakePing fake({ "127.0.1.1" }, 1);
    QVERIFY(fake.active());
    ScanWindow w;
    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(50);

    w.scan(QStringLiteral("127.0.1.1"), QStringLiteral("127.0.1.3"));
    QVERIFY(w.running());
    auto *clearButton = w.child<QPushButton>("cmdClearTree");
    QVERIFY(!clearButton->isEnabled());
    // A second scan cannot start, neither by a click nor by calling the slot.
    w.scan(QStringLiteral("127.0.1.1"), QStringLiteral("127.0.1.9"));
    QVERIFY(QMetaObject::invokeMethod(w.window.get(), "on_cmdScanIP_clicked"));
    // Clearing waits for the end of the scan.
    QVERIFY(QMetaObject::invokeMethod(w.window.get(), "on_cmdClearTree_clicked"));
    QTRY_COMPARE(w.tree->topLevelItemCount(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(!w.running(), kScanEndsWithinMs);

    QVERIFY(ticks > 0);
    QVERIFY(clearButton->isEnabled());
    QCOMPARE(fake.calls(), QStringList({ "127.0.1.1", "127.0.1.2", "127.0.1.3" }));
    QCOMPARE(w.tree->topLevelItemCount(), 0);
    QCOMPARE(w.tree->headerItem()->text(1), QStringLiteral("计算机名"));
    QCOMPARE(w.log->toPlainText(),
        logOf({ "Ping 127.0.1.1 >> 成功", "Ping 127.0.1.2 >> 失败", "Ping 127.0.1.3 >> 失败" }));

    // Closing during a scan: results of the probes still running have nowhere to go.
    w.scan(QStringLiteral("127.0.1.1"), QStringLiteral("127.0.1.20"));
    QVERIFY(w.running());
    w.window.reset();
    QCoreApplication::processEvents();
}

NETCHECK_TEST(TstIpScan)
#include "tst_ipscan.moc"
