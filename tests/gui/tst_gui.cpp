#include "app/gui/batchrun.h"
#include "app/gui/historywindow.h"
#include "app/gui/richtext.h"
#include "app/gui/scriptpage.h"
#include "app/gui/shallowhtml.h"
#include "app/gui/textfeed.h"
#include "app/gui/webpagetab.h"
#include "app/gui/windowplacement.h"
#include "app/gui/windowviews.h"
#include "check/clock.h"
#include "check/notifysend.h"
#include "check/schedule.h"
#include "check/script.h"
#include "check/textfile.h"
#include "httptestserver.h"
#include "pdftext.h"
#include "probe/neighbours.h"
#include "probe/pagetext.h"
#include "testwindow.h"

#include <QtTest>
#include <QtWidgets>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <qpa/qwindowsysteminterface.h>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// An inherited event handler belongs to a base class; an override would make it the window's own.
template<class C, class R, class... A>
C ownerOf(R (C::*)(A...));
template<class... M>
constexpr bool noneOverridden(M...)
{
    return !(std::is_same_v<decltype(ownerOf(M())), fromlanrik> || ...);
}
struct HandlerCheck : fromlanrik
{
    static_assert(noneOverridden(&HandlerCheck::event, &HandlerCheck::closeEvent, &HandlerCheck::showEvent,
                      &HandlerCheck::timerEvent),
        "the window overrides an event handler");
};

Q_DECLARE_METATYPE(QMargins)

namespace
{
constexpr int kHangMs = 10000; // far above any bound under test: only a hang takes this long

// The text of a page as the web page tab takes it.
const PageText &pageText(const QByteArray &bytes)
{
    static std::optional<PageText> page;
    page.emplace(QString(), kShownTextBytes);
    page->take(bytes.constData(), bytes.size());
    page->finish();
    return *page;
}

// Rows of the editor table: alias, type, target, success text, location.
void setScript(const TestWindow &w, const QList<QStringList> &rows)
{
    auto *table = w.find<QTableWidget>("tableScript");
    table->setRowCount(0);
    table->setRowCount(rows.size());
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows.at(r).size(); ++c)
            table->setItem(r, c, new QTableWidgetItem(rows.at(r).at(c)));
}

// "place: tooltip=pictures/alias ..." per box of the picture panel; a run's mark follows the device picture.
QStringList panel(const TestWindow &w)
{
    QStringList boxes;
    for (QGroupBox *box : w.find("widgetPic")->findChildren<QGroupBox *>()) {
        boxes << box->title() + ':';
        for (QLabel *label : box->findChildren<QLabel *>()) {
            // The result, without the line on since when it holds (it has its own test).
            const QString tip = QTextDocumentFragment::fromHtml(label->toolTip()).toPlainText();
            boxes.last()
                += ' ' + tip.section(QRegularExpression("^\\S+，自 .*起，已持续[^\\n]*\\n"), -1) + '=';
            for (const QString &picture : label->text().split(":/tree/").mid(1))
                boxes.last() += picture.section('.', 0, 0) + '/';
            boxes.last() += label->text().section("<span>", 1).section("</span>", 0, 0);
        }
    }
    return boxes;
}

// Input as the window system delivers it: a left click at a point of the widget (its centre by
// default), keys typed into whatever has the focus, a turn of the mouse wheel.
void userClick(QWidget *widget, QPoint at = QPoint(-1, -1))
{
    at = at.x() < 0 ? widget->rect().center() : at;
    QWidget *window = widget->window();
    for (QEvent::Type type : { QEvent::MouseButtonPress, QEvent::MouseButtonRelease })
        QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::SynchronousDelivery>(
            window->windowHandle(), widget->mapTo(window, at), widget->mapToGlobal(at),
            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::LeftButton, type);
}
void userType(QWidget *window, const QString &text)
{
    for (const QChar c : text)
        for (QEvent::Type type : { QEvent::KeyPress, QEvent::KeyRelease })
            QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::SynchronousDelivery>(
                window->windowHandle(), type, c.toUpper().unicode(), Qt::NoModifier, QString(c));
}
void userWheel(QWidget *widget, int notches)
{
    const QPoint at = widget->rect().center();
    QWindowSystemInterface::handleWheelEvent(widget->window()->windowHandle(),
        widget->mapTo(widget->window(), at), widget->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches));
    QCoreApplication::processEvents();
}
void userTab(const TestWindow &w, int index)
{
    QTabBar *bar = w.find<QTabWidget>("tabWidget")->tabBar();
    userClick(bar, bar->tabRect(index).center());
}

// The colour of a results row's lamp, as drawn.
QString lamp(const QTableWidget *rows, int row)
{
    const QColor c = rows->item(row, 1)->icon().pixmap(16).toImage().pixelColor(8, 8);
    return QString("rgb(%1,%2,%3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

// A double-click as the window system queues it: two presses and releases.
void doubleClick(QWidget *widget, QPoint at)
{
    QWidget *top = widget->window();
    for (int click = 0; click < 2; ++click)
        for (QEvent::Type type : { QEvent::MouseButtonPress, QEvent::MouseButtonRelease })
            QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
                top->windowHandle(), widget->mapTo(top, at), widget->mapToGlobal(at),
                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::LeftButton, type);
}

QStringList logLines(const TestWindow &w)
{
    QFile file(w.path("log/" + QDate::currentDate().toString("yyyy年MM月dd日") + ".txt"));
    file.open(QIODevice::ReadOnly);
    return QTextCodec::codecForLocale()->toUnicode(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

// Puts the fake ping of data/fake-ping first on PATH while it lives: the addresses given
// answer at once, the others stay silent for a second. No packet is sent.
struct FakePing
{
    explicit FakePing(const QStringList &answering)
    {
        qputenv("PATH", TEST_DATA_DIR "/fake-ping:" + path);
        qputenv("NETCHECK_FAKE_PING_ANSWERS", answering.join(' ').toUtf8());
    }
    ~FakePing() { qputenv("PATH", path); }
    const QByteArray path = qgetenv("PATH");
};

// Runs the work with a FIFO nobody writes to: whoever opens it to read waits for a writer.
// After a few seconds a thread keeps opening it for writing, so work stuck on it goes on
// instead of hanging the test. True when the work got stuck.
template<class Work>
bool waitsOnFifo(Work work)
{
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath("pipe"));
    if (mkfifo(path.constData(), 0600) != 0)
        return true;
    std::atomic<bool> done { false }, released { false };
    std::thread releaser([&] {
        for (int ms = 0; ms < 3000 && !done; ms += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        for (int fd; !done; std::this_thread::sleep_for(std::chrono::milliseconds(10))) {
            if ((fd = open(path.constData(), O_WRONLY | O_NONBLOCK)) >= 0) // fails unless a reader waits
                released = close(fd) == 0;
        }
    });
    work(QFile::decodeName(path));
    done = true;
    releaser.join();
    return released;
}

void scan(TestWindow &w, const QString &from, const QString &to)
{
    w.find<QLineEdit>("txtSIPadd")->setText(from);
    w.find<QLineEdit>("txtEIPadd")->setText(to);
    w.click("cmdScanIP");
}

} // namespace

class TstGui : public QObject
{
    Q_OBJECT

public:
    TstGui()
    {
        // No name lookup leaves the machine.
        setNameLookupOverride([](const QString &address) { return "host-" + address.section('.', -1); });
        server.serve("/up", "\n  <p>服务 OK</p>  \n");
        server.route("/slow", { 200, {}, "<p>OK</p>", HttpTestReply::Answer, 0, 800 });
        server.route("/cut", { 200, {}, "<p>first half|second half</p>", HttpTestReply::CutMidBody, 13 });
        server.serve("/gbk", QTextCodec::codecForName("GBK")->fromUnicode("<p>网络正常</p>"));
    }

private slots:
    // A fake xdg-open first on PATH notes each file handed to the viewer; it waits, as xdg-open
    // without a desktop does, until the viewer is closed, then exits as told.
    void initTestCase()
    {
        QFile opener(tools.filePath("xdg-open"));
        QVERIFY(opener.open(QIODevice::WriteOnly)
            && opener.write(
                "#!/bin/sh\necho \"$1\" >> \"$0.log\"\nwhile [ ! -e \"$0.closed\" ]; do sleep 0.05; done\n"
                "exit $(cat \"$0.exit\")\n"));
        opener.close();
        opener.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        qputenv("PATH", tools.path().toLocal8Bit() + ':' + path);
        viewer(true, 0);
    }
    void cleanupTestCase()
    {
        qputenv("PATH", path);
        setNameLookupOverride(nullptr);
    }
    void cleanup()
    {
        QTextCodec::setCodecForLocale(nullptr);
        setCheckBounds(0, 0);
        setScheduleSecondMs(0);
        setFixedClock(QDateTime());
        setNotifyBounds(0, 0, 0);
    }

    // Callers reach the twenty slots by index: order, signatures and parameter names are
    // fixed, and the class adds nothing else to its meta-object.
    void slotTable()
    {
        const QString expected
            = "QString ReplaceIimg(QString) str|Start()|setNetworkGIF(QString) GifUrl|"
              "setLED(QLabel*,int,int) label,color,size|ScriptStart()|AutoKeep()|DJS()|"
              "RefPIcture()|on_cmdScanIP_clicked()|on_cmdScriptStart_clicked()|"
              "on_cmdCMD_clicked()|on_cmdUrl_clicked()|on_cmdSet_SaveScript_clicked()|"
              "on_cmdScriptInsLine_clicked()|on_cmdScriptDelLine_clicked()|"
              "on_cmdScripCopy_clicked()|on_cmdScripPrint_clicked()|on_cmdClearTree_clicked()|"
              "on_cmbKeep_currentIndexChanged(int) index|on_cmdScripShow_clicked()";
        const QMetaObject &mo = fromlanrik::staticMetaObject;
        QStringList seen;
        for (int i = mo.methodOffset(); i < mo.methodCount(); ++i) {
            const QMetaMethod m = mo.method(i);
            QVERIFY(m.methodType() == QMetaMethod::Slot && m.access() == QMetaMethod::Private);
            seen << QString::fromLatin1(QByteArray(m.typeName()).replace("void", "") + ' '
                + m.methodSignature() + ' ' + m.parameterNames().join(','))
                        .trimmed();
        }
        QCOMPARE(seen.join('|'), expected);
        QCOMPARE(mo.propertyCount() + mo.enumeratorCount(), mo.propertyOffset() + mo.enumeratorOffset());
    }

    // An earlier start left a script: a byte-order mark, blank runs, more than five fields, a
    // line without alias, one without a bar (no record), no final line break. The pages come from a
    // server, the banner only once; an unanswered page costs only its bound.
    void start()
    {
        QFile shipped(":/startup/banner.gif");
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        HttpTestServer server;
        server.serve("/logo.gif", shipped.readAll());
        server.serve("/about", "<p>关于页</p>");
        server.route("/ad", { 200, {}, {}, HttpTestReply::NeverAnswer });
        TestWindow w(false);
        QFile script(w.path("chkScript.txt"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("\xEF\xBB\xBF cmd |ping  127.0.0.1\t\ta | 网关\u3000甲 |ok| "
                     "一楼|x\r\njunk\r\na|b\r\nURL|u|网站||");
        script.close();
        setStartupAddresses({ server.url("/logo.gif"), server.url("/about"), server.url("/ad"), 300 });
        QElapsedTimer clock;
        clock.start();
        w.open();
        QVERIFY2(clock.elapsed() < 10000, "a start-up fetch outlived its bound");
        w.open(); // again, with the banner kept
        QCOMPARE(server.requestCount("/logo.gif"), 1);
        QCOMPARE(w.find<QLabel>("labGif")->movie()->state(), QMovie::Running);
        // The about page names the folder of the program's files; the bottom bar names no made-up contact.
        QCOMPARE(w.find<QTextEdit>("txtAbout")->toPlainText() + w.find<QLabel>("labelAD")->text()
                + w.find<QLabel>("labelWeb")->text(),
            "关于页\n文件目录：" + w.dir.path());
        auto *t = w.find<QTableWidget>("tableScript");
        QCOMPARE(QStringList({ t->item(0, 0)->text(), t->item(0, 1)->text(), t->item(0, 2)->text(),
                     t->item(0, 3)->text(), t->item(0, 4)->text(), t->item(1, 1)->text(),
                     t->item(2, 0)->text(), QString::number(t->rowCount()) }),
            QStringList({ "网关 甲", "cmd", "ping 127.0.0.1 a", "ok", "一楼", "a", "网站", "4" }));
        QVERIFY(t->item(1, 0)->text().isEmpty() && QFileInfo(w.path("log")).isDir());
    }

    // Enter in the address and IP fields and Ctrl+Enter in the command field press their
    // buttons; plain Enter in the command field is a new line. The fields are empty, so
    // nothing is pinged or fetched.
    void keys()
    {
        TestWindow w;
        for (QLineEdit *edit : w.window->findChildren<QLineEdit *>())
            edit->clear();
        QSignalSpy fetch(w.find<QPushButton>("cmdUrl"), &QPushButton::clicked);
        QSignalSpy scan(w.find<QPushButton>("cmdScanIP"), &QPushButton::clicked);
        QSignalSpy run(w.find<QPushButton>("cmdCMD"), &QPushButton::clicked);
        QTest::keyClick(w.find("txtUrl"), Qt::Key_Return);
        QTest::keyClick(w.find("txtSIPadd"), Qt::Key_Return);
        QTest::keyClick(w.find("txtEIPadd"), Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(w.find("txtCMD"), Qt::Key_Return);
        QTest::keyClick(w.find("txtCMD"), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE((QList<int> { fetch.count(), scan.count(), run.count() }), (QList<int> { 1, 2, 1 }));
        // Tab leaves the script table, so the buttons after it can be reached.
        QWidget *table = w.find("tableScript");
        QApplication::setActiveWindow(w.window.get());
        table->setFocus();
        QTest::keyClick(table, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != table);
    }

    // Saved in the locale's encoding, or as UTF-8 with a mark where that cannot hold the text.
    // A file size limit breaks a write off half-way, as a full disk would (tests run as root,
    // which ignores permission bits): the old file stays.
    void save()
    {
        TestWindow w;
        auto saveIn = [&](const char *locale) {
            QTextCodec::setCodecForLocale(QTextCodec::codecForName(locale));
            w.click("cmdSet_SaveScript");
            QFile file(scriptFilePath());
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        setScript(w, { { " ", "CMD" }, { " B ", " URL ", " h ", "", " 二楼 " }, {}, { "网关" } });
        const QString text = "URL|h|B||二楼\n||网关||\n";
        QCOMPARE(saveIn("GBK"), QTextCodec::codecForName("GBK")->fromUnicode(text));
        const QByteArray saved = saveIn("ISO-8859-1");
        QCOMPARE(saved, "\xEF\xBB\xBF" + text.toUtf8());
        setScript(w, { { "A", "CMD", QString(20000, 'x') } });
        rlimit unlimited, small;
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &unlimited), 0);
        small = unlimited;
        small.rlim_cur = 4096;
        auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const QByteArray kept = saveIn("UTF-8");
        setrlimit(RLIMIT_FSIZE, &unlimited);
        std::signal(SIGXFSZ, previousHandler);
        QCOMPARE(kept, saved);
        const QString saved1 = "提示信息: 文件保存成功！\n第1行没有名称，未保存。";
        QCOMPARE(w.boxes(), QStringList({ saved1, saved1, "警告: 文件保存失败！" }));
    }

    // A failing line is spoken before its record and the next line's. Each check line marks its own label
    // and a row that is no check line keeps its own. Labels are grouped by trimmed location, and
    // the later keyword picks the picture. A missing log folder stops nothing and is made again.
    void alertsAndLabels()
    {
        TestWindow w;
        QVERIFY(QDir(w.path("log")).removeRecursively());
        setScript(w,
            { { "无线路由器", "CMD", "echo x", "y", "一楼" }, { "", "CMD", "echo", "", "一楼" },
                { "NAS服务器", "CMD", "echo y", "y", "楼" }, { "R<b>1</b>", "BAD", "x", "", " 一楼 " } });
        setSpeechObserver(
            [&](const QString &text) { w.spoken << text + '@' + QString::number(logLines(w).size()); });
        w.click("cmdScriptStart");
        QVERIFY(w.spoken.isEmpty()); // speech off
        w.find<QCheckBox>("chkSpack")->setChecked(true);
        w.click("cmdScriptStart"); // spoken before its own record, in line order
        QCOMPARE(w.spoken, (QStringList { "无线路由器发现异常！@3", "R<b>1</b>发现异常！@5" }));
        w.click("cmdScripShow");
        QTRY_COMPARE(panel(w),
            (QStringList {
                "一楼: x=wifi/no/无线路由器 1=all/ 类型错误：类型必须是CMD或URL=all/no/R&lt;b&gt;1&lt;/b&gt;",
                "楼: y=nas/ok/NAS服务器" }));
        auto *rows = w.find<QTableWidget>("tableWidget");
        QCOMPARE(lamp(rows, 0) + lamp(rows, 1), QStringLiteral("rgb(255,0,0)rgb(0,255,0)"));
        QVERIFY(QFileInfo(w.path("log")).isDir());
    }

    // Clicks, direct calls and schedule timeouts while a page is awaited start nothing. Once the
    // run is over the schedule's runs come, each announced; back on manual, none.
    void runsDoNotNest()
    {
        TestWindow w;
        setScheduleSecondMs(1); // the one-minute entry falls due every 60 ms
        auto *keep = w.find<QComboBox>("cmbKeep");
        keep->setCurrentIndex(1);
        w.find<QCheckBox>("chkSpack")->setChecked(true);
        setScript(w, { { "慢", "URL", server.url("/slow"), "", "A" }, { "快", "CMD", "true", "", "A" } });
        auto *start = w.find<QPushButton>("cmdScriptStart");
        bool enabledDuring = true;
        QTimer::singleShot(200, w.window.get(), [&] {
            enabledDuring = start->isEnabled();
            QTest::mouseClick(start, Qt::LeftButton);
            w.call("ScriptStart");
            w.call("AutoKeep");
        });
        start->click();
        QVERIFY(!enabledDuring && start->isEnabled());
        QCOMPARE(logLines(w).size(), 2);
        QVERIFY2(w.spoken.isEmpty(), qPrintable(w.spoken.join(' ')));
        QTRY_VERIFY(logLines(w).size() >= 4);
        keep->setCurrentIndex(0);
        QCOMPARE(w.spoken.value(0), QStringLiteral("1分钟自动执行"));
        w.spoken.clear();
        w.call("AutoKeep");
        QVERIFY(w.spoken.isEmpty());
    }

    void closingStopsTheRun()
    {
        TestWindow w;
        setScript(w,
            { { "首", "CMD", "true", "", "A" }, { "慢", "URL", server.url("/slow"), "OK", "A" },
                { "后", "CMD", "true", "", "A" } });
        w.find<QCheckBox>("chkSpack")->setChecked(true);
        qApp->setQuitOnLastWindowClosed(false); // the test program goes on
        QTimer::singleShot(300, w.window.get(), [&] { w.window->close(); });
        w.click("cmdScriptStart");
        qApp->setQuitOnLastWindowClosed(true);
        QCOMPARE(logLines(w).size(), 1); // only the line that finished before
        QVERIFY(w.spoken.isEmpty());
    }

    // A lost log record stops nothing and is told once, after the run, without waiting for an answer.
    void logWriteFails()
    {
        TestWindow w;
        const QString log = w.path("log/" + QDate::currentDate().toString("yyyy年MM月dd日") + ".txt");
        QVERIFY(QFile::link("/dev/full", log));
        setScript(w, { { "1", "CMD", "true", "", "" }, { "2", "CMD", "true", "", "" } });
        w.click("cmdScriptStart");
        QCOMPARE(w.find<QTableWidget>("tableWidget")->item(1, 1)->text(), QStringLiteral("正常"));
        QCOMPARE(w.boxes(), QStringList { "警告: 日志写入失败：" + log });
    }

    // How long a line has held its verdict shows above the result in its row's cells and on its
    // label, counted to the moment the tooltip is read; after a line's first check, nothing.
    // The metrics file the settings name is written after each run.
    void sinceInToolTips()
    {
        TestWindow w;
        QFile settings(w.path("netcheck.ini"));
        QVERIFY(settings.open(QIODevice::WriteOnly)
            && settings.write("[metrics]\nfile=" + w.path("run.prom").toUtf8()));
        settings.close();
        QSignalSpy recorded(&WindowViews::of(w.window.get())->history, &HistoryThread::recorded);
        auto *table = w.find<QTableWidget>("tableWidget");
        const auto plain
            = [](const QString &tip) { return QTextDocumentFragment::fromHtml(tip).toPlainText(); };
        const QDateTime turned(QDate(2025, 12, 7), QTime(10, 42));
        for (const char *success : { "up", "down" }) {
            setFixedClock(turned.addSecs(QByteArray(success) == "up" ? -600 : 0));
            setScript(w, { { "甲", "CMD", "echo up", success, "机房" } });
            w.click("cmdScriptStart");
            QTRY_COMPARE(recorded.count(), QByteArray(success) == "up" ? 1 : 2);
            if (QByteArray(success) == "up")
                QCOMPARE(plain(table->item(0, 4)->toolTip()), QStringLiteral("up"));
        }
        setFixedClock(turned.addSecs(35 * 60));
        const QString expected = QStringLiteral("异常，自 12月07日 10:42 起，已持续 35 分钟\nup");
        for (int column = 0; column < 6; ++column)
            QCOMPARE(plain(table->item(0, column)->toolTip()), expected);
        w.click("cmdScripShow"); // labels are made once the pictures are shown
        QTRY_VERIFY(w.find("widgetPic")->findChild<QLabel *>());
        auto *label = w.find("widgetPic")->findChild<QLabel *>();
        QHelpEvent hover(QEvent::ToolTip, QPoint(1, 1), label->mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(label, &hover);
        QCOMPARE(plain(label->toolTip()), expected);
        QFile metrics(w.path("run.prom"));
        QVERIFY(metrics.open(QIODevice::ReadOnly) && metrics.readAll().contains("\"甲\",type=\"CMD\""));
    }

    // A double-click on a results row or a device picture opens its line's history window, one
    // per line; another on the same line raises it. A run recording the line shows in it.
    void historyWindows()
    {
        TestWindow w;
        setScript(w, { { "甲", "CMD", "echo ok", "ok", "机房" }, { "乙", "CMD", "echo ok", "no", "机房" } });
        w.click("cmdScriptStart");
        const auto opened = [&] {
            QMap<QString, HistoryWindow *> titled;
            for (HistoryWindow *history : w.window->findChildren<HistoryWindow *>())
                titled.insert(history->windowTitle(), history);
            return titled;
        };
        w.find<QTabWidget>("tabWidget")->setCurrentIndex(1);
        auto *table = w.find<QTableWidget>("tableWidget");
        doubleClick(table->viewport(), table->visualItemRect(table->item(0, 2)).center());
        QTRY_COMPARE(opened().keys(), QStringList { "历史记录 - 甲" });
        HistoryWindow *first = opened().first();
        QSignalSpy shown(first, &HistoryWindow::historyShown);
        QTRY_COMPARE(shown.count(), 1);

        w.call("on_cmdScripShow_clicked"); // its labels are made and laid out from the event loop
        auto *panel = w.find<QWidget>("widgetPic");
        QTRY_COMPARE(panel->findChildren<QLabel *>().size(), 2);
        const QList<QLabel *> labels = panel->findChildren<QLabel *>();
        QTRY_VERIFY(labels.at(0)->isVisible() && labels.at(1)->isVisible());
        QTest::qWait(50);
        doubleClick(labels.at(1), labels.at(1)->rect().center());
        QTRY_COMPARE(opened().keys(), QStringList({ "历史记录 - 乙", "历史记录 - 甲" }));
        for (const bool picture : { false, true }) {
            w.window->activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), w.window.get());
            if (table->isVisible() == picture) // the view clicked into is the one shown
                w.call("on_cmdScripShow_clicked");
            QTRY_VERIFY(picture ? labels.at(0)->isVisible() : table->isVisible());
            if (picture)
                doubleClick(labels.at(0), labels.at(0)->rect().center());
            else
                doubleClick(table->viewport(), table->visualItemRect(table->item(0, 0)).center());
            QTRY_COMPARE(QApplication::activeWindow(), first);
            QCOMPARE(opened().size(), 2);
        }

        w.click("cmdScriptStart");
        // Its uptimes, then its chart's figures.
        const auto shows = [](HistoryWindow *history) {
            QStringList uptimes, figures;
            for (QLabel *label : history->findChildren<QLabel *>())
                (label->text().endsWith('%') ? uptimes : figures) << label->text();
            return uptimes.join(' ') + '|' + figures.filter(QRegularExpression("^检测 ")).join(' ');
        };
        QTRY_VERIFY(shows(first).startsWith("100.0% 100.0% 100.0%|检测 2 次，异常 0 次"));
        QTRY_VERIFY(shows(opened().value("历史记录 - 乙")).startsWith("0.0% 0.0% 0.0%|检测 2 次，异常 2 次"));
    }

    // netcheck.ini is read for every run: a robot that refuses the message is one non-modal
    // warning once it was asked twice, and a metrics file name that is no .prom another.
    void settingsFile()
    {
        TestWindow w;
        HttpTestServer robot;
        robot.serve("/hook", "busy", 500);
        setNotifyBounds(2000, 10, 2000);
        QFile settings(w.path("netcheck.ini"));
        QVERIFY(settings.open(QIODevice::WriteOnly)
            && settings.write(
                "[notify]\nkind=json\nurl=" + robot.url("/hook").toUtf8() + "\n[metrics]\nfile=run.txt"));
        settings.close();
        setScript(w, { { "甲", "CMD", "echo up", "down", "机房" } });
        w.click("cmdScriptStart");
        QStringList boxes; // taken as they come
        QTRY_COMPARE(boxes += w.boxes(),
            QStringList({ "警告: 指标文件名必须以 .prom 结尾：run.txt",
                "警告: 通知发送失败：" + robot.url() + "：HTTP 500" }));
        QCOMPARE(robot.requests.size(), 2);
    }

    // A history file that is no database stops nothing: the run and its log are whole, the
    // file is set aside and the run's rows dropped, told once.
    void brokenHistory()
    {
        TestWindow w(false);
        QFile broken(w.path("history.sqlite"));
        QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write(QByteArray(8192, '\x5a')));
        broken.close();
        w.open();
        setScript(w, { { "1", "CMD", "true", "", "" }, { "2", "CMD", "true", "", "" } });
        w.click("cmdScriptStart");
        QStringList boxes;
        QTRY_VERIFY(!(boxes += w.boxes()).isEmpty());
        QTest::qWait(100); // a second box would come with the first
        boxes += w.boxes();
        QCOMPARE(boxes.size(), 1);
        const QString aside = boxes.first().section("已改名为 ", 1).section("，", 0, 0);
        QVERIFY2(aside.startsWith("history.sqlite.broken-") && QFile::exists(w.path(aside)),
            qPrintable(boxes.first()));
        QCOMPARE(logLines(w).size(), 2);
        QCOMPARE(w.find<QTableWidget>("tableWidget")->item(1, 1)->text(), QStringLiteral("正常"));
    }

    // A lone CR ends a line, a line break in a cell is a blank; a "|" in a cell is refused and
    // the file kept as it was. A folder that takes no new file holding a writable script (for
    // an ordinary user, as root ignores permission bits): written in place.
    void scriptRoundTrips()
    {
        TestWindow w;
        auto *script = w.find<QTableWidget>("tableScript");
        const QString old = QStringLiteral("CMD|true|甲||一楼\rCMD|true|乙|x|\r\nURL|u|丙||\n");
        QVERIFY(writeTextFile(scriptFilePath(), old));
        loadScriptTable(script, readTextFile(scriptFilePath()));
        script->item(0, ScriptTarget)->setText("echo\u20281");
        QCOMPARE(
            scriptTableText(script), QStringLiteral("CMD|echo 1|甲||一楼\nCMD|true|乙|x|\nURL|u|丙||\n"));
        script->item(1, ScriptSuccess)->setText("x|y");
        w.click("cmdSet_SaveScript");
        QCOMPARE(w.boxes(), QStringList { "警告: 第2行“成功字符”含有“|”，无法保存！" });
        script->item(1, ScriptSuccess)->setText("y");
        script->item(0, ScriptLocation)->setText("一|楼");
        w.click("cmdSet_SaveScript");
        QCOMPARE(w.boxes(), QStringList { "警告: 第1行“位置”含有“|”，无法保存！" });
        QFile file(scriptFilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), old.toUtf8());
        script->item(0, ScriptLocation)->setText("一楼");
        QVERIFY(chmod(qPrintable(w.dir.path()), 0555) == 0 && chmod(qPrintable(scriptFilePath()), 0666) == 0);
        setfsuid(65534);
        w.click("cmdSet_SaveScript");
        setfsuid(0);
        QCOMPARE(w.boxes(), QStringList { "提示信息: 文件保存成功！" });
        QCOMPARE(readTextFile(scriptFilePath()),
            QStringLiteral("CMD|echo 1|甲||一楼\nCMD|true|乙|y|\nURL|u|丙||\n"));
    }

    // A new row becomes current, so a delete right after takes it back; the copy is the last run's
    // results, a cell holding a tab quoted the way spreadsheets read pasted text.
    void editAndCopy()
    {
        TestWindow w;
        auto *script = w.find<QTableWidget>("tableScript");
        for (int current : { 0, 1, -1 }) { // in the middle, on the last row, none
            setScript(w, { { "r0" }, { "r1" } });
            script->setCurrentCell(current, 0);
            w.click("cmdScriptInsLine");
            w.click("cmdScriptDelLine");
            QStringList seen;
            for (int r = 0; r < script->rowCount(); ++r)
                seen << (script->item(r, 0) ? script->item(r, 0)->text() : "-");
            QCOMPARE(seen.join(' '), current == 1 ? "r0 r1 -" : "r0 r1");
        }
        setScript(w, { { "甲", "CMD", "printf \"a\\tb\"", "", "一楼" } });
        w.click("cmdScriptStart");
        w.click("cmdScripCopy");
        const QStringList lines = QApplication::clipboard()->text().split('\n');
        QCOMPARE(lines.mid(0, 1) + lines.mid(2),
            QStringList({ "名称\t状态\t检测内容\t检测时间\t检测结果\t位置\t", "\t\t\t\t\t\t", "" }));
        QCOMPARE(lines.value(1).section('\t', 4), "\"a\tb\"\t一楼\t");
    }

    // The window takes real input while a run waits (a click on another tab is handled during
    // the run); a schedule timeout while the command tab waits for its command starts nothing.
    void inputDuringWaits()
    {
        TestWindow w;
        setScript(w, { { "慢", "CMD", "sleep 1", "", "A" } });
        auto *tabs = w.find<QTabWidget>("tabWidget");
        int tabDuringRun = -1;
        QTimer::singleShot(200, [&] {
            QTabBar *bar = tabs->tabBar();
            const QPoint at = bar->mapTo(w.window.get(), bar->tabRect(3).center());
            for (QEvent::Type type : { QEvent::MouseButtonPress, QEvent::MouseButtonRelease })
                QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
                    w.window->windowHandle(), at, w.window->mapToGlobal(at),
                    type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::LeftButton, type);
        });
        QTimer::singleShot(700, [&] { tabDuringRun = tabs->currentIndex(); });
        w.click("cmdScriptStart");
        QCOMPARE(tabDuringRun, 3);

        bool startedDuringCommand = false;
        setSpeechObserver([&](const QString &) { startedDuringCommand |= !w.find("cmdCMD")->isEnabled(); });
        w.find<QCheckBox>("chkSpack")->setChecked(true);
        setScheduleSecondMs(5); // a minute lasts 300 ms
        w.find<QTextEdit>("txtCMD")->setPlainText("sleep 1");
        w.click("cmdCMD");
        w.find<QComboBox>("cmbKeep")->setCurrentIndex(1);
        QTRY_VERIFY(w.find("cmdCMD")->isEnabled());
        w.find<QComboBox>("cmbKeep")->setCurrentIndex(0);
        QVERIFY(!startedDuringCommand);
    }

    // Each engine as "engine: locale/voice;locale/voice": a Mandarin voice is chosen whatever
    // locale it is listed under, the plain voice before its variants; never Cantonese or Hakka.
    void chineseVoice_data()
    {
        QTest::addColumn<QStringList>("offers");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("espeak-ng's plain Mandarin under C, after an English-only engine") << QStringList {
            "flite: en_US/kal16",
            "speechd: C/Chinese (Mandarin, latin as Pinyin);C/Chinese (Mandarin, latin as English)+Adam;"
            "C/Chinese (Mandarin, latin as English);yue_HK/Chinese (Cantonese)"
        } << "speechd/Chinese (Mandarin, latin as English)";
        QTest::newRow("a mainland locale, before a name")
            << QStringList { "speechd: C/Mandarin", "sapi: en_US/David;zh_TW/Hanhan;zh_CN/Huihui" }
            << "sapi/Huihui";
        QTest::newRow("Cantonese and Hakka only")
            << QStringList { "speechd: yue_HK/Cantonese;C/Hakka Chinese" } << "";
    }
    void chineseVoice()
    {
        QFETCH(QStringList, offers);
        QVector<SpeechEngineVoices> engines;
        for (const QString &offer : offers) {
            engines.append({ offer.section(": ", 0, 0), {} });
            for (const QString &voice : offer.section(": ", 1).split(';'))
                engines.last().voices.append({ voice.section('/', 1), QLocale(voice.section('/', 0, 0)) });
        }
        const SpeechChoice choice = chineseVoiceOf(engines);
        QTEST(choice.isValid() ? choice.engine + '/' + choice.voice : QString(), "chosen");
    }

    // The real service, asked by the speech test alone (LANG=C): the box appears once it has
    // answered, and alerts speak with espeak-ng's voice for the language cmn.
    void mandarinUnderCLocale()
    {
        if (qgetenv("LANG") != "C" || !qEnvironmentVariableIsEmpty("LC_ALL"))
            QSKIP("run under LANG=C by the speech test");
        TestWindow w;
        QVERIFY(w.find("chkSpack")->isHidden()); // start-up did not wait
        std::optional<SpeechSurvey> answer;
        whenSpeechReady(w.window.get(), [&](const SpeechSurvey &survey) { answer = survey; });
        // A service that never answers, or none at all, is the machine's fault, not the program's.
        if (!QTest::qWaitFor([&] { return answer.has_value(); }, 120000)
            || answer->offers.value(0).voices.isEmpty())
            QSKIP("no speech service answered here within two minutes");
        QCOMPARE(answer->choice.engine + '/' + answer->choice.voice,
            QStringLiteral("speechd/Chinese (Mandarin, latin as English)"));
        QVERIFY(!w.find("chkSpack")->isHidden());
    }

    // Closed while a run waits for its slow line, with the script as loaded, saved, or edited
    // and then answered: the run ends only if the window closes.
    void closing_data()
    {
        QTest::addColumn<QString>("how"); // edited or saved first, the folder refusing the save
        QTest::addColumn<int>("answer"); // 0: no question expected
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("written");
        QTest::newRow("as loaded") << "" << 0 << true << false;
        QTest::newRow("saved by the button") << "edit save" << 0 << true << true;
        QTest::newRow("保存") << "edit" << int(QMessageBox::Save) << true << true;
        QTest::newRow("不保存") << "edit" << int(QMessageBox::Discard) << true << false;
        QTest::newRow("取消") << "edit" << int(QMessageBox::Cancel) << false << false;
        QTest::newRow("保存 fails") << "edit refuse" << int(QMessageBox::Save) << false << false;
    }
    void closing()
    {
        QFETCH(QString, how);
        QFETCH(int, answer);
        TestWindow w(false);
        QFile script(w.path("chkScript.txt"));
        QVERIFY(script.open(QIODevice::WriteOnly)
            && script.write("CMD|true|首||\nCMD|sleep 1|慢||\nCMD|true|后||\n"));
        script.close();
        w.open();
        qApp->setQuitOnLastWindowClosed(false);
        QTimer::singleShot(300, w.window.get(), [&] {
            if (how.contains("edit"))
                w.find<QTableWidget>("tableScript")->item(2, 0)->setText("新");
            if (how.contains("save"))
                w.click("cmdSet_SaveScript");
            if (how.contains("refuse")) // a folder in the file's place cannot be replaced
                script.remove() && QDir(w.dir.path()).mkdir("chkScript.txt");
            w.boxes();
            MessageBox::setNextAnswer(QMessageBox::StandardButton(answer));
            w.window->close();
        });
        w.click("cmdScriptStart");
        qApp->setQuitOnLastWindowClosed(true);
        const QStringList boxes = w.boxes();
        QCOMPARE(boxes.contains("提示信息: 脚本已修改，是否保存？"), answer != 0);
        QCOMPARE(boxes.contains("警告: 文件保存失败！"), how.contains("refuse"));
        QTEST(!w.window->isVisible(), "closes");
        const QTableWidgetItem *slow = w.find<QTableWidget>("tableWidget")->item(1, 1);
        QTEST(slow && slow->text() == "检测中", "closes");
        QTEST(script.open(QIODevice::ReadOnly) && script.readAll().contains("|新|"), "written");
    }

    // Each entry waits as long as its own text says, on the display and on the restarted timer.
    void entries()
    {
        TestWindow w;
        auto *keep = w.find<QComboBox>("cmbKeep");
        auto *lcd = w.find<QLCDNumber>("lcdNumber");
        QCOMPARE(keep->count(), 12);
        for (int i = 11; i >= 0; --i) {
            const QString text = keep->itemText(i);
            const auto m = QRegularExpression("^(\\d+)(分钟|小时)自动执行$").match(text);
            QVERIFY2(m.hasMatch() || text == "手动执行", qPrintable(text));
            const int seconds
                = m.hasMatch() ? m.captured(1).toInt() * (m.captured(2) == "分钟" ? 60 : 3600) : -1;
            keep->setCurrentIndex(i);
            const int shown = lcd->intValue();
            w.call("DJS"); // read back from the timer
            QVERIFY2(shown == seconds && lcd->intValue() == seconds,
                qPrintable(text + ' ' + QString::number(shown)));
        }
    }

    // A fixed script, run and saved with the clock fixed, gives the same log and script bytes as ever.
    void goldenRun()
    {
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("GBK"));
        setFixedClock(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)));
        TestWindow w(false);
        QVERIFY(QFile::copy(TEST_DATA_DIR "/golden/chkScript-in.txt", w.path("chkScript.txt")));
        w.open();
        w.click("cmdScriptStart");
        w.click("cmdSet_SaveScript");
        setFixedClock(QDateTime());
        const QStringList made = { "log/2026年01月02日.txt", "chkScript.txt" },
                          golden = { "log.txt", "chkScript.txt" };
        for (int i = 0; i < 2; ++i) {
            QFile file(w.path(made.at(i))), expected(TEST_DATA_DIR "/golden/" + golden.at(i));
            QVERIFY(file.open(QIODevice::ReadOnly) && expected.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), expected.readAll());
        }
    }

    // Later addresses answer at once while earlier ones stay silent: results still show in
    // address order. A later scan adds no duplicates: .1 stops answering but stays listed, .4
    // answers again, .3 is new and goes last. Clearing waits for the running scan.
    void scanResults()
    {
        TestWindow w;
        auto *log = w.find<QTextEdit>("txtJG");
        {
            FakePing fake({ "127.0.1.1", "127.0.1.4", "127.0.1.5" });
            scan(w, " 127.0.1.1\t", "  127.0.1.6 "); // blanks do not matter
            // The log grows while .2 is waited for.
            QTRY_COMPARE(log->toPlainText(), QStringLiteral("Ping 127.0.1.1 >> 成功\n"));
            QTRY_VERIFY_WITH_TIMEOUT(w.find("cmdScanIP")->isEnabled(), kHangMs);
            QCOMPARE(log->toPlainText(),
                "Ping 127.0.1.6 >> 失败\nPing 127.0.1.5 >> 成功\nPing 127.0.1.4 >> 成功\n"
                "Ping 127.0.1.3 >> 失败\nPing 127.0.1.2 >> 失败\nPing 127.0.1.1 >> 成功\n");
        }
        FakePing fake({ "127.0.1.3", "127.0.1.4" });
        scan(w, "127.0.1.1", "127.0.1.4");
        QTRY_VERIFY_WITH_TIMEOUT(w.find("cmdScanIP")->isEnabled(), kHangMs);
        QStringList rows; // subnet: address=name ...
        for (QTreeWidgetItemIterator it(w.find<QTreeWidget>("treeWidgetIpScan")); *it; ++it)
            rows << ((*it)->parent() ? " " : "") + (*it)->text(0)
                    + ((*it)->parent() ? '=' + (*it)->text(1) : ":");
        QCOMPARE(rows.join(""),
            QStringLiteral("127.0.1: 127.0.1.1=host-1 127.0.1.4=host-4 127.0.1.5=host-5 127.0.1.3=host-3"));
        scan(w, "127.0.1.1", "127.0.1.20");
        w.call("on_cmdClearTree_clicked");
        QCOMPARE(w.find<QTreeWidget>("treeWidgetIpScan")->topLevelItemCount(), 1);
        w.window.reset(); // closing during a scan: late results have nowhere to go
        QCoreApplication::processEvents();
    }

    // The command tab runs its lines one after another without blocking, in a fixed-width font:
    // under each line and the separator its output as text, then its standard error, then why it
    // failed; a line over 64 KiB is cut with the note. The button is off until all of it shows.
    void commandTab()
    {
        TestWindow w;
        w.find<QTextEdit>("txtCMD")->setPlainText(
            "  printf <b>x</b>  \n\nno-such-program-netcheck\n"
            "sh -c \"echo out; echo err >&2; exit 3\"\nprintf %070000d 0");
        w.click("cmdCMD");
        QVERIFY(!w.find("cmdCMD")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(w.find("cmdCMD")->isEnabled(), kHangMs);
        const QString line = QString(49, '-') + '\n';
        QCOMPARE(w.find<QTextEdit>("textCMD")->toPlainText(),
            "printf <b>x</b>\n" + line + "<b>x</b>\nno-such-program-netcheck\n" + line
                + "\n无法启动程序：no-such-program-netcheck\nsh -c \"echo out; echo err >&2; exit 3\"\n"
                + line + "out\n\nerr\n退出代码：3\nprintf %070000d 0\n" + line + QString(64 * 1024, '0')
                + cutNote(70000) + '\n');
        QVERIFY(QFontInfo(w.find("textCMD")->font()).fixedPitch());
        // Output shows while its command still runs.
        w.find<QTextEdit>("txtCMD")->setPlainText("sh -c \"echo first; sleep 30\"");
        w.click("cmdCMD");
        QTRY_VERIFY(w.find<QTextEdit>("textCMD")->toPlainText().endsWith(line + "first"));
        QVERIFY(!w.find("cmdCMD")->isEnabled());
    }

    // The web page tab shows a page in its character set; where none came, the reason instead of
    // the page, as the batch run gives it, and no source.
    void webTab_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("rendered");
        QTest::addColumn<QString>("source");
        QTest::newRow("GBK page") << server.url("/gbk") << "网络正常"
                                  << "<p>网络正常</p>";
        QTest::newRow("refused") << "http://127.0.0.1:1/"
                                 << "连接被拒绝"
                                 << "";
        QTest::newRow("no scheme") << server.url("/gbk").mid(7) << "无法获取页面"
                                   << "";
    }
    void webTab()
    {
        QFETCH(QString, address);
        QFETCH(QString, source);
        TestWindow w;
        w.find<QLineEdit>("txtUrl")->setText(address);
        w.find<QTextEdit>("txtUrlTxt")->setPlainText("earlier page");
        w.click("cmdUrl");
        QTRY_VERIFY_WITH_TIMEOUT(w.find("cmdUrl")->isEnabled(), kHangMs);
        QTRY_COMPARE(w.find<QTextEdit>("txtUrlTxt")->toPlainText(), source);
        QTEST(w.find<QTextEdit>("txtUrlHtml")->toPlainText(), "rendered");
    }

    // What the web page tab, the advertisement label and a device label's tooltip show of a
    // page naming a FIFO (as a path and as a file: address) is loaded from nowhere; a page over
    // 2 MiB is cut between two characters, with a note above the rendering.
    void pagesLoadNothing()
    {
        QTextEdit source, rendered;
        QLabel ad;
        const bool waited = waitsOnFifo([&](const QString &fifo) {
            const QByteArray page = "<b>hi</b><img src=\"" + fifo.toUtf8() + "\"><img src=\""
                + QUrl::fromLocalFile(fifo).toEncoded() + "\">";
            showPage(&source, &rendered, pageText(page));
            rendered.grab(); // lays out and paints, pictures included
            // A picture with a size given is opened only when painted.
            setInertLabelText(&ad, "<b>hi</b><img width=9 height=9 src=\"" + fifo + "\">");
            ad.grab();
            QToolTip::showText(QPoint(), plainToolTip(QString::fromUtf8(page)), &ad);
            QToolTip::hideText();
        });
        QVERIFY(!waited);
        const auto tip = [](const QString &text) {
            return QTextDocumentFragment::fromHtml(plainToolTip(text)).toPlainText();
        };
        QCOMPARE(tip("<b>hi</b>\nok"), QStringLiteral("<b>hi</b>\nok")); // as typed
        QCOMPARE(tip(QString(kToolTipMaxChars, 'x') + "yz"), QString(kToolTipMaxChars, 'x') + "…");
        QCOMPARE(ad.text(), QStringLiteral("hi"));
        // Shown of a page of 2 MiB and more: its first 64 KiB, a line, and the note; rendered, its
        // first 64 KiB under a note.
        showPage(&source, &rendered, pageText(QByteArray(kShownTextBytes - 1, 'a') + "\xc3\xa9"));
        QTRY_COMPARE(source.toPlainText(), QString(kShownLineBytes, 'a') + cutNote(kShownTextBytes + 1));
        QCOMPARE(rendered.toPlainText(),
            "页面超过 64 KiB，只显示前 64 KiB。\n" + QString(kPageRenderMaxBytes, 'a'));
    }

    // Markup nested too deep for the toolkit loses the tags of the deeper levels, not its text;
    // other markup stays as it is.
    void shallowMarkup()
    {
        const QString page = "<TABLE><tr><td>a</td></tr></table><p>b<br>c<ul><li>d</ul>";
        QCOMPARE(shallowHtml(page), page);
        const QString open = "<table><tr><td>x", close = "</td></tr></table>";
        QCOMPARE(shallowHtml(open.repeated(kHtmlMaxTables + 2) + close.repeated(kHtmlMaxTables + 2)),
            open.repeated(kHtmlMaxTables) + "xx" + close.repeated(kHtmlMaxTables));
        QCOMPARE(shallowHtml(QString("<b>").repeated(kHtmlMaxDepth + 5) + "y</b>"),
            QString("<b>").repeated(kHtmlMaxDepth) + "y");
    }

    // A cut-off download leaves no file behind, or the banner would never be fetched again.
    void bannerCutOff()
    {
        TestWindow w;
        QVERIFY(QFile::remove(w.path("logo.gif")));
        QMetaObject::invokeMethod(w.window.get(), "setNetworkGIF", Q_ARG(QString, server.url("/cut")));
        QVERIFY(!QFile::exists(w.path("logo.gif")));
        QVERIFY(!w.find<QLabel>("labGif")->movie());
    }

    // The button prints the last run's results beside the program, landscape, titled with the date
    // of the print, replacing the last print, and hands it to the viewer.
    void printButton()
    {
        TestWindow w;
        setScript(w, { { "设备1", "CMD", "echo 输出甲", "", "一楼" } });
        w.click("cmdScripPrint"); // before any run: the start-up table
        QVERIFY(pageTexts(w.path("tmpPDF.pdf"))
                    .value(0)
                    .contains(" 名称 状态 检测内容 检测时间 检测结果 第 1 页 共 1 页"));
        w.click("cmdScriptStart");
        const QString before = QDate::currentDate().toString("yyyy年MM月dd日检测结果");
        w.click("cmdScripPrint");
        const QString after = QDate::currentDate().toString("yyyy年MM月dd日检测结果");
        const QStringList pages = pageTexts(w.path("tmpPDF.pdf"));
        QCOMPARE(pages.size(), 1);
        QVERIFY2(pages.at(0).startsWith(before + " 名称") || pages.at(0).startsWith(after + " 名称"),
            qPrintable(pages.at(0)));
        QVERIFY(pages.at(0).contains(" 设备1 ") && pages.at(0).contains(" CMD-echo 输出甲 ")
            && pages.at(0).contains(" 一楼 "));
        QTRY_COMPARE(opened(), (w.path("tmpPDF.pdf") + '\n').repeated(2));
        QCOMPARE(w.boxes(), QStringList());
    }

    // The banner and the print file are the program's own: a link in their place, dangling or to
    // a file outside the folder, is replaced by the new file and its target left as it was.
    void ownFilesReplaceLinks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("dangling");
        for (const QString name : { "logo.gif", "tmpPDF.pdf" })
            for (bool dangling : { true, false })
                QTest::addRow("%s %s", qPrintable(name), dangling ? "dangling" : "to a file")
                    << name << dangling;
    }
    void ownFilesReplaceLinks()
    {
        QFETCH(QString, name);
        QFETCH(bool, dangling);
        QTemporaryDir outside;
        const QString target = outside.filePath("target");
        if (!dangling)
            QVERIFY(QFile(target).open(QIODevice::WriteOnly));
        TestWindow w(false);
        QVERIFY(QFile::link(target, w.path(name)));
        w.open();
        if (name == "logo.gif")
            QMetaObject::invokeMethod(
                w.window.get(), "setNetworkGIF", Q_ARG(QString, "qrc:/startup/banner.gif"));
        else
            w.click("cmdScripPrint");
        QVERIFY(QFileInfo(w.path(name)).size() > 0 && !QFileInfo(w.path(name)).isSymLink());
        QVERIFY(QFileInfo::exists(target) != dangling && QFileInfo(target).size() == 0);
    }

    // Where no viewer takes the report, a box says where it is; the window never waits for
    // the opener.
    void viewerMissing_data()
    {
        QTest::addColumn<int>("exit"); // of the fake xdg-open; -1: none on PATH
        QTest::newRow("viewer opens it") << 0;
        QTest::newRow("no viewer") << 3;
        QTest::newRow("no xdg-open") << -1;
    }
    void viewerMissing()
    {
        QFETCH(int, exit);
        TestWindow w;
        viewer(false, exit);
        if (exit < 0)
            qputenv("PATH", "/nowhere");
        w.click("cmdScripPrint");
        qputenv("PATH", tools.path().toLocal8Bit() + ':' + path);
        QVERIFY(exit < 0 || w.boxes().isEmpty()); // the opener still waits
        viewer(true, exit);
        QTRY_VERIFY(w.window->findChildren<QProcess *>().isEmpty());
        QCOMPARE(w.boxes(),
            exit == 0 ? QStringList()
                      : QStringList {
                          "提示信息: 没有找到打开PDF文件的程序，报告已保存在：\n" + w.path("tmpPDF.pdf") });
        // The window goes while the opener waits, or after it ended but before its end was
        // delivered: nothing is said.
        for (bool ended : { false, true }) {
            w.open();
            viewer(ended, exit);
            w.click("cmdScripPrint");
            if (ended)
                QTest::qSleep(500); // it ends meanwhile; no event loop delivers that
            w.window.reset();
            QCOMPARE(w.boxes(), QStringList());
        }
    }

    // A script that exists but cannot be read, or is too long for the window, is said once the
    // window is shown, never during start-up, leaves the table empty and is not overwritten
    // without asking.
    void scriptNotLoaded_data()
    {
        QTest::addColumn<int>("lines"); // 0: a FIFO
        QTest::addColumn<QString>("warning");
        QTest::newRow("unreadable") << 0 << "无法读取检测脚本：%1";
        QTest::newRow("10001 lines") << 10001
                                     << "检测脚本有 10001 行，超过窗口可载入的 10000 行；请用 --check 运行。";
    }
    void scriptNotLoaded()
    {
        QFETCH(int, lines);
        QFETCH(QString, warning);
        TestWindow w(false);
        const QString path = w.path("chkScript.txt");
        QVERIFY(lines ? writeTextFile(path, QString("CMD|true|甲||\n").repeated(lines))
                      : mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        w.open();
        QCOMPARE(w.boxes(), QStringList());
        QCoreApplication::processEvents();
        QCOMPARE(w.boxes(), QStringList { "警告: " + warning.replace("%1", path) });
        QVERIFY(!w.find<QTableWidget>("tableScript")->item(0, 0));
        setScript(w, { { "甲", "CMD", "true", "", "" } });
        const QString question = "提示信息: 检测脚本未能读取，保存将覆盖它，是否继续？";
        MessageBox::setNextAnswer(QMessageBox::No);
        w.click("cmdSet_SaveScript");
        QCOMPARE(w.boxes(), QStringList { question });
        QCOMPARE(scriptFileLines(path), lines);
        MessageBox::setNextAnswer(QMessageBox::Yes);
        w.click("cmdSet_SaveScript");
        QCOMPARE(w.boxes(), QStringList({ question, "提示信息: 文件保存成功！" }));
        QCOMPARE(readTextFile(path), "CMD|true|甲||\n");
    }

    // What is typed stays: a row without a name is not saved but named, and stays in the table; a
    // cell still being edited when the window is closed counts as an edit.
    void editsAreKept()
    {
        TestWindow w(false);
        QVERIFY(writeTextFile(scriptFilePath(), "CMD|true|甲||\n"));
        w.open();
        QApplication::setActiveWindow(w.window.get());
        userTab(w, 2);
        auto *table = w.find<QTableWidget>("tableScript");
        const auto typeInto = [&](int row, int column, const QString &text) {
            userClick(table->viewport(), table->visualRect(table->model()->index(row, column)).center());
            userType(w.window.get(), text);
        };
        typeInto(1, ScriptType, "url");
        userClick(w.find("cmdSet_SaveScript"));
        const QString saved = "提示信息: 文件保存成功！\n第2行没有名称，未保存。";
        QCOMPARE(w.boxes(), QStringList { saved });
        QCOMPARE(table->item(1, ScriptType)->text(), "url");
        typeInto(0, ScriptAlias, "乙");
        qApp->setQuitOnLastWindowClosed(false);
        MessageBox::setNextAnswer(QMessageBox::Save);
        QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
            w.window->windowHandle());
        qApp->setQuitOnLastWindowClosed(true);
        QCOMPARE(w.boxes(), QStringList({ "提示信息: 脚本已修改，是否保存？", saved }));
        QCOMPARE(readTextFile(scriptFilePath()), "CMD|true|乙||\n");
    }

    // A fast line below a slow one shows its verdict while the slow one is still checked; at the
    // end both rows are as ever.
    void rowsAsChecksEnd()
    {
        TestWindow w;
        setScript(
            w, { { "慢", "URL", server.url("/slow"), "OK", "" }, { "快", "CMD", "echo ok", "ok", "" } });
        auto *rows = w.find<QTableWidget>("tableWidget");
        const auto row = [&](int r) {
            return rows->item(r, 1)
                ? rows->item(r, 0)->text() + ' ' + rows->item(r, 1)->text() + ' ' + lamp(rows, r)
                : QString("-");
        };
        QStringList during;
        QTimer::singleShot(400, [&] { during << row(0) << row(1); });
        userTab(w, 1);
        userClick(w.find("cmdScriptStart"));
        QCOMPARE(during, QStringList({ "慢 检测中 rgb(190,190,190)", "快 正常 rgb(0,255,0)" }));
        QCOMPARE(row(0) + ' ' + rows->item(0, 4)->text(), "慢 正常 rgb(0,255,0) <p>OK</p>");
    }

    // A run that falls due while the command tab's command runs starts once it has ended (once,
    // whatever the ticks meanwhile), the countdown showing 0 until then; the next interval
    // counts from that run's start.
    void busyTickRunsAfterwards()
    {
        TestWindow w;
        setScript(w, { { "甲", "CMD", "true", "", "" } });
        setScheduleSecondMs(5); // a minute lasts 300 ms
        w.find<QCheckBox>("chkSpack")->setChecked(true);
        QElapsedTimer clock;
        clock.start();
        QList<qint64> runs;
        bool duringCommand = false;
        setSpeechObserver([&](const QString &) {
            runs << clock.elapsed();
            duringCommand |= !w.find("cmdCMD")->isEnabled();
        });
        w.find<QComboBox>("cmbKeep")->setCurrentIndex(1);
        QApplication::setActiveWindow(w.window.get());
        userTab(w, 4);
        userClick(w.find("txtCMD"));
        userType(w.window.get(), "sleep 1");
        userClick(w.find("cmdCMD"));
        int waiting = -1;
        QTimer::singleShot(700, [&] {
            w.call("DJS");
            waiting = w.find<QLCDNumber>("lcdNumber")->intValue();
        });
        QTRY_VERIFY_WITH_TIMEOUT(runs.size() >= 2, kHangMs);
        w.find<QComboBox>("cmbKeep")->setCurrentIndex(0);
        QCOMPARE(waiting, 0);
        QVERIFY(!duringCommand);
        QVERIFY2(runs.at(1) - runs.at(0) >= 270, qPrintable(QString::number(runs.at(1) - runs.at(0))));
    }

    // On a 1024x768 screen with a panel, 30 devices in one place and seven more places: turning
    // the mouse wheel over the view brings every label into view whole, none squeezed.
    void picturesOnSmallScreen()
    {
        TestWindow w;
        QList<QStringList> rows;
        for (int i = 0; i < 37; ++i)
            rows << QStringList { QString(i % 2 ? "打印机%1" : "网络摄像头%1").arg(i), "CMD", "true", "",
                i < 30 ? "机房" : QString("楼层%1").arg(i) };
        setScript(w, rows);
        w.window->setGeometry(windowPlacement({ 0, 0, 1024, 728 }, { 4, 30, 4, 4 }, w.window->size()));
        userTab(w, 1);
        userClick(w.find("cmdScriptStart"));
        userClick(w.find("cmdScripShow"));
        auto *scroll = w.find<QScrollArea>("scrollPic");
        QWidget *view = scroll->viewport();
        QList<QLabel *> labels;
        QTRY_VERIFY((labels = view->findChildren<QLabel *>()).size() == 37 && labels.last()->isVisible()
            && scroll->verticalScrollBar()->maximum() > 0);
        QSet<QLabel *> read;
        for (int notch = 0; notch < 100 && read.size() < labels.size(); ++notch) {
            for (QLabel *label : labels) {
                // Its own document, laid out as painted, fits it: nothing cut, nothing overlapping.
                const QTextDocument *shown = label->findChild<QTextDocument *>();
                if (label->visibleRegion() == QRegion(label->rect()) && shown->idealWidth() <= label->width()
                    && shown->size().height() <= label->height())
                    read << label;
            }
            userWheel(view, -1);
        }
        QCOMPARE(read.size(), labels.size());
        QVERIFY(labels.at(0)->y() == labels.at(1)->y()); // side by side, not one long column
        QCOMPARE(w.window->height(), 694);
    }

    // The window and its frame lie within the screen's available area, centred, the form's size
    // kept where it fits.
    void placement_data()
    {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QMargins>("frame");
        QTest::addColumn<QRect>("placed");
        QTest::newRow("1366x768, panel below")
            << QRect(0, 0, 1366, 728) << QMargins(4, 30, 4, 4) << QRect(171, 30, 1024, 694);
        QTest::newRow("1024x768, panel above")
            << QRect(0, 32, 1024, 736) << QMargins(4, 30, 4, 4) << QRect(4, 62, 1016, 702);
        QTest::newRow("large screen")
            << QRect(0, 0, 1920, 1040) << QMargins(4, 30, 4, 4) << QRect(448, 173, 1024, 720);
        QTest::newRow("second screen, not framed yet")
            << QRect(1920, 0, 1280, 1024) << QMargins() << QRect(2048, 152, 1024, 720);
    }
    void placement()
    {
        QFETCH(QRect, available);
        QFETCH(QMargins, frame);
        QTEST(windowPlacement(available, frame, QSize(1024, 720)), "placed");
    }

private:
    void viewer(bool closed, int exit)
    {
        QFile code(tools.filePath("xdg-open.exit"));
        code.open(QIODevice::WriteOnly);
        code.write(QByteArray::number(qMax(exit, 0)));
        if (closed)
            QFile(tools.filePath("xdg-open.closed")).open(QIODevice::WriteOnly);
        else
            QFile::remove(tools.filePath("xdg-open.closed"));
    }
    QString opened() const
    {
        QFile log(tools.filePath("xdg-open.log"));
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
    }
    QTemporaryDir tools;
    const QByteArray path = qgetenv("PATH");
    HttpTestServer server;
};

QTEST_MAIN(TstGui)
#include "tst_gui.moc"
