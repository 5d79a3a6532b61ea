#include "appdir.h"
#include "checkscript.h"
#include "fromlanrik.h"
#include "messagebox.h"
#include "presentation.h"
#include "recordedboxes.h"
#include "testrunner.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace
{
const QString noCell = QStringLiteral("<none>");

QString tag(const char *picture)
{
    return QStringLiteral("<img src=\"%1\"  align=\"left\" height=48 width=48>").arg(QLatin1String(picture));
}
} // namespace

class TstPresentation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void devicePicture_data();
    void devicePicture();
    void led_data();
    void led();
    void pictureGroups_data();
    void pictureGroups();
    void rebuildLeavesNoStaleBoxes();
    void viewSwitch();
    void copy();

private:
    // One window for all: building one waits for its splash screen.
    fromlanrik *window = nullptr;
    QTemporaryDir dir;
    template<class T>
    T *widget(const char *name) const
    {
        return window->findChild<T *>(QString::fromLatin1(name));
    }
};

void TstPresentation::initTestCase()
{
    setAppDirOverride(dir.path());
    window = new fromlanrik;
    MessageBox::startRecording();
}

void TstPresentation::cleanupTestCase()
{
    MessageBox::stopRecording();
    delete window;
    setAppDirOverride(QString());
}

void TstPresentation::devicePicture_data()
{
    QTest::addColumn<QString>("alias");
    QTest::addColumn<QString>("picture");
    // clang-format off
    QTest::newRow("wireless router: later keyword wins") << "无线路由器" << ":/tree/wifi.png";
    QTest::newRow("NAS server: later keyword wins") << "NAS服务器" << ":/tree/nas.png";
    QTest::newRow("database server") << "数据库服务器" << ":/tree/database.png";
    QTest::newRow("lower-case nas is no keyword") << "nas" << ":/tree/all.png";
    QTest::newRow("empty alias") << "" << ":/tree/all.png";
    // clang-format on
}

void TstPresentation::devicePicture()
{
    QFETCH(QString, alias);
    QFETCH(QString, picture);
    QString viaSlot;
    QVERIFY(QMetaObject::invokeMethod(
        window, "ReplaceIimg", Q_RETURN_ARG(QString, viaSlot), Q_ARG(QString, alias)));
    QCOMPARE(viaSlot, tag(qPrintable(picture)));
    QVERIFY2(QFile::exists(picture), qPrintable(picture));
}

void TstPresentation::led_data()
{
    QTest::addColumn<int>("color");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("sheet");
    const QString frame16 = "min-width: 16px;min-height: 16px;max-width: 16px;max-height: 16px;"
                            "border-radius: 8px;border:1px solid black;background-color:";
    QTest::newRow("red 16") << 1 << 16 << frame16 + "rgb(255,0,0)";
    QTest::newRow("unknown code 7: no colour") << 7 << 16 << frame16;
    QTest::newRow("odd size 15 rounds radius down")
        << 2 << 15
        << "min-width: 15px;min-height: 15px;max-width: 15px;max-height: 15px;"
           "border-radius: 7px;border:1px solid black;background-color:rgb(0,255,0)";
}

void TstPresentation::led()
{
    QFETCH(int, color);
    QFETCH(int, size);
    QFETCH(QString, sheet);
    QLabel label(QStringLiteral("正常"));
    QVERIFY(QMetaObject::invokeMethod(
        window, "setLED", Q_ARG(QLabel *, &label), Q_ARG(int, color), Q_ARG(int, size)));
    QCOMPARE(label.styleSheet(), sheet);
    QCOMPARE(label.text(), QString());
}

using Rows = QList<QStringList>;

void TstPresentation::pictureGroups_data()
{
    // Rows are alias, location; the result lists "title: tooltip=text, ..." per box.
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QStringList>("boxes");
    const QString span = QStringLiteral("<span>%1</span>");
    QTest::newRow("一楼 and 楼 are two places")
        << Rows { { "A", "一楼" }, { "B", "楼" }, { "C", "一楼" } }
        << QStringList { "一楼: 0=" + tag(":/tree/all.png") + span.arg("A") + ", 2=" + tag(":/tree/all.png")
                   + span.arg("C"),
               "楼: 1=" + tag(":/tree/all.png") + span.arg("B") };
    QTest::newRow("no alias cell: no picture")
        << Rows { { noCell, "机房" } } << QStringList { "机房: 0=" + span.arg("") };
    QTest::newRow("no location: no label")
        << Rows { { "A", "" }, { "B", noCell }, { "核心路由器", " 机房 " } }
        << QStringList { "机房: 2=" + tag(":/tree/net.png") + span.arg("核心路由器") };
    QTest::newRow("first-seen order, trimmed")
        << Rows { { " X ", "三楼" }, { "Y", "一楼" }, { "Z", "三楼 " } }
        << QStringList { "三楼: 0=" + tag(":/tree/all.png") + span.arg("X") + ", 2=" + tag(":/tree/all.png")
                   + span.arg("Z"),
               "一楼: 1=" + tag(":/tree/all.png") + span.arg("Y") };
}

void TstPresentation::pictureGroups()
{
    QFETCH(Rows, rows);
    QFETCH(QStringList, boxes);
    auto *table = widget<QTableWidget>("tableScript");
    table->setRowCount(0);
    table->setColumnCount(ScriptColumns);
    table->setRowCount(rows.size());
    for (int r = 0; r < rows.size(); ++r) {
        if (rows.at(r).at(0) != noCell)
            table->setItem(r, ScriptAlias, new QTableWidgetItem(rows.at(r).at(0)));
        if (rows.at(r).at(1) != noCell)
            table->setItem(r, ScriptLocation, new QTableWidgetItem(rows.at(r).at(1)));
    }
    QVERIFY(QMetaObject::invokeMethod(window, "RefPIcture"));

    QLayout *hlayout = widget<QLayout>("Hlayout");
    QStringList seen;
    for (int i = 0; i < hlayout->count(); ++i) {
        auto *box = qobject_cast<QGroupBox *>(hlayout->itemAt(i)->widget());
        QVERIFY(box);
        QStringList labels;
        for (int j = 0; j < box->layout()->count(); ++j) {
            auto *label = qobject_cast<QLabel *>(box->layout()->itemAt(j)->widget());
            QVERIFY(label);
            labels << label->toolTip() + "=" + label->text();
        }
        seen << box->title() + ": " + labels.join(", ");
    }
    QCOMPARE(seen, boxes);
}

void TstPresentation::rebuildLeavesNoStaleBoxes()
{
    auto *table = widget<QTableWidget>("tableScript");
    loadScriptTable(table, "CMD|x|A||一楼\nCMD|y|B||二楼\nCMD|z|C||一楼\n");
    auto *panel = widget<QWidget>("widgetPic");
    for (int round = 0; round < 2; ++round) {
        QVERIFY(QMetaObject::invokeMethod(window, "RefPIcture"));
        QCOMPARE(panel->findChildren<QGroupBox *>().size(), 2);
        QCOMPARE(panel->findChildren<QLabel *>().size(), 3);
        QCOMPARE(widget<QLayout>("Hlayout")->count(), 2);
    }
}

void TstPresentation::viewSwitch()
{
    auto *table = widget<QTableWidget>("tableWidget");
    auto *panel = widget<QWidget>("widgetPic");
    table->show();
    panel->hide();
    for (bool tableShown : { false, true }) {
        widget<QPushButton>("cmdScripShow")->click();
        QCOMPARE(table->isHidden(), !tableShown);
        QCOMPARE(panel->isHidden(), tableShown);
    }
}

void TstPresentation::copy()
{
    auto *table = widget<QTableWidget>("tableWidget");
    table->clear();
    table->setColumnCount(6);
    table->setRowCount(3);
    table->setHorizontalHeaderLabels({ "名称", "状态", "检测内容", "检测时间", "检测结果", "位置" });
    const char *cells[2][6]
        = { { "网关", "正常", "ping 10.0.0.1", "2024年01月02日 03:04:05", " TTL=64 ", "机房" },
              { "打印机", "异常", "ping 10.0.0.9", "", "", "一楼" } };
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 6; ++c)
            table->setItem(r, c, new QTableWidgetItem(QString::fromUtf8(cells[r][c])));
    table->setCellWidget(0, 1, new QLabel); // a status lamp is not copied
    MessageBox::takeRecorded();

    widget<QPushButton>("cmdScripCopy")->click();
    QCOMPARE(QApplication::clipboard()->text(),
        QStringLiteral("名称\t状态\t检测内容\t检测时间\t检测结果\t位置\t\n"
                       "网关\t正常\tping 10.0.0.1\t2024年01月02日 03:04:05\tTTL=64\t机房\t\n"
                       "打印机\t异常\tping 10.0.0.9\t\t\t一楼\t\n"
                       "\t\t\t\t\t\t\n"));
    QCOMPARE(takeRecordedBoxes(), QStringList { "information - 信息: 复制成功！" });
}

NETCHECK_TEST(TstPresentation)
#include "tst_presentation.moc"
