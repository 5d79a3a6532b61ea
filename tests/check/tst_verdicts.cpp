#include "batchwindow.h"
#include "checkscript.h"
#include "httptestserver.h"
#include "recordedboxes.h"
#include "startup.h"
#include "testrunner.h"

#include <QTest>

#include <sys/fsuid.h>
#include <sys/stat.h>

class TstVerdicts : public QObject
{
    Q_OBJECT

private slots:
    void verdictsAndRecords();
};

void TstVerdicts::verdictsAndRecords()
{
    HttpTestServer server;
    QVERIFY(server.start());
    server.setRoute(
        "/cut", { 200, {}, QByteArray(100000, 'x').replace(10, 2, "OK"), HttpTestReply::CutMidBody, 20 });
    server.serve("/gone", "<p>OK</p>", 404);
    BatchWindow w;
    QVERIFY(QFile::link("/dev/full", w.logPath()));
    // Could not run: refused, cut off (the success text in the part that came). An error page came.
    w.setScript({ { "1", "URL", "http://127.0.0.1:1/", "", "" }, { "2", "URL", server.url("/cut"), "OK", "" },
        { "3", "URL", server.url("/cut"), "", "" }, { "4", "URL", server.url("/gone"), "OK", "" } });
    w.start->click();
    QStringList rows;
    for (int r = 0; r < w.filledRows(); ++r)
        rows << w.cell(r, 1) + ' ' + w.cell(r, 4);
    const QString cut = QStringLiteral("异常 页面不完整\nxxxxxxxxxxOKxxxxxxxx");
    QCOMPARE(rows, (QStringList { "异常 连接被拒绝", cut, cut, "正常 <p>OK</p>" }));
    QCOMPARE(takeRecordedBoxes(), QStringList { "warning fromlanrik 警告: 日志写入失败：" + w.logPath() });

    // A record cut short by a full disk is ended before the next.
    QVERIFY(QFile::remove(w.logPath()) && appendTextFile(w.logPath(), "机房,设备0,正常,CMD-ech")
        && appendTextFile(w.logPath(), "x,\n"));
    QCOMPARE(w.logLines(), (QStringList { "机房,设备0,正常,CMD-ech", "x," }));

    // A lone CR ends a line, a line break in a cell is a blank; a "|" in a cell is refused
    // and the file kept as it was.
    const QString old = QStringLiteral("CMD|true|甲||一楼\rCMD|true|乙|x|\r\nURL|u|丙||\n");
    QVERIFY(writeTextFile(scriptFilePath(), old));
    loadScriptTable(w.script, readTextFile(scriptFilePath()));
    w.script->item(0, ScriptTarget)->setText("echo\r\n1");
    QCOMPARE(scriptTableText(w.script), QStringLiteral("CMD|echo 1|甲||一楼\nCMD|true|乙|x|\nURL|u|丙||\n"));
    w.script->item(1, ScriptSuccess)->setText("x|y");
    QPushButton *save = w.window->findChild<QPushButton *>("cmdSet_SaveScript");
    save->click();
    QCOMPARE(
        takeRecordedBoxes(), QStringList { "warning fromlanrik 警告: 第2行“成功字符”含有“|”，无法保存！" });
    QFile script(scriptFilePath());
    QVERIFY(script.open(QIODevice::ReadOnly));
    QCOMPARE(script.readAll(), old.toUtf8());

    // A folder that takes no new file holding a writable script (for an ordinary user,
    // as root ignores permission bits): written in place.
    w.script->item(1, ScriptSuccess)->setText("y");
    QVERIFY(chmod(qPrintable(w.dir.path()), 0555) == 0 && chmod(qPrintable(scriptFilePath()), 0666) == 0);
    setfsuid(65534);
    save->click();
    setfsuid(0);
    QCOMPARE(takeRecordedBoxes(), QStringList { "information fromlanrik 提示信息: 文件保存成功！" });
    QCOMPARE(
        readTextFile(scriptFilePath()), QStringLiteral("CMD|echo 1|甲||一楼\nCMD|true|乙|y|\nURL|u|丙||\n"));
}

NETCHECK_TEST(TstVerdicts)
#include "tst_verdicts.moc"
