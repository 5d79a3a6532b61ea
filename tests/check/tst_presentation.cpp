#include "appdir.h"
#include "checkscript.h"
#include "fromlanrik.h"
#include "messagebox.h"
#include "recordedboxes.h"
#include "testrunner.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using Rows = QList<QStringList>;

class TstPresentation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setAppDirOverride(dir.path());
        window = new fromlanrik;
        MessageBox::startRecording();
    }
    void cleanupTestCase()
    {
        MessageBox::stopRecording();
        delete window;
        setAppDirOverride(QString());
    }
    void pictureGroups_data();
    void pictureGroups();
    void copy();

private:
    // One window for all: building one waits for its splash screen.
    fromlanrik *window = nullptr;
    QTemporaryDir dir;
    template<class T>
    T *widget(const char *name) const
    {
        return window->findChild<T *>(name);
    }
};

void TstPresentation::pictureGroups_data()
{
    // Rows are alias, location ("-" leaves the cell without an item); each box reads
    // "title: tooltip=picture/alias ...", "-" standing for no picture.
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QStringList>("boxes");
    // clang-format off
    QTest::newRow("一楼 and 楼 are two places") << Rows { { "A", "一楼" }, { "B", "楼" }, { "C", "一楼" } } << QStringList { "一楼: 0=all/A 2=all/C", "楼: 1=all/B" };
    QTest::newRow("device picture: later keyword wins, case counts") << Rows { { "无线路由器", "机房" }, { "NAS服务器", "机房" }, { "nas", "机房" }, { "数据库服务器", "机房" } } << QStringList { "机房: 0=wifi/无线路由器 1=nas/NAS服务器 2=all/nas 3=database/数据库服务器" };
    QTest::newRow("no alias cell: no picture") << Rows { { "-", "机房" } } << QStringList { "机房: 0=-/" };
    QTest::newRow("no location: no label") << Rows { { "A", "" }, { "B", "-" }, { "核心路由器", " 机房 " } } << QStringList { "机房: 2=net/核心路由器" };
    QTest::newRow("markup in an alias is text") << Rows { { "R<b>1</b>&", "机房" } } << QStringList { "机房: 0=all/R&lt;b&gt;1&lt;/b&gt;&amp;" };
    QTest::newRow("first-seen order, trimmed") << Rows { { " X ", "三楼" }, { "Y", "一楼" }, { "Z", "三楼 " } } << QStringList { "三楼: 0=all/X 2=all/Z", "一楼: 1=all/Y" };
    // clang-format on
}

void TstPresentation::pictureGroups()
{
    QFETCH(Rows, rows);
    QFETCH(QStringList, boxes);
    auto *table = widget<QTableWidget>("tableScript");
    table->setRowCount(0);
    table->setRowCount(rows.size());
    for (int r = 0; r < rows.size(); ++r)
        for (int c : { 0, 1 })
            if (rows.at(r).at(c) != "-")
                table->setItem(r, c ? ScriptLocation : ScriptAlias, new QTableWidgetItem(rows.at(r).at(c)));
    // Built twice, as every run does: no box may be left over from an earlier build.
    QVERIFY(QMetaObject::invokeMethod(window, "RefPIcture"));
    QVERIFY(QMetaObject::invokeMethod(window, "RefPIcture"));
    QCOMPARE(widget<QWidget>("widgetPic")->findChildren<QGroupBox *>().size(), boxes.size());

    const QRegularExpression shown(R"(^(?:<img src=":/tree/(\w+)\.png"  align="left" height=48 width=48>)?)"
                                   R"(<span>(.*)</span>$)");
    QLayout *hlayout = widget<QLayout>("Hlayout");
    QStringList seen;
    for (int i = 0; i < hlayout->count(); ++i) {
        auto *box = qobject_cast<QGroupBox *>(hlayout->itemAt(i)->widget());
        QVERIFY(box);
        QString line = box->title() + ":";
        for (int j = 0; j < box->layout()->count(); ++j) {
            auto *label = qobject_cast<QLabel *>(box->layout()->itemAt(j)->widget());
            const QRegularExpressionMatch m = shown.match(label ? label->text() : QString());
            QVERIFY2(m.hasMatch(), qPrintable(label ? label->text() : QString()));
            const QString picture = m.captured(1).isEmpty() ? QStringLiteral("-") : m.captured(1);
            QVERIFY(picture == "-" || QFile::exists(":/tree/" + picture + ".png"));
            line += QStringLiteral(" %1=%2/%3").arg(label->toolTip(), picture, m.captured(2));
        }
        seen << line;
    }
    QCOMPARE(seen, boxes);
}

void TstPresentation::copy()
{
    auto *table = widget<QTableWidget>("tableWidget");
    table->clear();
    table->setColumnCount(6);
    table->setRowCount(3);
    const QStringList cells[] = { { "名称", "状态", "检测内容", "检测时间", "检测结果", "位置" },
        { "网关", "正常", "ping 127.0.0.1", "2024年01月02日 03:04:05", " 64 bytes\nTTL=64 ", "机房" },
        { "打印机", "异常", "ping 127.0.0.9", "", "\"a\"\tb", "一楼" } };
    table->setHorizontalHeaderLabels(cells[0]);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 6; ++c)
            table->setItem(r, c, new QTableWidgetItem(cells[r + 1].at(c)));
    table->setCellWidget(0, 1, new QLabel); // a status lamp is not copied
    MessageBox::takeRecorded();

    widget<QPushButton>("cmdScripCopy")->click();
    QCOMPARE(QApplication::clipboard()->text(),
        QStringLiteral("名称\t状态\t检测内容\t检测时间\t检测结果\t位置\t\n"
                       "网关\t正常\tping 127.0.0.1\t2024年01月02日 03:04:05\t\"64 bytes\nTTL=64\"\t机房\t\n"
                       "打印机\t异常\tping 127.0.0.9\t\t\"\"\"a\"\"\tb\"\t一楼\t\n"
                       "\t\t\t\t\t\t\n"));
    QCOMPARE(takeRecordedBoxes(), QStringList { "information - 信息: 复制成功！" });
}

NETCHECK_TEST(TstPresentation)
#include "tst_presentation.moc"
