#include "appdir.h"
#include "checkscript.h"
#include "fromlanrik.h"
#include "messagebox.h"
#include "recordedboxes.h"
#include "startup.h"
#include "testrunner.h"

#include <QDir>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>

#include <csignal>
#include <sys/resource.h>

using Rows = QList<QStringList>;

namespace
{
const QString none = QStringLiteral("-"); // a cell without an item
const QStringList spare { none, none, none, none, none };

void fillTable(QTableWidget *table, const Rows &rows)
{
    table->setRowCount(0);
    table->setColumnCount(ScriptColumns);
    table->setRowCount(rows.size());
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows.at(r).size(); ++c)
            if (rows.at(r).at(c) != none)
                table->setItem(r, c, new QTableWidgetItem(rows.at(r).at(c)));
}

Rows tableRows(const QTableWidget *table)
{
    Rows rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        rows << QStringList();
        for (int c = 0; c < table->columnCount(); ++c)
            rows.last() << (table->item(r, c) ? table->item(r, c)->text() : none);
    }
    return rows;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
} // namespace

class TstCheckScript : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QTemporaryDir start;
        setAppDirOverride(start.path());
        window = new fromlanrik;
    }
    void cleanupTestCase()
    {
        delete window;
        setAppDirOverride(QString());
    }
    void init()
    {
        dir = new QTemporaryDir;
        setAppDirOverride(dir->path());
        MessageBox::startRecording();
    }
    void cleanup()
    {
        MessageBox::stopRecording();
        QTextCodec::setCodecForLocale(nullptr);
        delete dir;
    }
    void load_data();
    void load();
    void encoding_data();
    void encoding();
    void save_data();
    void save();
    void editRows_data();
    void editRows();

private:
    QTemporaryDir *dir = nullptr;
    // One window for all: building one waits for its splash screen.
    fromlanrik *window = nullptr;
    QTableWidget *scriptTable() const { return window->findChild<QTableWidget *>("tableScript"); }
    void click(const QString &button) { window->findChild<QPushButton *>(button)->click(); }
};

void TstCheckScript::load_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Rows>("expected");
    QTest::addColumn<QString>("saved");
    const QStringList gateway { "网关", "cmd", "ping 127.0.0.1", "", "" };
    // clang-format off
    QTest::newRow("two blanks become one, case kept") << QByteArray("cmd|ping  127.0.0.1|网关||\n") << Rows { gateway, spare } << "cmd|ping 127.0.0.1|网关||\n";
    QTest::newRow("tabs and wide blanks collapse, fields trimmed") << QStringLiteral(" URL |http://h/\t\ta | 网站\u3000首页 |ok| 一楼\r\n").toUtf8() << Rows { { "网站 首页", "URL", "http://h/ a", "ok", "一楼" }, spare } << "URL|http://h/ a|网站 首页|ok|一楼\n";
    QTest::newRow("a|b has no alias item") << QByteArray("a|b\n") << Rows { { none, "a", "b", none, none }, spare } << "";
    QTest::newRow("lines without bar use no row, last without line break") << QByteArray("junk\n\n \nt|x|A||\nt|y|B||") << Rows { { "A", "t", "x", "", "" }, { "B", "t", "y", "", "" }, spare } << "t|x|A||\nt|y|B||\n";
    QTest::newRow("more than five fields") << QByteArray("cmd|ping  127.0.0.1|网关|||x|y\n") << Rows { gateway, spare } << "cmd|ping 127.0.0.1|网关||\n";
    QTest::newRow("missing file") << QByteArray() << Rows { spare, spare } << "";
    // clang-format on
}

// A script file is loaded as at start-up (over the rows shown before) and saved with the button.
void TstCheckScript::load()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Rows, expected);
    QFETCH(QString, saved);
    const QString path = dir->filePath(QStringLiteral("chkScript.txt"));
    QVERIFY(bytes.isEmpty() || writeBytes(path, bytes));
    fillTable(scriptTable(), Rows { { "old" }, { "old" }, { "old" }, { "old" } });
    loadScriptTable(scriptTable(), readTextFile(path));
    QCOMPARE(tableRows(scriptTable()), expected);
    click(QStringLiteral("cmdSet_SaveScript"));
    QCOMPARE(takeRecordedBoxes(), QStringList { "information fromlanrik 提示信息: 文件保存成功！" });
    QCOMPARE(readTextFile(path), saved);
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList { "chkScript.txt" });
}

void TstCheckScript::encoding_data()
{
    QTest::addColumn<QByteArray>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    const QString chinese = QStringLiteral("CMD|x|网关||\n");
    // clang-format off
    QTest::newRow("Latin-1 locale, Chinese: UTF-8 with mark") << QByteArray("ISO-8859-1") << chinese
        << "\xEF\xBB\xBF" + chinese.toUtf8();
    QTest::newRow("GBK locale keeps GBK") << QByteArray("GBK") << chinese
        << QTextCodec::codecForName("GBK")->fromUnicode(chinese);
    // clang-format on
}

void TstCheckScript::encoding()
{
    QFETCH(QByteArray, locale);
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QTextCodec::setCodecForLocale(QTextCodec::codecForName(locale));
    const QString path = dir->filePath(QStringLiteral("out.txt"));
    QVERIFY(writeTextFile(path, text));
    QCOMPARE(fileBytes(path), expected);
    QCOMPARE(readTextFile(path), text);
}

void TstCheckScript::save_data()
{
    // Tests run as root, which ignores permission bits: a failure blocks the path itself
    // (1: a folder in the file's place, 2: the application folder is a file) or breaks
    // the write off half-way, as a full disk would, with a file size limit (3).
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<int>("blocker");
    QTest::addColumn<QString>("saved");
    const Rows one { { "A", "CMD", "x", "", "" } };
    // clang-format off
    QTest::newRow("target keeps its two blanks") << Rows { { "网关", "cmd", "ping  127.0.0.1", "", "" }, spare } << 0 << "cmd|ping  127.0.0.1|网关||\n";
    QTest::newRow("rows without alias left out") << Rows { { " ", "CMD", "ping x", "TTL", "L" }, { none, "CMD", "ping y" } } << 0 << "";
    QTest::newRow("missing cells empty, cells trimmed, rows in order") << Rows { { " B ", " URL ", " http://h ", none, " 二楼 " }, spare, { "A" } } << 0 << "URL|http://h|B||二楼\n||A||\n";
    QTest::newRow("fails: folder in the file's place") << one << 1 << "";
    QTest::newRow("fails: application folder is a file") << one << 2 << "";
    QTest::newRow("fails: write breaks off half-way") << Rows { { "A", "CMD", QString(20000, 'x') } } << 3 << "";
    // clang-format on
}

void TstCheckScript::save()
{
    QFETCH(Rows, rows);
    QFETCH(int, blocker);
    QFETCH(QString, saved);
    const QString path = dir->filePath(QStringLiteral("chkScript.txt"));
    const QByteArray old = "CMD|ping 127.0.0.1|A||\n";
    QVERIFY(blocker == 0 || (blocker == 1 ? QDir().mkdir(path) : writeBytes(path, old)));
    if (blocker == 2)
        setAppDirOverride(path);
    fillTable(scriptTable(), rows);
    rlimit unlimited, small;
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &unlimited), 0);
    small = unlimited;
    small.rlim_cur = 4096;
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, blocker == 3 ? &small : &unlimited), 0);
    click(QStringLiteral("cmdSet_SaveScript"));
    setrlimit(RLIMIT_FSIZE, &unlimited);
    std::signal(SIGXFSZ, previousHandler);

    QCOMPARE(takeRecordedBoxes(),
        QStringList { blocker ? "warning fromlanrik 警告: 文件保存失败！"
                              : "information fromlanrik 提示信息: 文件保存成功！" });
    if (blocker >= 2)
        QCOMPARE(fileBytes(path), old);
    if (!blocker)
        QCOMPARE(readTextFile(path), saved);
    QCOMPARE(QDir(dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
        QStringList { "chkScript.txt" });
}

void TstCheckScript::editRows_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("current");
    QTest::addColumn<QStringList>("expected");
    const QString ins = QStringLiteral("cmdScriptInsLine"), del = QStringLiteral("cmdScriptDelLine");
    // clang-format off
    QTest::newRow("insert, no current row: at the top") << ins << 2 << -1 << QStringList { "", "r0", "r1" };
    QTest::newRow("insert on the last row: two at the end") << ins << 2 << 1 << QStringList { "r0", "r1", "", "" };
    QTest::newRow("insert in the middle: below") << ins << 3 << 0 << QStringList { "r0", "", "r1", "r2" };
    QTest::newRow("delete, no current row: nothing") << del << 3 << -1 << QStringList { "r0", "r1", "r2" };
    QTest::newRow("delete the last row") << del << 3 << 2 << QStringList { "r0", "r1" };
    QTest::newRow("delete only the current of the selected") << del << 3 << 1 << QStringList { "r0", "r2" };
    QTest::newRow("insert then delete in the middle: the new row goes") << ins + " " + del << 3 << 0 << QStringList { "r0", "r1", "r2" };
    QTest::newRow("insert then delete on the last row: the first new row goes") << ins + " " + del << 2 << 1 << QStringList { "r0", "r1", "" };
    QTest::newRow("insert then delete, no current row: the top row goes") << ins + " " + del << 2 << -1 << QStringList { "r0", "r1" };
    // clang-format on
}

void TstCheckScript::editRows()
{
    QFETCH(QString, button);
    QFETCH(int, rows);
    QFETCH(int, current);
    QFETCH(QStringList, expected);
    QTableWidget *table = scriptTable();
    table->setRowCount(0);
    table->setRowCount(rows);
    for (int r = 0; r < rows; ++r)
        table->setItem(r, 0, new QTableWidgetItem(QStringLiteral("r%1").arg(r)));
    table->setCurrentCell(current, 0);
    if (current >= 0)
        table->selectAll();
    for (const QString &name : button.split(' '))
        click(name);
    QStringList seen;
    for (int r = 0; r < table->rowCount(); ++r)
        seen << (table->item(r, 0) ? table->item(r, 0)->text() : QString());
    QCOMPARE(seen, expected);
}

NETCHECK_TEST(TstCheckScript)
#include "tst_checkscript.moc"
