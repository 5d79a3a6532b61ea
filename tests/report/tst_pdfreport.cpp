#include "appdir.h"
#include "fromlanrik.h"
#include "pdflayout.h"
#include "pdfreport.h"
#include "testrunner.h"

#include <QDateTime>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace
{
constexpr int kToolTimeoutMs = 30000; // one poppler tool on one small file
constexpr qreal kPtPerPx = 72.0 / 300;
constexpr qreal kLeftMarginPt = 50;

struct Word
{
    QString text;
    qreal xMin = qQNaN(), yMin = qQNaN(), xMax = qQNaN(), yMax = qQNaN(); // no position when missing
};
using Page = QVector<Word>;

QString runTool(const QString &program, const QStringList &args)
{
    QProcess tool;
    tool.start(program, args);
    if (!tool.waitForFinished(kToolTimeoutMs))
        tool.kill();
    return QString::fromUtf8(tool.readAllStandardOutput());
}

QString info(const QString &pdf, const QString &key)
{
    const QRegularExpression line("^" + key + ":\\s*(.*)$", QRegularExpression::MultilineOption);
    return line.match(runTool("pdfinfo", { pdf })).captured(1).trimmed();
}

// Every word of every page with its box in points, as poppler reads it back.
QVector<Page> readWords(const QString &pdf)
{
    static const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    QVector<Page> pages;
    for (const QString &text : runTool("pdftotext", { "-bbox", pdf, "-" }).split("<page ").mid(1)) {
        pages.append(Page());
        for (auto m = word.globalMatch(text); m.hasNext();) {
            const auto w = m.next();
            pages.last().append({ w.captured(5), w.captured(1).toDouble(), w.captured(2).toDouble(),
                w.captured(3).toDouble(), w.captured(4).toDouble() });
        }
    }
    return pages;
}

Word wordOf(const Page &page, const QString &text)
{
    for (const Word &w : page)
        if (w.text == text)
            return w;
    return Word();
}

// The footer line with its blanks: poppler drops them, so each gap becomes as
// many half-width blanks as fit into it.
QString footerLine(const Page &page)
{
    const Word anchor = wordOf(page, QStringLiteral("第"));
    QMap<qreal, Word> line;
    for (const Word &w : page)
        if (qAbs(w.yMin - anchor.yMin) < 1)
            line.insert(w.xMin, w);
    QString text;
    qreal end = qQNaN();
    for (const Word &w : line) {
        if (!qIsNaN(end))
            text += QString(qRound((w.xMin - end) * 2 / (anchor.xMax - anchor.xMin)), ' ');
        text += w.text;
        end = w.xMax;
    }
    return text;
}

// Rows "设备1|正常", ... when no rows are given.
void fill(QTableWidget &table, const QStringList &headers, const QVector<int> &widths,
    QVector<QStringList> rows, int numbered = 0)
{
    for (int r = 1; r <= numbered; ++r)
        rows.append({ QStringLiteral("设备%1").arg(r), QStringLiteral("正常") });
    table.setColumnCount(widths.size());
    table.setHorizontalHeaderLabels(headers);
    for (int i = 0; i < widths.size(); ++i)
        table.setColumnWidth(i, widths.at(i));
    table.setRowCount(rows.size());
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows.at(r).size(); ++c)
            table.setItem(r, c, new QTableWidgetItem(rows.at(r).at(c)));
}
} // namespace

class TstPdfReport : public QObject
{
    Q_OBJECT

private slots:
    // A fake xdg-open first on PATH notes each file handed to the viewer.
    void initTestCase()
    {
        QFile opener(dir.filePath("xdg-open"));
        QVERIFY(opener.open(QIODevice::WriteOnly) && opener.write("#!/bin/sh\necho \"$1\" >> \"$0.log\"\n"));
        opener.close();
        opener.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        qputenv("PATH", dir.path().toLocal8Bit() + ':' + oldPath);
    }
    void cleanupTestCase() { qputenv("PATH", oldPath); }
    void pages_data();
    void pages();
    void alignment();
    void chineseIsRealText();
    void longOutputStaysInItsRow();
    void oddTables_data();
    void oddTables();
    void printButton();

private:
    QString print(QTableWidget &table, const QString &orientation = QStringLiteral("横向"),
        const QString &footer = QString(), const QString &title = QStringLiteral("测试报告"))
    {
        const QString path = dir.filePath(QStringLiteral("report.pdf"));
        return writeTableToPdf(&table, path, title, QString(), footer, orientation) ? path : QString();
    }

    QByteArray opened() const
    {
        QFile log(dir.filePath("xdg-open.log"));
        return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    const QByteArray oldPath = qgetenv("PATH");
};

void TstPdfReport::pages_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("orientation");
    QTest::addColumn<int>("pages");
    QTest::newRow("19 landscape") << 19 << "横向" << 1;
    QTest::newRow("20 landscape") << 20 << "横向" << 2;
    QTest::newRow("no rows") << 0 << "横向" << 1;
    QTest::newRow("30 portrait") << 30 << "纵向" << 1;
    QTest::newRow("31 portrait") << 31 << "纵向" << 2;
    QTest::newRow("any other word is portrait") << 31 << "landscape" << 2;
}

void TstPdfReport::pages()
{
    QFETCH(int, rows);
    QFETCH(QString, orientation);
    QFETCH(int, pages);
    QTableWidget table;
    fill(table, { "名称", "状态" }, { 200, 80 }, {}, rows);
    const QString pdf = print(table, orientation, QStringLiteral("脚注"));
    const bool landscape = orientation == QStringLiteral("横向");
    QCOMPARE(info(pdf, "Page size"), landscape ? "842 x 595 pts (A4)" : "595 x 842 pts (A4)");
    const QVector<Page> words = readWords(pdf);
    QCOMPARE(words.size(), pages);
    // Every row once, on the page the numbering promises; the title on every page.
    for (int r = 1; r <= rows; ++r)
        QVERIFY(!wordOf(words.at((r - 1) / (landscape ? 19 : 30)), QStringLiteral("设备%1").arg(r))
                     .text.isEmpty());
    for (const Page &page : words)
        QVERIFY(!wordOf(page, QStringLiteral("测试报告")).text.isEmpty());
    // A full page: footer text and numbering are one right-aligned text.
    if (pages == 2)
        QCOMPARE(footerLine(words.first()), QStringLiteral("脚注   第  1 页   共  2 页"));
    // The last page: footer text at the left margin, the numbering apart at the right.
    const QString last = footerLine(words.last());
    QVERIFY2(last.startsWith(QStringLiteral("脚注      "))
            && last.endsWith("  " + PdfLayout::pageNumbering(pages, pages)),
        qPrintable(last));
    QVERIFY(qAbs(wordOf(words.last(), QStringLiteral("脚注")).xMin - kLeftMarginPt) < 1);
}

void TstPdfReport::alignment()
{
    QTableWidget table;
    QVector<QStringList> rows(20, { "乙乙乙乙", "12345.67", "人民币" });
    rows[0] = QStringList { "甲", "1", "元" };
    fill(table, { "名称", "金额", "币种" }, { 200, 100, 100 }, rows);
    const QVector<Page> words = readWords(print(table));
    QCOMPARE(words.size(), 2);
    const Page &first = words.at(0);
    auto pt = [](qreal px) { return kLeftMarginPt + px * kPtPerPx; };
    // 名称 left, 金额 and 币种 right.
    QVERIFY(
        qAbs(wordOf(first, "甲").xMin - pt(2)) < 0.1 && qAbs(wordOf(first, "乙乙乙乙").xMin - pt(2)) < 0.1);
    for (const QStringList &pair : { QStringList { "1", "12345.67" }, QStringList { "元", "人民币" } }) {
        const Word a = wordOf(first, pair.at(0)), b = wordOf(first, pair.at(1));
        QVERIFY2(a.xMin > b.xMin + 5 && qAbs(a.xMax - b.xMax) < 0.05, qPrintable(pair.at(1)));
    }
    const PdfLayout::Columns cols = PdfLayout::columns({ 200, 100, 100 }, 3133);
    QVERIFY(qAbs(wordOf(first, "12345.67").xMax - pt(cols.bounds.at(2))) < 1);
    // Header cells centred; the first page's are drawn 4 pixels further left.
    for (int i = 0; i < 3; ++i) {
        const QString header = table.horizontalHeaderItem(i)->text();
        const Word a = wordOf(first, header), b = wordOf(words.at(1), header);
        const QRect rect = PdfLayout::cellTextRect(cols, i, 140);
        QVERIFY2(
            qAbs((b.xMin + b.xMax) / 2 - pt(rect.left() + rect.width() / 2.0)) < 0.3, qPrintable(header));
        QVERIFY(qAbs(b.xMin - a.xMin - 4 * kPtPerPx) < 0.05);
    }
}

void TstPdfReport::chineseIsRealText()
{
    // 月, 日 and 金 share their outlines with radicals in some CJK fonts; the text
    // read back must be the ideographs, not the radicals.
    QTableWidget table;
    fill(table, { "名称", "状态", "检测时间" }, { 200, 80, 200 },
        { { "月报服务器", "正常", "2024年03月05日" }, { "日志服务器", "异常", "金额校验" } });
    const QString pdf = print(table, "横向", QString(), QStringLiteral("2024年03月05日检测结果"));
    QStringList printed;
    for (const Word &w : readWords(pdf).value(0))
        printed.append(w.text);
    QCOMPARE(printed.mid(0, 10),
        (QStringList { "2024年03月05日检测结果", "名称", "状态", "检测时间", "月报服务器", "正常",
            "2024年03月05日", "日志服务器", "异常", "金额校验" }));
    const QString fonts = runTool("pdffonts", { pdf });
    QVERIFY2(
        fonts.count(QRegularExpression(" yes +(yes|no) +yes ")) == fonts.count('\n') - 2, qPrintable(fonts));
}

void TstPdfReport::longOutputStaysInItsRow()
{
    QTableWidget table;
    fill(table, { "检测结果" }, { 500 },
        { { "上一行" }, { "输出甲\n输出乙\n输出丙\n输出丁\n输出戊" }, { "下一行" } });
    const Page page = readWords(print(table)).value(0);
    const qreal top = 30 + 340 * kPtPerPx, bottom = top + 100 * kPtPerPx;
    // Its beginning shows, the rest is clipped to the row.
    QVERIFY(!wordOf(page, "输出甲").text.isEmpty() && wordOf(page, "输出戊").text.isEmpty());
    for (const Word &w : page)
        QVERIFY2(!w.text.startsWith(QStringLiteral("输出")) || (w.yMin >= top && w.yMax <= bottom),
            qPrintable(w.text));
    QVERIFY(wordOf(page, "上一行").yMax <= top && wordOf(page, "下一行").yMin >= bottom);
}

void TstPdfReport::oddTables_data()
{
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("headerItems");
    QTest::addColumn<bool>("items");
    QTest::newRow("no columns") << 0 << 100 << true << true;
    QTest::newRow("widths adding up to 0") << 3 << 0 << true << true;
    QTest::newRow("no header items") << 3 << 100 << false << true;
    QTest::newRow("missing cells") << 3 << 100 << true << false;
}

void TstPdfReport::oddTables()
{
    QFETCH(int, columns);
    QFETCH(int, width);
    QFETCH(bool, headerItems);
    QFETCH(bool, items);
    QTableWidget table(3, columns);
    for (int c = 0; c < columns; ++c) {
        table.setColumnWidth(c, width);
        if (headerItems)
            table.setHorizontalHeaderItem(c, new QTableWidgetItem(QStringLiteral("列%1").arg(c)));
        if (items)
            table.setItem(1, c, new QTableWidgetItem(QStringLiteral("格%1").arg(c)));
    }
    const QVector<Page> words = readWords(print(table));
    QCOMPARE(words.size(), 1);
    QCOMPARE(footerLine(words.at(0)), QStringLiteral("第  1 页   共  1 页"));
    for (int c = 0; c < columns; ++c) {
        QCOMPARE(wordOf(words.at(0), QStringLiteral("列%1").arg(c)).text.isEmpty(), !headerItems);
        // Equal columns, from equal widths or from widths that add up to 0.
        const qreal x = wordOf(words.at(0), QStringLiteral("格%1").arg(c)).xMin;
        QVERIFY(items ? qAbs(x - kLeftMarginPt - (c * 3133 / 3.0 + 2) * kPtPerPx) < 0.5 : qIsNaN(x));
    }
}

// The button prints the results table to the application folder; a second print
// replaces the first, even a larger file.
void TstPdfReport::printButton()
{
    QTemporaryDir appFolder;
    const QString pdf = appFolder.filePath(QStringLiteral("tmpPDF.pdf"));
    QFile old(pdf);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write(QByteArray(1 << 22, 'x')) > 0);
    old.close();
    setAppDirOverride(appFolder.path());
    fromlanrik window;
    auto *table = window.findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    fill(*table, { "名称", "状态", "检测内容", "检测时间", "检测结果", "位置" },
        { 200, 80, 360, 200, 500, 100 }, { { "甲" } }, 19);
    const QString before = PdfLayout::reportTitle(QDateTime::currentDateTime());
    window.findChild<QPushButton *>(QStringLiteral("cmdScripPrint"))->click();
    QVERIFY(QFileInfo(pdf).size() < (1 << 20));
    table->item(0, 0)->setText(QStringLiteral("乙"));
    window.findChild<QPushButton *>(QStringLiteral("cmdScripPrint"))->click();
    const QString after = PdfLayout::reportTitle(QDateTime::currentDateTime());
    setAppDirOverride(QString());

    QTRY_COMPARE(opened(), (pdf + '\n' + pdf + '\n').toUtf8());
    const QString title = info(pdf, "Title");
    QVERIFY2(title == before || title == after, qPrintable(title));
    const QVector<Page> words = readWords(pdf);
    QCOMPARE(words.size(), 2);
    QVERIFY(wordOf(words.at(0), "甲").text.isEmpty() && !wordOf(words.at(0), "乙").text.isEmpty());
    // No subtitle and no footer text: the title is followed by the header row,
    // the numbering stands alone.
    QCOMPARE(words.at(0).value(1).text, QStringLiteral("名称"));
    QCOMPARE(footerLine(words.at(0)), QStringLiteral("第  1 页   共  2 页"));
    // A file that cannot be written is not handed to the viewer.
    for (const QString &bad : { appFolder.filePath("missing/tmpPDF.pdf"), appFolder.path() })
        QVERIFY(!printTableToPdf(table, bad, "标题", QString(), QString(), "横向"));
    QCOMPARE(opened().count('\n'), 2);
}

NETCHECK_TEST(TstPdfReport)
#include "tst_pdfreport.moc"
