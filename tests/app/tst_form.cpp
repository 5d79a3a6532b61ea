#include "testrunner.h"
#include "ui_fromlanrik.h"

#include <QGroupBox>
#include <QTest>

namespace
{
struct Form
{
    Form() { ui.setupUi(&window); }
    QWidget window;
    Ui_fromlanrik ui;
};
} // namespace

// The form is an interface: other code and the slot binding reach widgets by name.
class TstForm : public QObject
{
    Q_OBJECT

private slots:
    void membersInCreationOrder();
    void sizeLimits_data();
    void sizeLimits();
    void texts_data();
    void texts();
    void initialState();
};

void TstForm::membersInCreationOrder()
{
    // "name:class without its Q:parent" per member, in declaration order, which must be
    // creation order; "-" is the tab widget's page stack.
    const QStringList expected = QStringLiteral(
        "verticalLayout_5:VBoxLayout:fromlanrik widgetTop:Widget:fromlanrik "
        "horizontalLayout_8:HBoxLayout:widgetTop widget_4:Widget:widgetTop "
        "horizontalLayout_10:HBoxLayout:widget_4 labGif:Label:widget_4 labelAD:Label:widget_4 "
        "tabWidget:TabWidget:fromlanrik widget:Widget:- verticalLayout_13:VBoxLayout:widget "
        "txtINFO:TextEdit:widget tab_3:Widget:- verticalLayout_3:VBoxLayout:tab_3 "
        "horizontalLayout_11:HBoxLayout:verticalLayout_3 horizontalLayout_6:HBoxLayout:horizontalLayout_11 "
        "cmdScriptStart:PushButton:tab_3 cmdScripCopy:PushButton:tab_3 cmdScripPrint:PushButton:tab_3 "
        "cmdScripShow:PushButton:tab_3 widget_5:Widget:tab_3 layoutWidget:Widget:widget_5 "
        "horizontalLayout_12:HBoxLayout:layoutWidget chkSpack:CheckBox:layoutWidget "
        "cmbKeep:ComboBox:layoutWidget lcdNumber:LCDNumber:layoutWidget tableWidget:TableWidget:tab_3 "
        "widgetPic:Widget:tab_3 horizontalLayout_13:HBoxLayout:widgetPic "
        "Hlayout:HBoxLayout:horizontalLayout_13 "
        "tab_6:Widget:- verticalLayout_11:VBoxLayout:tab_6 horizontalLayout_5:HBoxLayout:verticalLayout_11 "
        "widgetScript:Widget:tab_6 layoutWidget1:Widget:widgetScript "
        "verticalLayout_12:VBoxLayout:layoutWidget1 "
        "cmdSet_SaveScript:PushButton:layoutWidget1 cmdScriptInsLine:PushButton:layoutWidget1 "
        "cmdScriptDelLine:PushButton:layoutWidget1 tableScript:TableWidget:tab_6 tab_2:Widget:- "
        "verticalLayout_6:VBoxLayout:tab_2 GroupIP:GroupBox:tab_2 verticalLayout_2:VBoxLayout:GroupIP "
        "horizontalLayout:HBoxLayout:verticalLayout_2 label:Label:GroupIP txtSIPadd:LineEdit:GroupIP "
        "label_2:Label:GroupIP txtEIPadd:LineEdit:GroupIP cmdScanIP:PushButton:GroupIP "
        "horizontalLayout_7:HBoxLayout:verticalLayout_2 verticalLayout:VBoxLayout:horizontalLayout_7 "
        "treeWidgetIpScan:TreeWidget:GroupIP cmdClearTree:PushButton:GroupIP txtJG:TextEdit:GroupIP "
        "tab_5:Widget:- verticalLayout_9:VBoxLayout:tab_5 widget1:Widget:tab_5 "
        "verticalLayout_8:VBoxLayout:widget1 widget_2:Widget:widget1 horizontalLayout_2:HBoxLayout:widget_2 "
        "labelCMD:Label:widget_2 txtCMD:TextEdit:widget_2 cmdCMD:PushButton:widget_2 "
        "textCMD:TextEdit:widget1 "
        "tab_4:Widget:- verticalLayout_10:VBoxLayout:tab_4 horizontalLayout_3:HBoxLayout:verticalLayout_10 "
        "labURL:Label:tab_4 txtUrl:LineEdit:tab_4 cmdUrl:PushButton:tab_4 "
        "horizontalLayout_4:HBoxLayout:verticalLayout_10 txtUrlHtml:TextEdit:tab_4 txtUrlTxt:TextEdit:tab_4 "
        "tab:Widget:- verticalLayout_4:VBoxLayout:tab widget_3:Widget:tab "
        "verticalLayout_7:VBoxLayout:widget_3 "
        "txtAbout:TextEdit:widget_3 widgetTop_2:Widget:fromlanrik horizontalLayout_9:HBoxLayout:widgetTop_2 "
        "labelInfo:Label:widgetTop_2 labelWeb:Label:widgetTop_2")
                                     .split(QLatin1Char(' '));
    Form form;
    QCOMPARE(int(sizeof(Ui_fromlanrik) / sizeof(void *)), expected.size());
    auto *const *members = reinterpret_cast<QObject *const *>(&form.ui);
    for (int i = 0; i < expected.size(); ++i) {
        QObject *m = members[i];
        const QString parent = m->parent()->objectName();
        QCOMPARE(m->objectName() + ':' + QString(m->metaObject()->className()).mid(1) + ':'
                + (parent == QLatin1String("qt_tabwidget_stackedwidget") ? QStringLiteral("-") : parent),
            expected.at(i));
        QCOMPARE(form.window.findChildren<QObject *>(m->objectName()).size(), 1);
    }
}

void TstForm::sizeLimits_data()
{
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QSize>("maximum");
    const int M = QWIDGETSIZE_MAX;
    QTest::newRow("widgetTop") << QSize(0, 100) << QSize(M, 100);
    QTest::newRow("labGif") << QSize(80, 80) << QSize(80, 80);
    QTest::newRow("cmdScriptStart") << QSize(80, 32) << QSize(100, 32);
    QTest::newRow("cmdScripShow") << QSize(80, 32) << QSize(100, 32);
    QTest::newRow("widget_5") << QSize(200, 0) << QSize(M, 32);
    QTest::newRow("chkSpack") << QSize(100, 0) << QSize(100, M);
    QTest::newRow("lcdNumber") << QSize(80, 0) << QSize(80, M);
    QTest::newRow("widgetPic") << QSize(200, 200) << QSize(M, M);
    QTest::newRow("widgetScript") << QSize(120, 0) << QSize(120, M);
    QTest::newRow("widget_2") << QSize(0, 0) << QSize(M, 123);
    QTest::newRow("labelCMD") << QSize(0, 0) << QSize(M, 99);
    QTest::newRow("txtCMD") << QSize(0, 0) << QSize(M, 99);
    QTest::newRow("cmdCMD") << QSize(0, 99) << QSize(M, M);
    QTest::newRow("widgetTop_2") << QSize(0, 32) << QSize(M, 32);
}

void TstForm::sizeLimits()
{
    QFETCH(QSize, minimum);
    QFETCH(QSize, maximum);
    Form form;
    auto *w = form.window.findChild<QWidget *>(QTest::currentDataTag());
    QVERIFY(w);
    QCOMPARE(w->minimumSize(), minimum);
    QCOMPARE(w->maximumSize(), maximum);
}

void TstForm::texts_data()
{
    QTest::addColumn<QString>("text");
    auto row = [](const char *name, const QString &text) { QTest::newRow(name) << text; };
    // clang-format off
    row("labGif", "图片加载中"); row("labelAD", "广告位招租"); row("cmdScriptStart", "执行脚本");
    row("cmdScripCopy", "复制结果"); row("cmdScripPrint", "打印结果"); row("cmdScripShow", "切换显示");
    row("chkSpack", "语音播报"); row("cmdSet_SaveScript", "保存脚本"); row("cmdScriptInsLine", "插入一行");
    row("cmdScriptDelLine", "删除一行"); row("GroupIP", "IP搜索"); row("txtSIPadd", "192.168.100.1");
    row("txtEIPadd", "192.168.100.254"); row("cmdScanIP", "搜索"); row("cmdClearTree", "清除结果");
    row("cmdCMD", "执行"); row("cmdUrl", "Go"); row("labelInfo", "网站信息"); row("labelWeb", "网站信息");
    // the colons are full-width
    row("label", "<html><head/><body><p>起始IP\uFF1A</p></body></html>");
    row("label_2", "<html><head/><body><p>结束IP\uFF1A</p></body></html>");
    row("labelCMD", "CMD命令\uFF1A"); row("labURL", "网站地址\uFF1A");
    row("tabWidget", "基本信息 批量检测 脚本设置 IP搜索 CMD命令 网站监测 关于LANRIK");
    // clang-format on
}

void TstForm::texts()
{
    QFETCH(QString, text);
    Form form;
    QObject *o = form.window.findChild<QObject *>(QTest::currentDataTag());
    QVERIFY(o);
    QString actual = o->property("text").toString();
    if (auto *box = qobject_cast<QGroupBox *>(o))
        actual = box->title();
    for (int i = 0; o == form.ui.tabWidget && i < form.ui.tabWidget->count(); ++i)
        actual += (i ? " " : "") + form.ui.tabWidget->tabText(i);
    QCOMPARE(actual, text);
}

void TstForm::initialState()
{
    Form form;
    QCOMPARE(form.window.objectName(), QStringLiteral("fromlanrik"));
    QCOMPARE(form.window.windowTitle(), QStringLiteral("fromlanrik"));
    QCOMPARE(form.window.size(), QSize(1024, 720));
    QVERIFY(!form.window.windowIcon().isNull());
    QCOMPARE(form.ui.tabWidget->currentIndex(), 0);
    QCOMPARE(form.ui.treeWidgetIpScan->columnCount(), 1);
    QCOMPARE(form.ui.Hlayout->count(), 0);

    QWidget named; // setting up keeps a name given before
    named.setObjectName(QStringLiteral("given"));
    Ui_fromlanrik().setupUi(&named);
    QCOMPARE(named.objectName(), QStringLiteral("given"));
}

NETCHECK_TEST(TstForm)
#include "tst_form.moc"
