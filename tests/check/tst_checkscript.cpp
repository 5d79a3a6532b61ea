#include "appdir.h"
#include "checkscript.h"
#include "fromlanrik.h"
#include "messagebox.h"
#include "testrunner.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>
#include <QTextStream>

#include <csignal>
#include <sys/resource.h>

using Rows = QList<QStringList>;
Q_DECLARE_METATYPE(Rows)

namespace
{
// Marks a cell without an item.
const QString none = QStringLiteral("<none>");

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
        QStringList row;
        for (int c = 0; c < table->columnCount(); ++c)
            row << (table->item(r, c) ? table->item(r, c)->text() : none);
        rows << row;
    }
    return rows;
}

QStringList emptyRow()
{
    return QStringList { none, none, none, none, none };
}

// Reads a script file the way start-up does: byte-order mark honoured, every line
// followed by "\n".
QString readBack(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QTextStream in(&file);
    in.setAutoDetectUnicode(true);
    QString text;
    while (!in.atEnd())
        text += in.readLine() + QLatin1Char('\n');
    return text;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray utf8Bom()
{
    return QByteArray("\xEF\xBB\xBF");
}
} // namespace

class TstCheckScript : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void load_data();
    void load();
    void layout();
    void tableText_data();
    void tableText();
    void fileRoundTrip_data();
    void fileRoundTrip();
    void encoding_data();
    void encoding();
    void saveButton();
    void saveFailureKeepsOldFile_data();
    void saveFailureKeepsOldFile();
    void failedWriteKeepsOldFile();
    void insertLine_data();
    void insertLine();
    void deleteLine_data();
    void deleteLine();

private:
    QTemporaryDir *dir = nullptr;
    // One window for all: building one waits for its splash screen.
    fromlanrik *window = nullptr;
    QTableWidget *scriptTable() const
    {
        return window->findChild<QTableWidget *>(QStringLiteral("tableScript"));
    }
    void click(const char *button) { window->findChild<QPushButton *>(QString::fromLatin1(button))->click(); }
    void editRows(const char *button, int rows, int current, const QStringList &expected);
};

void TstCheckScript::initTestCase()
{
    QTemporaryDir start;
    setAppDirOverride(start.path());
    window = new fromlanrik;
    setAppDirOverride(QString());
}

void TstCheckScript::cleanupTestCase()
{
    delete window;
}

void TstCheckScript::init()
{
    dir = new QTemporaryDir;
    setAppDirOverride(dir->path());
    MessageBox::startRecording();
}

void TstCheckScript::cleanup()
{
    MessageBox::stopRecording();
    QTextCodec::setCodecForLocale(nullptr);
    setAppDirOverride(QString());
    delete dir;
    dir = nullptr;
}

void TstCheckScript::load_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Rows>("expected");
    const QStringList spare = emptyRow();
    QTest::newRow("two blanks become one, case kept")
        << "cmd|ping  10.0.0.1|网关||\n"
        << Rows { { "网关", "cmd", "ping 10.0.0.1", "", "" }, spare };
    QTest::newRow("file order to column order")
        << "CMD|ping 192.168.1.1 -n 1|核心交换机|TTL=|机房\n"
        << Rows { { "核心交换机", "CMD", "ping 192.168.1.1 -n 1", "TTL=", "机房" }, spare };
    QTest::newRow("tabs and wide blanks collapse, fields trimmed")
        << QStringLiteral("  URL |http://h/\t\ta | 网站\u3000首页 |ok|  一楼\r\n")
        << Rows { { "网站 首页", "URL", "http://h/ a", "ok", "一楼" }, spare };
    QTest::newRow("a|b has no alias item") << "a|b\n" << Rows { { none, "a", "b", none, none }, spare };
    QTest::newRow("more than five fields") << "t|x|A|ok|L|extra|more\n"
                                           << Rows { { "A", "t", "x", "ok", "L" }, spare };
    QTest::newRow("empty text") << "" << Rows { spare, spare };
    QTest::newRow("only a line feed") << "\n" << Rows { spare, spare };
    QTest::newRow("text after the last line feed is not a record")
        << "t|x|A||\nt|y|B||" << Rows { { "A", "t", "x", "", "" }, spare };
    QTest::newRow("lines without bar use no row")
        << "junk\n\n   \nt|x|A||\n\nt|y|B||\n"
        << Rows { { "A", "t", "x", "", "" }, { "B", "t", "y", "", "" }, spare };
    QTest::newRow("bar inside a field shifts the rest") << "t|a|b|A|ok|L\n"
                                                        << Rows { { "b", "t", "a", "A", "ok" }, spare };
}

void TstCheckScript::load()
{
    QFETCH(QString, text);
    QFETCH(Rows, expected);
    QTableWidget table;
    Rows stale;
    for (int i = 0; i < 7; ++i)
        stale << QStringList { "stale", "stale", "stale", "stale", "stale" };
    fillTable(&table, stale);
    loadScriptTable(&table, text);
    QCOMPARE(tableRows(&table), expected);
}

void TstCheckScript::layout()
{
    QTableWidget table;
    loadScriptTable(&table, QString());
    QStringList headers;
    QList<int> widths;
    for (int c = 0; c < table.columnCount(); ++c) {
        headers << table.horizontalHeaderItem(c)->text();
        widths << table.columnWidth(c);
    }
    QCOMPARE(headers, (QStringList { "别名", "类型", "CMD/URL", "成功字符", "位置" }));
    QCOMPARE(widths, (QList<int> { 200, 80, 300, 200, 120 }));
    QCOMPARE(table.verticalHeader()->width(), 48);
    QCOMPARE(table.verticalHeader()->defaultSectionSize(), 48);
    QCOMPARE(table.horizontalHeader()->height(), 48);
    QCOMPARE(
        table.horizontalHeader()->styleSheet(), QStringLiteral("QHeaderView::section{background:skyblue;}"));
    QCOMPARE(table.styleSheet(), QStringLiteral("selection-background-color:lightblue;"));
    QCOMPARE(table.selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(table.editTriggers(), QTableWidget().editTriggers());
}

void TstCheckScript::tableText_data()
{
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QString>("expected");
    QTest::newRow("target keeps its two blanks")
        << Rows { { "网关", "cmd", "ping  10.0.0.1", "", "" }, emptyRow() } << "cmd|ping  10.0.0.1|网关||\n";
    QTest::newRow("row with target but no alias is left out")
        << Rows { { "", "CMD", "ping x", "TTL", "L" }, { none, "CMD", "ping y", none, none } } << "";
    QTest::newRow("blank alias counts as empty") << Rows { { "   ", "CMD", "x", "", "" } } << "";
    QTest::newRow("missing cells give empty fields") << Rows { { "A", none, none, none, none } } << "||A||\n";
    QTest::newRow("cells trimmed, rows in order") << Rows {
        { " B ", " URL ", " http://h ", " ok ", " 二楼 " }, emptyRow(), { "A", "CMD", "x", "y", "一楼" }
    } << "URL|http://h|B|ok|二楼\nCMD|x|A|y|一楼\n";
}

void TstCheckScript::tableText()
{
    QFETCH(Rows, rows);
    QFETCH(QString, expected);
    QTableWidget table;
    fillTable(&table, rows);
    QCOMPARE(scriptTableText(&table), expected);
}

void TstCheckScript::fileRoundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    const QByteArray line = QStringLiteral("CMD|ping  1.2.3.4|核心交换机|TTL=|机房").toUtf8();
    const QString loaded = QStringLiteral("CMD|ping 1.2.3.4|核心交换机|TTL=|机房\n");
    QTest::newRow("chinese, blanks collapsed") << line + "\n" << loaded;
    QTest::newRow("last line without line break") << "A|b|x||\n" + line << "A|b|x||\n" + loaded;
    QTest::newRow("CR LF line ends") << line + "\r\n" << loaded;
    QTest::newRow("UTF-8 byte-order mark") << utf8Bom() + line + "\n" << loaded;
    QTest::newRow("UTF-16 byte-order mark") << QByteArray("\xFF\xFE")
            + QByteArray(reinterpret_cast<const char *>(QString::fromUtf8(line + "\n").utf16()),
                (line.size() + 1) * 2) << loaded;
    QTest::newRow("a|b is loaded but not saved") << QByteArray("a|b\n") << "";
    QTest::newRow("more than five fields") << line + "|x|y\n" << loaded;
    QTest::newRow("empty file") << QByteArray() << "";
    QTest::newRow("missing file") << QByteArray("<missing>") << "";
}

// A file on disk, loaded as at start-up, saved through the button and read again
// gives the same script.
void TstCheckScript::fileRoundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    const QString path = dir->filePath(QStringLiteral("chkScript.txt"));
    if (bytes != "<missing>")
        writeBytes(path, bytes);

    QTableWidget *table = scriptTable();
    loadScriptTable(table, readBack(path));
    click("cmdSet_SaveScript");
    QCOMPARE(MessageBox::takeRecorded().size(), 1);
    QCOMPARE(readBack(path), expected);

    QTableWidget reloaded;
    loadScriptTable(&reloaded, readBack(path));
    QCOMPARE(scriptTableText(&reloaded), expected);
}

void TstCheckScript::encoding_data()
{
    QTest::addColumn<QByteArray>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    const QString chinese = QStringLiteral("CMD|x|网关||\n");
    QTest::newRow("Latin-1 locale, plain text stays locale") << QByteArray(
        "ISO-8859-1") << "CMD|x|caf\u00e9||\n" << QByteArray("CMD|x|caf\xE9||\n");
    QTest::newRow("Latin-1 locale cannot hold Chinese: UTF-8 with mark")
        << QByteArray("ISO-8859-1") << chinese << utf8Bom() + chinese.toUtf8();
    QTest::newRow("GBK locale keeps GBK, no mark")
        << QByteArray("GBK") << chinese << QTextCodec::codecForName("GBK")->fromUnicode(chinese);
    QTest::newRow("UTF-8 locale, no mark") << QByteArray("UTF-8") << chinese << chinese.toUtf8();
    QTest::newRow("empty text, empty file") << QByteArray("ISO-8859-1") << "" << QByteArray();
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
    QCOMPARE(readBack(path), text);
}

void TstCheckScript::saveButton()
{
    const QString path = dir->filePath(QStringLiteral("chkScript.txt"));
    writeBytes(path, "old|old|old||\n");
    fillTable(scriptTable(), Rows { { "网关", "cmd", "ping  10.0.0.1", none, none }, emptyRow() });
    click("cmdSet_SaveScript");
    const QList<MessageBox::Shown> shown = MessageBox::takeRecorded();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.at(0).icon, QMessageBox::Information);
    QCOMPARE(shown.at(0).title, QStringLiteral("提示信息"));
    QCOMPARE(shown.at(0).text, QStringLiteral("文件保存成功！"));
    QCOMPARE(shown.at(0).parent, window);
    QCOMPARE(readBack(path), QStringLiteral("cmd|ping  10.0.0.1|网关||\n"));
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList { "chkScript.txt" });
}

void TstCheckScript::saveFailureKeepsOldFile_data()
{
    QTest::addColumn<QString>("blocker");
    // Tests run as root, which ignores permission bits: block the path itself.
    QTest::newRow("folder in the file's place") << "chkScript.txt";
    QTest::newRow("application folder is a file") << "";
}

void TstCheckScript::saveFailureKeepsOldFile()
{
    QFETCH(QString, blocker);
    if (blocker.isEmpty()) {
        const QString asFile = dir->filePath(QStringLiteral("notAFolder"));
        writeBytes(asFile, "x");
        setAppDirOverride(asFile);
    } else {
        QVERIFY(QDir(dir->path()).mkdir(blocker));
        writeBytes(dir->filePath(blocker + QStringLiteral("/keep")), "inside");
    }

    QTableWidget *table = scriptTable();
    fillTable(table, Rows { { "A", "CMD", "x", "", "" } });
    click("cmdSet_SaveScript");

    const QList<MessageBox::Shown> shown = MessageBox::takeRecorded();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.at(0).icon, QMessageBox::Warning);
    QCOMPARE(shown.at(0).title, QStringLiteral("警告"));
    QCOMPARE(shown.at(0).text, QStringLiteral("文件保存失败！"));
    QCOMPARE(shown.at(0).parent, window);
    QCOMPARE(scriptTableText(table), QStringLiteral("CMD|x|A||\n"));
    if (!blocker.isEmpty())
        QCOMPARE(fileBytes(dir->filePath(blocker + QStringLiteral("/keep"))), QByteArray("inside"));
    const QStringList left = QDir(dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QCOMPARE(left.size(), 1); // no temporary file left behind
}

// A write that breaks off half-way (disk full) must not cost the old script. The
// file size limit makes writes fail even for root.
void TstCheckScript::failedWriteKeepsOldFile()
{
    const QString path = dir->filePath(QStringLiteral("chkScript.txt"));
    const QByteArray old = QStringLiteral("CMD|ping 10.0.0.1|网关|TTL=|机房\n").toUtf8();
    writeBytes(path, old);

    rlimit saved;
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = writeTextFile(path, QString(20000, QLatin1Char('x')) + QLatin1Char('\n'));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(!written);
    QCOMPARE(fileBytes(path), old);
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList { "chkScript.txt" });
}

void TstCheckScript::editRows(const char *button, int rows, int current, const QStringList &expected)
{
    QTableWidget *table = scriptTable();
    table->setRowCount(0);
    table->setColumnCount(ScriptColumns);
    table->setRowCount(rows);
    for (int r = 0; r < rows; ++r)
        table->setItem(r, 0, new QTableWidgetItem(QStringLiteral("r%1").arg(r)));
    if (current >= 0) {
        table->setCurrentCell(current, 0);
        table->selectAll(); // other selected rows are not touched
    } else {
        table->setCurrentItem(nullptr);
    }
    QCOMPARE(table->currentRow(), current);

    click(button);
    QStringList seen;
    for (int r = 0; r < table->rowCount(); ++r)
        seen << (table->item(r, 0) ? table->item(r, 0)->text() : QString());
    QCOMPARE(seen, expected);
}

void TstCheckScript::insertLine_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("current");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("no current row: new row at the top") << 2 << -1 << QStringList { "", "r0", "r1" };
    QTest::newRow("last row current: two rows at the end") << 2 << 1 << QStringList { "r0", "r1", "", "" };
    QTest::newRow("middle row: directly below") << 3 << 0 << QStringList { "r0", "", "r1", "r2" };
    QTest::newRow("empty table: two rows") << 0 << -1 << QStringList { "", "" };
}

void TstCheckScript::insertLine()
{
    QFETCH(int, rows);
    QFETCH(int, current);
    QFETCH(QStringList, expected);
    editRows("cmdScriptInsLine", rows, current, expected);
}

void TstCheckScript::deleteLine_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("current");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("no current row: nothing") << 3 << -1 << QStringList { "r0", "r1", "r2" };
    QTest::newRow("last row") << 3 << 2 << QStringList { "r0", "r1" };
    QTest::newRow("only the current of many selected") << 3 << 1 << QStringList { "r0", "r2" };
    QTest::newRow("the only row") << 1 << 0 << QStringList {};
}

void TstCheckScript::deleteLine()
{
    QFETCH(int, rows);
    QFETCH(int, current);
    QFETCH(QStringList, expected);
    editRows("cmdScriptDelLine", rows, current, expected);
}

NETCHECK_TEST(TstCheckScript)
#include "tst_checkscript.moc"
