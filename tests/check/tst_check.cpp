#include "batchrun.h"
#include "checkengine.h"
#include "checkscript.h"
#include "clock.h"
#include "httptestserver.h"
#include "processes.h"
#include "schedule.h"
#include "speech.h"
#include "testwindow.h"

#include <QtTest>
#include <QtWidgets>
#include <csignal>
#include <optional>
#include <qpa/qwindowsysteminterface.h>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace
{
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
            boxes.last() += ' ' + QTextDocumentFragment::fromHtml(label->toolTip()).toPlainText() + '=';
            for (const QString &picture : label->text().split(":/tree/").mid(1))
                boxes.last() += picture.section('.', 0, 0) + '/';
            boxes.last() += label->text().section("<span>", 1).section("</span>", 0, 0);
        }
    }
    return boxes;
}

QStringList logLines(const TestWindow &w)
{
    QFile file(w.path("log/" + QDate::currentDate().toString("yyyy年MM月dd日") + ".txt"));
    file.open(QIODevice::ReadOnly);
    return QTextCodec::codecForLocale()->toUnicode(file.readAll()).split('\n', Qt::SkipEmptyParts);
}
} // namespace

class TstCheck : public QObject
{
    Q_OBJECT

public:
    TstCheck()
    {
        server.serve("/up", "\n  <p>服务 OK</p>  \n");
        server.route("/slow", { 200, {}, "<p>OK</p>", HttpTestReply::Answer, 0, 800 });
    }

private slots:
    void cleanup()
    {
        QTextCodec::setCodecForLocale(nullptr);
        setCheckBounds(0, 0);
        setScheduleSecondMs(0);
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
        QCOMPARE(w.boxes(),
            QStringList({ "提示信息: 文件保存成功！", "提示信息: 文件保存成功！", "警告: 文件保存失败！" }));
    }

    // The status and output of one line; the other columns go to the log, checked there.
    void checkLines_data()
    {
        QTest::addColumn<QString>("line"); // type|target|success text
        QTest::addColumn<int>("boundMs");
        QTest::addColumn<QString>("result"); // status|output
        const QString page = "\n  <p>服务 OK</p>  \n", url = server.url();
        // clang-format off
        QTest::newRow("empty success text passes") << "CMD|true|" << 0 << "正常|";
        QTest::newRow("exit status alone decides nothing") << "CMD|sh -c \"echo up; exit 3\"|up" << 0 << "正常|up";
        QTest::newRow("blank runs reach the command as one, output trimmed") << "CMD|printf \" [%s] \" \"a  b\"|[a b]" << 0 << "正常|[a b]";
        QTest::newRow("command over its bound fails") << "CMD|sh -c \"echo started; sleep 5\"|" << 300 << "异常|超过 0.3 秒未完成，已终止\nstarted";
        QTest::newRow("missing program fails, empty success text too") << "CMD|no-such-program-5c1|" << 0 << "异常|无法启动程序：no-such-program-5c1";
        QTest::newRow("page holds the text, kept untrimmed; lower-case type") << "url|" + url + "/up|OK" << 0 << "正常|" + page;
        QTest::newRow("error status: the error page is the page, its case counts") << "URL|" + url + "/gone|Route" << 0 << "异常|no route";
        QTest::newRow("page over its bound fails") << "URL|" + url + "/slow|" << 300 << "异常|超过 0.3 秒未完成，已终止";
        QTest::newRow("type neither CMD nor URL") << "PING|127.0.0.1|" << 0 << "异常|类型错误：类型必须是CMD或URL";
        // clang-format on
    }
    void checkLines()
    {
        QFETCH(QString, line);
        QFETCH(int, boundMs);
        QFETCH(QString, result);
        setCheckBounds(boundMs, boundMs);
        TestWindow w;
        setScript(w, { QStringList { "甲" } + line.split('|') });
        w.click("cmdScriptStart");
        auto *table = w.find<QTableWidget>("tableWidget");
        QCOMPARE(table->item(0, 1)->text() + '|' + table->item(0, 4)->text(), result);
        const QString lamp = table->cellWidget(0, 1)->findChild<QLabel *>()->styleSheet();
        QVERIFY(lamp.endsWith(result.startsWith("正常") ? "rgb(0,255,0)" : "rgb(255,0,0)"));
    }

    void logRecords()
    {
        // An 8-bit locale other than the test's UTF-8 shows that its encoding is used.
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("GBK"));
        TestWindow w;
        setScript(w,
            { { "网关", "CMD", "seq 1 5000", "5000", "机房" },
                { "打印机", "cmd", "echo off", "on", "二楼" } });
        const QDate day = QDate::currentDate();
        w.click("cmdScriptStart");
        w.click("cmdScriptStart");
        if (QDate::currentDate() != day)
            QSKIP("the runs crossed midnight");
        const QStringList run = { "机房,网关,正常,CMD-seq 1 5000,T,", "二楼,打印机,异常,cmd-echo off,T," };
        QCOMPARE(logLines(w).replaceInStrings(
                     QRegularExpression(",\\d{4}年\\d\\d月\\d\\d日 \\d\\d:\\d\\d:\\d\\d,$"), ",T,"),
            run + run);
    }

    // A failing line is spoken before the next line runs. Each check line marks its own label
    // and a row that is no check line keeps its own. Labels are grouped by trimmed location, and
    // the later keyword picks the picture. A missing log folder stops nothing and is made again.
    void alertsAndLabels()
    {
        TestWindow w;
        QVERIFY(QDir(w.path("log")).removeRecursively());
        setScript(w,
            { { "无线路由器", "CMD", "echo x", "y", "一楼" }, { "", "CMD", "echo", "", "一楼" },
                { "NAS服务器", "CMD", "echo y", "y", "楼" }, { "R<b>1</b>", "BAD", "x", "", " 一楼 " } });
        setSpeechObserver([&](const QString &text) {
            int done = 0; // rows with a result
            while (w.find<QTableWidget>("tableWidget")->item(done, 4))
                ++done;
            w.spoken << text + '@' + QString::number(done);
        });
        w.click("cmdScriptStart");
        QVERIFY(w.spoken.isEmpty()); // speech off
        w.find<QCheckBox>("chkSpack")->setChecked(true);
        w.click("cmdScriptStart");
        QCOMPARE(w.spoken, (QStringList { "无线路由器发现异常！@1", "R<b>1</b>发现异常！@3" }));
        QCOMPARE(panel(w),
            (QStringList {
                "一楼: x=wifi/no/无线路由器 1=all/ 类型错误：类型必须是CMD或URL=all/no/R&lt;b&gt;1&lt;/b&gt;",
                "楼: y=nas/ok/NAS服务器" }));
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

    // Checks that could not run fail whatever their success text, and say why: refused, cut
    // off (the success text in the part that came); an error page came. A failed log write
    // is reported once after the run, and a record cut short is ended before the next.
    void couldNotRunAndLogWrites()
    {
        server.route(
            "/cut", { 200, {}, QByteArray(100000, 'x').replace(10, 2, "OK"), HttpTestReply::CutMidBody, 20 });
        server.serve("/gone", "<p>OK</p>", 404);
        TestWindow w;
        const QString log = w.path("log/" + QDate::currentDate().toString("yyyy年MM月dd日") + ".txt");
        QVERIFY(QFile::link("/dev/full", log));
        setScript(w,
            { { "1", "URL", "http://127.0.0.1:1/", "", "" }, { "2", "URL", server.url("/cut"), "OK", "" },
                { "3", "URL", server.url("/cut"), "", "" }, { "4", "URL", server.url("/gone"), "OK", "" } });
        w.click("cmdScriptStart");
        auto *table = w.find<QTableWidget>("tableWidget");
        QStringList rows;
        for (int r = 0; r < 4; ++r)
            rows << table->item(r, 1)->text() + ' ' + table->item(r, 4)->text();
        const QString cut = QStringLiteral("异常 页面不完整\nxxxxxxxxxxOKxxxxxxxx");
        QCOMPARE(rows, (QStringList { "异常 连接被拒绝", cut, cut, "正常 <p>OK</p>" }));
        QCOMPARE(w.boxes(), QStringList { "警告: 日志写入失败：" + log });
        QVERIFY(QFile::remove(log) && appendTextFile(log, "机房,设备0,正常,CMD-ech")
            && appendTextFile(log, "x,\n"));
        QCOMPARE(logLines(w), (QStringList { "机房,设备0,正常,CMD-ech", "x," }));
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
        script->item(0, ScriptTarget)->setText("echo\r\n1");
        QCOMPARE(
            scriptTableText(script), QStringLiteral("CMD|echo 1|甲||一楼\nCMD|true|乙|x|\nURL|u|丙||\n"));
        script->item(1, ScriptSuccess)->setText("x|y");
        w.click("cmdSet_SaveScript");
        QCOMPARE(w.boxes(), QStringList { "警告: 第2行“成功字符”含有“|”，无法保存！" });
        QFile file(scriptFilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), old.toUtf8());
        script->item(1, ScriptSuccess)->setText("y");
        QVERIFY(chmod(qPrintable(w.dir.path()), 0555) == 0 && chmod(qPrintable(scriptFilePath()), 0666) == 0);
        setfsuid(65534);
        w.click("cmdSet_SaveScript");
        setfsuid(0);
        QCOMPARE(w.boxes(), QStringList { "提示信息: 文件保存成功！" });
        QCOMPARE(readTextFile(scriptFilePath()),
            QStringLiteral("CMD|echo 1|甲||一楼\nCMD|true|乙|y|\nURL|u|丙||\n"));
    }

    // A new row becomes current, so a delete right after takes it back; copied cells holding a
    // tab, a line break or a quote are quoted the way spreadsheets read pasted text.
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
        auto *results = w.find<QTableWidget>("tableWidget");
        results->setColumnCount(2);
        results->setRowCount(1);
        results->setItem(0, 0, new QTableWidgetItem(" 64 bytes\nTTL=64 "));
        results->setItem(0, 1, new QTableWidgetItem("\"a\"\tb"));
        w.click("cmdScripCopy");
        QCOMPARE(
            QApplication::clipboard()->text().section('\n', 1), "\"64 bytes\nTTL=64\"\t\"\"\"a\"\"\tb\"\t\n");
    }

    // Lines that end out of order are reported in script order. A cancel ends every process of
    // a command's group and reports nothing more.
    void runnerOrderAndCancel()
    {
        CheckRunner runner;
        QList<int> order;
        connect(&runner, &CheckRunner::checked, [&](int index) { order << index; });
        QSignalSpy finished(&runner, &CheckRunner::finished);
        runner.start(
            checkLinesOf("CMD|sleep 0.5|慢||\nCMD|echo b|快|b|\nURL|" + server.url("/up") + "|页|OK|\n"));
        QVERIFY(finished.wait(10000));
        QCOMPARE(order, QList<int>({ 0, 1, 2 }));
        QTemporaryDir dir;
        const QString group = dir.filePath("group");
        runner.start(checkLinesOf("CMD|sh -c \"echo $$ > " + group + "; sleep 300 & sleep 301\"|甲||\n"));
        QTRY_VERIFY(numberIn(group) > 0);
        runner.cancel();
        QTRY_COMPARE(livingInGroup(numberIn(group)), 0);
        QVERIFY(!finished.wait(300));
        QCOMPARE(order.size(), 3);
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
        QTEST(!w.find<QTableWidget>("tableWidget")->item(2, 0), "closes");
        QTEST(script.open(QIODevice::ReadOnly) && script.readAll().contains("|新|"), "written");
    }

    // Labels built while the picture panel is hidden show their pictures once it is shown;
    // labels built while it is shown show them at once.
    void deviceLabelsRenderWhenShown()
    {
        TestWindow w;
        setScript(w, { { "网站", "CMD", "true", "", "机房" } });
        w.call("RefPIcture");
        for (const char *slot : { "on_cmdScripShow_clicked", "RefPIcture" }) {
            w.call(slot);
            QCOMPARE(w.find("widgetPic")->findChild<QLabel *>()->textFormat(), Qt::RichText);
        }
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

    void countdownRoundsUp()
    {
        QCOMPARE(countdownSeconds(1, 1000), 1);
        QCOMPARE(countdownSeconds(1000, 1000), 1);
        QCOMPARE(countdownSeconds(1001, 1000), 2);
    }

private:
    HttpTestServer server;
};

QTEST_MAIN(TstCheck)
#include "tst_check.moc"
