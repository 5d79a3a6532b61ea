#include "fromlanrik.h"
#include "testrunner.h"
#include "ui_fromlanrik.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLCDNumber>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>

// The form is an interface: other code and the slot binding reach widgets by name.
class TstForm : public QObject
{
    Q_OBJECT

private slots:
    void widgetsHaveNameClassAndParent_data();
    void widgetsHaveNameClassAndParent();
    void memberPointersFollowCreationOrder();
    void sizeLimits_data();
    void sizeLimits();
    void texts_data();
    void texts();
    void initialState();
    void keepsAGivenObjectName();
};

void TstForm::widgetsHaveNameClassAndParent_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("parentName");
    const char *rows[][3] = {
        { "widgetTop", "QWidget", "fromlanrik" },
        { "widget_4", "QWidget", "widgetTop" },
        { "labGif", "QLabel", "widget_4" },
        { "labelAD", "QLabel", "widget_4" },
        { "tabWidget", "QTabWidget", "fromlanrik" },
        { "txtINFO", "QTextEdit", "widget" },
        { "cmdScriptStart", "QPushButton", "tab_3" },
        { "cmdScripCopy", "QPushButton", "tab_3" },
        { "cmdScripPrint", "QPushButton", "tab_3" },
        { "cmdScripShow", "QPushButton", "tab_3" },
        { "widget_5", "QWidget", "tab_3" },
        { "layoutWidget", "QWidget", "widget_5" },
        { "chkSpack", "QCheckBox", "layoutWidget" },
        { "cmbKeep", "QComboBox", "layoutWidget" },
        { "lcdNumber", "QLCDNumber", "layoutWidget" },
        { "tableWidget", "QTableWidget", "tab_3" },
        { "widgetPic", "QWidget", "tab_3" },
        { "widgetScript", "QWidget", "tab_6" },
        { "layoutWidget1", "QWidget", "widgetScript" },
        { "cmdSet_SaveScript", "QPushButton", "layoutWidget1" },
        { "cmdScriptInsLine", "QPushButton", "layoutWidget1" },
        { "cmdScriptDelLine", "QPushButton", "layoutWidget1" },
        { "tableScript", "QTableWidget", "tab_6" },
        { "GroupIP", "QGroupBox", "tab_2" },
        { "label", "QLabel", "GroupIP" },
        { "txtSIPadd", "QLineEdit", "GroupIP" },
        { "label_2", "QLabel", "GroupIP" },
        { "txtEIPadd", "QLineEdit", "GroupIP" },
        { "cmdScanIP", "QPushButton", "GroupIP" },
        { "treeWidgetIpScan", "QTreeWidget", "GroupIP" },
        { "cmdClearTree", "QPushButton", "GroupIP" },
        { "txtJG", "QTextEdit", "GroupIP" },
        { "widget1", "QWidget", "tab_5" },
        { "widget_2", "QWidget", "widget1" },
        { "labelCMD", "QLabel", "widget_2" },
        { "txtCMD", "QTextEdit", "widget_2" },
        { "cmdCMD", "QPushButton", "widget_2" },
        { "textCMD", "QTextEdit", "widget1" },
        { "labURL", "QLabel", "tab_4" },
        { "txtUrl", "QLineEdit", "tab_4" },
        { "cmdUrl", "QPushButton", "tab_4" },
        { "txtUrlHtml", "QTextEdit", "tab_4" },
        { "txtUrlTxt", "QTextEdit", "tab_4" },
        { "widget_3", "QWidget", "tab" },
        { "txtAbout", "QTextEdit", "widget_3" },
        { "widgetTop_2", "QWidget", "fromlanrik" },
        { "labelInfo", "QLabel", "widgetTop_2" },
        { "labelWeb", "QLabel", "widgetTop_2" },
        // layouts: named like widgets and owned by the widget they are installed on
        { "verticalLayout_5", "QVBoxLayout", "fromlanrik" },
        { "horizontalLayout_8", "QHBoxLayout", "widgetTop" },
        { "horizontalLayout_12", "QHBoxLayout", "layoutWidget" },
        { "verticalLayout_12", "QVBoxLayout", "layoutWidget1" },
        { "horizontalLayout_13", "QHBoxLayout", "widgetPic" },
        { "Hlayout", "QHBoxLayout", "horizontalLayout_13" },
        { "horizontalLayout_6", "QHBoxLayout", "horizontalLayout_11" },
        { "verticalLayout", "QVBoxLayout", "horizontalLayout_7" },
        { "horizontalLayout_9", "QHBoxLayout", "widgetTop_2" },
    };
    for (const auto &row : rows)
        QTest::newRow(row[0]) << row[0] << row[1] << row[2];
}

void TstForm::widgetsHaveNameClassAndParent()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, parentName);
    QWidget window;
    Ui_fromlanrik ui;
    ui.setupUi(&window);

    QList<QObject *> found = window.findChildren<QObject *>(name);
    QCOMPARE(found.size(), 1);
    QCOMPARE(QString(found.first()->metaObject()->className()), className);
    QObject *parent = found.first()->parent();
    QVERIFY(parent);
    QCOMPARE(parent->objectName(), parentName);
}

void TstForm::memberPointersFollowCreationOrder()
{
    // Members are pointers laid out in declaration order; the order must be creation order.
    const QStringList expected = QStringLiteral(
        "verticalLayout_5 widgetTop horizontalLayout_8 widget_4 horizontalLayout_10 labGif labelAD "
        "tabWidget widget verticalLayout_13 txtINFO tab_3 verticalLayout_3 horizontalLayout_11 "
        "horizontalLayout_6 cmdScriptStart cmdScripCopy cmdScripPrint cmdScripShow widget_5 layoutWidget "
        "horizontalLayout_12 chkSpack cmbKeep lcdNumber tableWidget widgetPic horizontalLayout_13 Hlayout "
        "tab_6 verticalLayout_11 horizontalLayout_5 widgetScript layoutWidget1 verticalLayout_12 "
        "cmdSet_SaveScript cmdScriptInsLine cmdScriptDelLine tableScript tab_2 verticalLayout_6 GroupIP "
        "verticalLayout_2 horizontalLayout label txtSIPadd label_2 txtEIPadd cmdScanIP horizontalLayout_7 "
        "verticalLayout treeWidgetIpScan cmdClearTree txtJG tab_5 verticalLayout_9 widget1 verticalLayout_8 "
        "widget_2 horizontalLayout_2 labelCMD txtCMD cmdCMD textCMD tab_4 verticalLayout_10 "
        "horizontalLayout_3 labURL txtUrl cmdUrl horizontalLayout_4 txtUrlHtml txtUrlTxt tab "
        "verticalLayout_4 widget_3 verticalLayout_7 txtAbout widgetTop_2 horizontalLayout_9 labelInfo "
        "labelWeb")
                                     .split(QLatin1Char(' '));
    QWidget window;
    Ui_fromlanrik ui;
    ui.setupUi(&window);
    QCOMPARE(int(sizeof(Ui_fromlanrik) / sizeof(void *)), expected.size());
    auto *const *members = reinterpret_cast<QObject *const *>(&ui);
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(members[i]->objectName(), expected.at(i));
}

void TstForm::sizeLimits_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QSize>("maximum");
    const int M = QWIDGETSIZE_MAX;
    QTest::newRow("widgetTop") << "widgetTop" << QSize(0, 100) << QSize(M, 100);
    QTest::newRow("labGif") << "labGif" << QSize(80, 80) << QSize(80, 80);
    QTest::newRow("cmdScriptStart") << "cmdScriptStart" << QSize(80, 32) << QSize(100, 32);
    QTest::newRow("cmdScripShow") << "cmdScripShow" << QSize(80, 32) << QSize(100, 32);
    QTest::newRow("widget_5") << "widget_5" << QSize(200, 0) << QSize(M, 32);
    QTest::newRow("chkSpack") << "chkSpack" << QSize(100, 0) << QSize(100, M);
    QTest::newRow("lcdNumber") << "lcdNumber" << QSize(80, 0) << QSize(80, M);
    QTest::newRow("widgetPic") << "widgetPic" << QSize(200, 200) << QSize(M, M);
    QTest::newRow("widgetScript") << "widgetScript" << QSize(120, 0) << QSize(120, M);
    QTest::newRow("widget_2") << "widget_2" << QSize(0, 0) << QSize(M, 123);
    QTest::newRow("labelCMD") << "labelCMD" << QSize(0, 0) << QSize(M, 99);
    QTest::newRow("txtCMD") << "txtCMD" << QSize(0, 0) << QSize(M, 99);
    QTest::newRow("cmdCMD") << "cmdCMD" << QSize(0, 99) << QSize(M, M);
    QTest::newRow("widgetTop_2") << "widgetTop_2" << QSize(0, 32) << QSize(M, 32);
}

void TstForm::sizeLimits()
{
    QFETCH(QString, name);
    QFETCH(QSize, minimum);
    QFETCH(QSize, maximum);
    QWidget window;
    Ui_fromlanrik ui;
    ui.setupUi(&window);
    auto *w = window.findChild<QWidget *>(name);
    QVERIFY(w);
    QCOMPARE(w->minimumSize(), minimum);
    QCOMPARE(w->maximumSize(), maximum);
}

void TstForm::texts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("labGif") << "labGif" << QStringLiteral("图片加载中");
    QTest::newRow("labelAD") << "labelAD" << QStringLiteral("广告位招租");
    QTest::newRow("cmdScriptStart") << "cmdScriptStart" << QStringLiteral("执行脚本");
    QTest::newRow("cmdScripCopy") << "cmdScripCopy" << QStringLiteral("复制结果");
    QTest::newRow("cmdScripPrint") << "cmdScripPrint" << QStringLiteral("打印结果");
    QTest::newRow("cmdScripShow") << "cmdScripShow" << QStringLiteral("切换显示");
    QTest::newRow("chkSpack") << "chkSpack" << QStringLiteral("语音播报");
    QTest::newRow("cmdSet_SaveScript") << "cmdSet_SaveScript" << QStringLiteral("保存脚本");
    QTest::newRow("cmdScriptInsLine") << "cmdScriptInsLine" << QStringLiteral("插入一行");
    QTest::newRow("cmdScriptDelLine") << "cmdScriptDelLine" << QStringLiteral("删除一行");
    QTest::newRow("GroupIP") << "GroupIP" << QStringLiteral("IP搜索");
    QTest::newRow("label full-width colon")
        << "label" << QStringLiteral("<html><head/><body><p>起始IP\uFF1A</p></body></html>");
    QTest::newRow("txtSIPadd") << "txtSIPadd" << QStringLiteral("192.168.100.1");
    QTest::newRow("label_2 full-width colon")
        << "label_2" << QStringLiteral("<html><head/><body><p>结束IP\uFF1A</p></body></html>");
    QTest::newRow("txtEIPadd") << "txtEIPadd" << QStringLiteral("192.168.100.254");
    QTest::newRow("cmdScanIP") << "cmdScanIP" << QStringLiteral("搜索");
    QTest::newRow("cmdClearTree") << "cmdClearTree" << QStringLiteral("清除结果");
    QTest::newRow("labelCMD full-width colon") << "labelCMD" << QStringLiteral("CMD命令\uFF1A");
    QTest::newRow("cmdCMD") << "cmdCMD" << QStringLiteral("执行");
    QTest::newRow("labURL full-width colon") << "labURL" << QStringLiteral("网站地址\uFF1A");
    QTest::newRow("cmdUrl") << "cmdUrl" << QStringLiteral("Go");
    QTest::newRow("labelInfo") << "labelInfo" << QStringLiteral("网站信息");
    QTest::newRow("labelWeb") << "labelWeb" << QStringLiteral("网站信息");
    QTest::newRow("tab 0") << "#0" << QStringLiteral("基本信息");
    QTest::newRow("tab 1") << "#1" << QStringLiteral("批量检测");
    QTest::newRow("tab 2") << "#2" << QStringLiteral("脚本设置");
    QTest::newRow("tab 3") << "#3" << QStringLiteral("IP搜索");
    QTest::newRow("tab 4") << "#4" << QStringLiteral("CMD命令");
    QTest::newRow("tab 5") << "#5" << QStringLiteral("网站监测");
    QTest::newRow("tab 6") << "#6" << QStringLiteral("关于LANRIK");
}

void TstForm::texts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QWidget window;
    Ui_fromlanrik ui;
    ui.setupUi(&window);
    QString actual;
    if (name.startsWith(QLatin1Char('#'))) {
        actual = ui.tabWidget->tabText(name.mid(1).toInt());
    } else {
        QObject *o = window.findChild<QObject *>(name);
        QVERIFY(o);
        if (auto *box = qobject_cast<QGroupBox *>(o))
            actual = box->title();
        else
            actual = o->property("text").toString();
    }
    QCOMPARE(actual, text);
}

void TstForm::initialState()
{
    QWidget window;
    Ui_fromlanrik ui;
    ui.setupUi(&window);
    QCOMPARE(window.objectName(), QStringLiteral("fromlanrik"));
    QCOMPARE(window.windowTitle(), QStringLiteral("fromlanrik"));
    QCOMPARE(window.size(), QSize(1024, 720));
    QCOMPARE(ui.tabWidget->count(), 7);
    QCOMPARE(ui.tabWidget->currentIndex(), 0);
    QCOMPARE(ui.tabWidget->tabShape(), QTabWidget::Triangular);
    QCOMPARE(ui.treeWidgetIpScan->columnCount(), 1);
    QCOMPARE(ui.treeWidgetIpScan->headerItem()->text(0), QStringLiteral("1"));
    QCOMPARE(ui.cmbKeep->count(), 0);
    QVERIFY(!ui.chkSpack->isChecked());
    QCOMPARE(ui.tableWidget->columnCount(), 0);
    QCOMPARE(ui.Hlayout->count(), 0);
    QCOMPARE(ui.layoutWidget->geometry(), QRect(17, 5, 351, 25));
    QCOMPARE(ui.layoutWidget1->geometry(), QRect(10, 10, 106, 151));
    QCOMPARE(ui.labelWeb->alignment(), Qt::AlignRight | Qt::AlignTrailing | Qt::AlignVCenter);
    QCOMPARE(ui.txtUrlTxt->toPlainText(), QString());
    QVERIFY(ui.txtUrlTxt->toHtml().contains(QLatin1String("SimSun")));
    QVERIFY(!window.windowIcon().isNull());
    const QMargins bottomBar = ui.horizontalLayout_9->contentsMargins();
    QCOMPARE(bottomBar.left(), 1);
    QCOMPARE(bottomBar.top(), 1);
    QCOMPARE(bottomBar.right(), 1);
}

void TstForm::keepsAGivenObjectName()
{
    QWidget window;
    window.setObjectName(QStringLiteral("given"));
    Ui_fromlanrik ui;
    ui.setupUi(&window);
    QCOMPARE(window.objectName(), QStringLiteral("given"));
}

NETCHECK_TEST(TstForm)
#include "tst_form.moc"
