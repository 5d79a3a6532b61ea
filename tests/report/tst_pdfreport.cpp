#include "appdir.h"
#include "fromlanrik.h"
#include "pdflayout.h"
#include "pdfreport.h"
#include "testrunner.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QXmlStreamReader>
#include <cmath>

namespace
{
constexpr int kToolTimeoutMs = 30000; // one poppler tool on one small file
constexpr qreal kPtPerPx = 72.0 / 300;
constexpr qreal kLeftMarginPt = 50;
constexpr qreal kTopMarginPt = 30;
constexpr int kLandscapeW = 3133;

struct Word
{
    QString text;
    qreal xMin, yMin, xMax, yMax;
    qreal xMid() const { return (xMin + xMax) / 2; }
    qreal yMid() const { return (yMin + yMax) / 2; }
};
using Page = QVector<Word>;

QString runTool(const QString &program, const QStringList &args)
{
    QProcess tool;
    tool.start(program, args);
    if (!tool.waitForFinished(kToolTimeoutMs)) {
        tool.kill();
        tool.waitForFinished();
        return QString();
    }
    return QString::fromUtf8(tool.readAllStandardOutput());
}

QString infoField(const QString &pdf, const QString &key)
{
    const QStringList lines = runTool("pdfinfo", { pdf }).split('\n');
    for (const QString &line : lines)
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).trimmed();
    return QString();
}

// Every word of every page with its box in points, as poppler reads it back.
QVector<Page> readWords(const QString &pdf)
{
    QVector<Page> pages;
    QXmlStreamReader xml(runTool("pdftotext", { "-bbox", pdf, "-" }));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("page")) {
            pages.append(Page());
        } else if (xml.name() == QLatin1String("word") && !pages.isEmpty()) {
            const QXmlStreamAttributes a = xml.attributes();
            Word w { QString(), a.value("xMin").toDouble(), a.value("yMin").toDouble(),
                a.value("xMax").toDouble(), a.value("yMax").toDouble() };
            w.text = xml.readElementText();
            pages.last().append(w);
        }
    }
    return pages;
}

QVector<Word> find(const Page &page, const QString &text)
{
    QVector<Word> found;
    for (const Word &w : page)
        if (w.text == text)
            found.append(w);
    return found;
}

// The first word with this text; a missing one has no position, so every
// comparison with it fails instead of crashing the test.
Word wordOf(const Page &page, const QString &text)
{
    const QVector<Word> found = find(page, text);
    const qreal none = qQNaN();
    return found.isEmpty() ? Word { QString(), none, none, none, none } : found.first();
}

// The footer line rebuilt with its blanks: poppler drops blanks, so each gap is
// turned back into as many half-width blanks as fit into it.
QString footerLine(const Page &page)
{
    const QVector<Word> anchors = find(page, QStringLiteral("第"));
    if (anchors.isEmpty())
        return QString();
    const Word &anchor = anchors.last();
    const qreal blank = (anchor.xMax - anchor.xMin) / 2;
    QVector<Word> line;
    for (const Word &w : page)
        if (std::abs(w.yMid() - anchor.yMid()) < 1)
            line.append(w);
    std::sort(line.begin(), line.end(), [](const Word &a, const Word &b) { return a.xMin < b.xMin; });
    QString text;
    for (int i = 0; i < line.size(); ++i) {
        if (i > 0)
            text += QString(qRound((line.at(i).xMin - line.at(i - 1).xMax) / blank), ' ');
        text += line.at(i).text;
    }
    return text;
}

void fill(QTableWidget &table, const QStringList &headers, const QVector<int> &widths,
    const QVector<QStringList> &rows)
{
    table.setColumnCount(widths.size());
    table.setHorizontalHeaderLabels(headers);
    for (int i = 0; i < widths.size(); ++i)
        table.setColumnWidth(i, widths.at(i));
    table.setRowCount(rows.size());
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows.at(r).size(); ++c)
            table.setItem(r, c, new QTableWidgetItem(rows.at(r).at(c)));
}

QVector<QStringList> numberedRows(int count)
{
    QVector<QStringList> rows;
    for (int r = 0; r < count; ++r)
        rows.append({ QStringLiteral("设备%1").arg(r + 1), QStringLiteral("正常") });
    return rows;
}
} // namespace

class TstPdfReport : public QObject
{
    Q_OBJECT

public slots:
    void open(const QUrl &url) { opened.append(url); }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void pages_data();
    void pages();
    void footers();
    void alignment();
    void chineseIsRealText();
    void longOutputStaysInItsRow();
    void oddTables_data();
    void oddTables();
    void secondPrintOverwrites();
    void unwritableFileIsNotOpened_data();
    void unwritableFileIsNotOpened();
    void printButton();

private:
    QString print(QTableWidget &table, const QString &orientation = QStringLiteral("横向"),
        const QString &footer = QString(), const QString &title = QStringLiteral("测试报告"));

    QTemporaryDir dir;
    QList<QUrl> opened;
};

void TstPdfReport::initTestCase()
{
    QVERIFY(dir.isValid());
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open");
}

void TstPdfReport::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    setAppDirOverride(QString());
}

void TstPdfReport::init()
{
    opened.clear();
}

QString TstPdfReport::print(
    QTableWidget &table, const QString &orientation, const QString &footer, const QString &title)
{
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    if (!printTableToPdf(&table, path, title, QString(), footer, orientation))
        return QString();
    return path;
}

void TstPdfReport::pages_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("orientation");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QString>("size");
    const QString landscape = QStringLiteral("842 x 595 pts (A4)");
    const QString portrait = QStringLiteral("595 x 842 pts (A4)");
    QTest::newRow("19 landscape") << 19 << "横向" << 1 << landscape;
    QTest::newRow("20 landscape") << 20 << "横向" << 2 << landscape;
    QTest::newRow("38 landscape fill two pages") << 38 << "横向" << 2 << landscape;
    QTest::newRow("no rows") << 0 << "横向" << 1 << landscape;
    QTest::newRow("30 portrait") << 30 << "纵向" << 1 << portrait;
    QTest::newRow("31 portrait") << 31 << "纵向" << 2 << portrait;
    QTest::newRow("any other word is portrait") << 31 << "landscape" << 2 << portrait;
}

void TstPdfReport::pages()
{
    QFETCH(int, rows);
    QFETCH(QString, orientation);
    QFETCH(int, pages);
    QFETCH(QString, size);

    QTableWidget table;
    fill(table, { "名称", "状态" }, { 200, 80 }, numberedRows(rows));
    const QString pdf = print(table, orientation);
    QVERIFY(!pdf.isEmpty());
    QCOMPARE(infoField(pdf, "Pages").toInt(), pages);
    QCOMPARE(infoField(pdf, "Page size"), size);

    // Every row printed once, on the page the numbering promises.
    const QVector<Page> words = readWords(pdf);
    const int perPage = orientation == QStringLiteral("横向") ? 19 : 30;
    for (int r = 0; r < rows; ++r)
        QCOMPARE(find(words.value(r / perPage), QStringLiteral("设备%1").arg(r + 1)).size(), 1);
    QCOMPARE(words.size(), pages);
    QCOMPARE(footerLine(words.value(pages - 1)), PdfLayout::pageNumbering(pages, pages));
}

void TstPdfReport::footers()
{
    QTableWidget table;
    fill(table, { "名称", "状态" }, { 200, 80 }, numberedRows(20));
    const QString pdf = print(table, QStringLiteral("横向"), QStringLiteral("脚注"));
    QVERIFY(!pdf.isEmpty());
    QCOMPARE(infoField(pdf, "Title"), QStringLiteral("测试报告"));

    const QVector<Page> words = readWords(pdf);
    QCOMPARE(words.size(), 2);
    for (const Page &page : words)
        QCOMPARE(find(page, QStringLiteral("测试报告")).size(), 1);

    // A full page: footer text and numbering as one right-aligned text.
    QCOMPARE(footerLine(words.at(0)), QStringLiteral("脚注   第  1 页   共  2 页"));
    // The last page: footer text at the left margin, numbering on its own at the right.
    const QString last = footerLine(words.at(1));
    QVERIFY2(last.startsWith(QStringLiteral("脚注      ")), qPrintable(last));
    QVERIFY2(last.endsWith(QStringLiteral("  第  2 页   共  2 页")), qPrintable(last));
    QVERIFY(qAbs(wordOf(words.at(1), QStringLiteral("脚注")).xMin - kLeftMarginPt) < 1);

    // Both footers sit right under the grid, which reaches down to row 19's bottom.
    const qreal footerMid = kTopMarginPt + (2140 + 45) * kPtPerPx;
    for (const Page &page : words)
        QVERIFY(qAbs(wordOf(page, QStringLiteral("第")).yMid() - footerMid) < 2);
}

void TstPdfReport::alignment()
{
    QTableWidget table;
    QVector<QStringList> rows;
    for (int r = 0; r < 20; ++r)
        rows.append({ r % 2 ? "甲" : "乙乙乙乙", r % 2 ? "1" : "12345.67", r % 2 ? "元" : "人民币" });
    fill(table, { "名称", "金额", "币种" }, { 200, 100, 100 }, rows);
    const QString pdf = print(table);
    QVERIFY(!pdf.isEmpty());
    const QVector<Page> words = readWords(pdf);
    QCOMPARE(words.size(), 2);
    const PdfLayout::Columns cols = PdfLayout::columns({ 200, 100, 100 }, kLandscapeW);
    auto pt = [](qreal px) { return kLeftMarginPt + px * kPtPerPx; };

    const Word shortName = wordOf(words.at(0), "甲");
    const Word longName = wordOf(words.at(0), "乙乙乙乙");
    QCOMPARE(shortName.xMin, longName.xMin);
    QVERIFY(qAbs(shortName.xMin - pt(2)) < 0.5);

    for (const auto &pair :
        { qMakePair(QString("1"), QString("12345.67")), qMakePair(QString("元"), QString("人民币")) }) {
        const Word a = wordOf(words.at(0), pair.first);
        const Word b = wordOf(words.at(0), pair.second);
        QVERIFY(a.xMin > b.xMin);
        QVERIFY2(qAbs(a.xMax - b.xMax) < 0.05, qPrintable(pair.first));
    }
    const Word money = wordOf(words.at(0), "12345.67");
    QVERIFY(qAbs(money.xMax - pt(cols.bounds.at(2))) < 1);

    // Header cells are centred; the first page's are drawn 4 pixels further left.
    const QStringList headers = { "名称", "金额", "币种" };
    for (int i = 0; i < headers.size(); ++i) {
        const Word first = wordOf(words.at(0), headers.at(i));
        const Word next = wordOf(words.at(1), headers.at(i));
        const QRect rect = PdfLayout::cellTextRect(cols, i, 140);
        QVERIFY2(qAbs(next.xMid() - pt(rect.center().x() + 0.5)) < 0.3, qPrintable(headers.at(i)));
        QVERIFY(qAbs(next.xMin - first.xMin - 4 * kPtPerPx) < 0.05);
        QVERIFY(qAbs(first.yMid() - (kTopMarginPt + 190 * kPtPerPx)) < 1);
    }
}

void TstPdfReport::chineseIsRealText()
{
    // 月, 日 and 金 share their outlines with radicals in some CJK fonts; copied
    // text must give back the ideographs, not the radicals.
    const QVector<QStringList> rows = { { "月报服务器", "正常", "2024年03月05日" },
        { "日志服务器", "异常", "金额校验" }, { "打印机", "待检测", "机房" } };
    QTableWidget table;
    fill(table, { "名称", "状态", "检测时间" }, { 200, 80, 200 }, rows);
    const QString pdf
        = print(table, QStringLiteral("横向"), QString(), QStringLiteral("2024年03月05日检测结果"));
    QVERIFY(!pdf.isEmpty());

    const QVector<Page> words = readWords(pdf);
    QCOMPARE(words.size(), 1);
    QStringList printed;
    for (const Word &w : words.at(0))
        printed.append(w.text);
    QVERIFY(printed.contains(QStringLiteral("2024年03月05日检测结果")));
    for (const QStringList &row : rows)
        for (const QString &cell : row)
            QVERIFY2(printed.contains(cell), qPrintable(cell + " not in " + printed.join(' ')));

    const QString text = runTool("pdftotext", { pdf, "-" });
    for (const QChar c : text)
        QVERIFY2(c.unicode() < 0x2E80 || c.unicode() > 0x2FDF, "radical instead of ideograph");
    QVERIFY(!text.contains(QChar::ReplacementCharacter));

    const QStringList fonts = runTool("pdffonts", { pdf }).split('\n').mid(2);
    for (const QString &font : fonts)
        if (!font.trimmed().isEmpty())
            QVERIFY2(font.contains(QLatin1String(" yes ")), qPrintable(font)); // embedded
}

void TstPdfReport::longOutputStaysInItsRow()
{
    QTableWidget table;
    fill(table, { "检测结果" }, { 500 },
        { { "上一行" }, { "输出甲\n输出乙\n输出丙\n输出丁\n输出戊\n输出己" }, { "下一行" } });
    const QString pdf = print(table);
    QVERIFY(!pdf.isEmpty());
    const Page page = readWords(pdf).value(0);

    const qreal top = kTopMarginPt + 340 * kPtPerPx;
    const qreal bottom = top + 100 * kPtPerPx;
    QCOMPARE(find(page, "输出甲").size(), 1); // the output's beginning is what shows
    QCOMPARE(find(page, "输出己").size(), 0);
    for (const Word &w : page)
        if (w.text.startsWith(QStringLiteral("输出")))
            QVERIFY2(w.yMin >= top && w.yMax <= bottom, qPrintable(w.text));
    QVERIFY(wordOf(page, "上一行").yMax <= top);
    QVERIFY(wordOf(page, "下一行").yMin >= bottom);
}

void TstPdfReport::oddTables_data()
{
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("headerItems");
    QTest::addColumn<bool>("items");
    QTest::newRow("no columns") << 0 << 100 << true << true;
    QTest::newRow("widths adding up to 0") << 3 << 0 << true << true;
    QTest::newRow("columns without header items") << 3 << 100 << false << true;
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
    const QString pdf = print(table);
    QVERIFY(!pdf.isEmpty());
    QCOMPARE(infoField(pdf, "Pages").toInt(), 1);
    const Page page = readWords(pdf).value(0);
    QCOMPARE(footerLine(page), QStringLiteral("第  1 页   共  1 页"));

    QVector<qreal> starts;
    for (int c = 0; c < columns; ++c) {
        QCOMPARE(find(page, QStringLiteral("列%1").arg(c)).size(), headerItems ? 1 : 0);
        const QVector<Word> cell = find(page, QStringLiteral("格%1").arg(c));
        QCOMPARE(cell.size(), items ? 1 : 0);
        if (items)
            starts.append(cell.first().xMin);
    }
    // Equal columns, whether from equal widths or from widths that add up to 0.
    for (int c = 1; c < starts.size(); ++c)
        QVERIFY(qAbs(starts.at(c) - starts.at(c - 1) - kLandscapeW / 3 * kPtPerPx) < 0.5);
}

void TstPdfReport::secondPrintOverwrites()
{
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(4 * 1024 * 1024, 'x'));
    }
    QTableWidget table;
    fill(table, { "名称" }, { 200 }, { { "甲" } });
    QVERIFY(!print(table, "横向", QString(), QStringLiteral("第一次")).isEmpty());
    QVERIFY(QFileInfo(path).size() < 1024 * 1024);
    QCOMPARE(infoField(path, "Title"), QStringLiteral("第一次"));

    table.item(0, 0)->setText(QStringLiteral("乙"));
    QVERIFY(!print(table, "横向", QString(), QStringLiteral("第二次")).isEmpty());
    QCOMPARE(infoField(path, "Title"), QStringLiteral("第二次"));
    const Page page = readWords(path).value(0);
    QCOMPARE(find(page, "乙").size(), 1);
    QCOMPARE(find(page, "甲").size(), 0);
    QCOMPARE(opened, (QList<QUrl> { QUrl::fromLocalFile(path), QUrl::fromLocalFile(path) }));
}

void TstPdfReport::unwritableFileIsNotOpened_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("missing folder") << dir.filePath(QStringLiteral("missing/tmpPDF.pdf"));
    QTest::newRow("path is a folder") << dir.path();
}

void TstPdfReport::unwritableFileIsNotOpened()
{
    QFETCH(QString, path);
    QTableWidget table;
    fill(table, { "名称" }, { 200 }, { { "甲" } });
    QVERIFY(
        !printTableToPdf(&table, path, QStringLiteral("标题"), QString(), QString(), QStringLiteral("横向")));
    QVERIFY(opened.isEmpty());
}

void TstPdfReport::printButton()
{
    QTemporaryDir appFolder;
    setAppDirOverride(appFolder.path());
    fromlanrik window;
    auto *table = window.findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    auto *button = window.findChild<QPushButton *>(QStringLiteral("cmdScripPrint"));
    QVERIFY(table && button);
    fill(*table, { "名称", "状态", "检测内容", "检测时间", "检测结果", "位置" },
        { 200, 80, 360, 200, 500, 100 }, numberedRows(20));

    const QString before = PdfLayout::reportTitle(QDateTime::currentDateTime());
    button->click();
    const QString after = PdfLayout::reportTitle(QDateTime::currentDateTime());
    setAppDirOverride(QString());

    const QString pdf = appFolder.filePath(QStringLiteral("tmpPDF.pdf"));
    QCOMPARE(opened, QList<QUrl> { QUrl::fromLocalFile(pdf) });
    QCOMPARE(infoField(pdf, "Page size"), QStringLiteral("842 x 595 pts (A4)"));
    QCOMPARE(infoField(pdf, "Pages").toInt(), 2);
    const QString title = infoField(pdf, "Title");
    QVERIFY2(title == before || title == after, qPrintable(title));
    // No subtitle and no footer text: the numbering stands alone.
    const Page first = readWords(pdf).value(0);
    QCOMPARE(footerLine(first), QStringLiteral("第  1 页   共  2 页"));
    QVERIFY(first.size() > 2);
    QCOMPARE(first.at(1).text, QStringLiteral("名称"));
}

NETCHECK_TEST(TstPdfReport)
#include "tst_pdfreport.moc"
