#include "pdflayout.h"
#include "testrunner.h"

#include <QDateTime>
#include <QTest>

using namespace PdfLayout;

// Paint areas of A4 at 300 dpi inside the report's margins, as the writer reports them.
static const int kLandscapeW = 3133;
static const int kLandscapeH = 2229;
static const int kPortraitH = 3258;

class TstPdfLayout : public QObject
{
    Q_OBJECT

private slots:
    void columnBounds_data();
    void columnBounds();
    void textRect_data();
    void textRect();
    void rowsPerPage_data();
    void rowsPerPage();
    void pageTotal_data();
    void pageTotal();
    void numbering_data();
    void numbering();
    void alignment_data();
    void alignment();
    void orientationAndTitle();
};

void TstPdfLayout::columnBounds_data()
{
    QTest::addColumn<QVector<int>>("widths");
    QTest::addColumn<qreal>("paintWidth");
    QTest::addColumn<QVector<qreal>>("bounds");

    const qreal k = 3133.0 / 1440;
    QTest::newRow("results table on landscape A4")
        << QVector<int> { 200, 80, 360, 200, 500, 100 } << qreal(kLandscapeW)
        << QVector<qreal> { 0, 200 * k, 280 * k, 640 * k, 840 * k, 1340 * k, 3133 };
    QTest::newRow("rounding past W is clamped") << QVector<int> { 7, 7, 7 } << qreal(kLandscapeW)
                                                << QVector<qreal> { 0, 3133.0 / 3, 2 * 3133.0 / 3, 3133 };
    QTest::newRow("widths adding up to 0 share equally") << QVector<int> { 0, 0, 0,
        0 } << qreal(kLandscapeW) << QVector<qreal> { 0, 783.25, 1566.5, 2349.75, 3133 };
    QTest::newRow("equal shares clamped too")
        << QVector<int>(10, 0) << qreal(kLandscapeW) << QVector<qreal> {};
    QTest::newRow("hidden column takes no width")
        << QVector<int> { 100, 0, 100 } << qreal(2104) << QVector<qreal> { 0, 1052, 1052, 2104 };
    QTest::newRow("no columns") << QVector<int> {} << qreal(kLandscapeW) << QVector<qreal> { 0 };
}

void TstPdfLayout::columnBounds()
{
    QFETCH(QVector<int>, widths);
    QFETCH(qreal, paintWidth);
    QFETCH(QVector<qreal>, bounds);

    const Columns cols = columns(widths, paintWidth);
    QCOMPARE(cols.bounds.size(), widths.size() + 1);
    QCOMPARE(cols.widths.size(), widths.size());
    QCOMPARE(cols.bounds.first(), qreal(0));
    // Exactly, not fuzzily: the right border must not pass the paint area.
    QVERIFY2(cols.bounds.last() <= paintWidth, qPrintable(QString::number(cols.bounds.last(), 'g', 17)));
    if (!widths.isEmpty())
        QCOMPARE(cols.bounds.last(), paintWidth);
    for (int i = 0; i < bounds.size(); ++i)
        QCOMPARE(cols.bounds.at(i), bounds.at(i));
}

void TstPdfLayout::textRect_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("inset");
    QTest::addColumn<QRect>("rect");
    // Results table on landscape A4: x(1) = 435.14, x(2) = 609.19, scaled widths 435.14 and 174.06.
    QTest::newRow("first column") << 0 << 2 << QRect(2, 340, 433, 100);
    QTest::newRow("first page header of the first column") << 0 << -2 << QRect(-2, 340, 433, 100);
    QTest::newRow("second column truncates toward zero") << 1 << 2 << QRect(437, 340, 172, 100);
    QTest::newRow("first page header of the second column") << 1 << -2 << QRect(433, 340, 172, 100);
}

void TstPdfLayout::textRect()
{
    QFETCH(int, column);
    QFETCH(int, inset);
    QFETCH(QRect, rect);
    const Columns cols = columns({ 200, 80, 360, 200, 500, 100 }, kLandscapeW);
    QCOMPARE(cellTextRect(cols, column, 340, inset), rect);
}

void TstPdfLayout::rowsPerPage_data()
{
    QTest::addColumn<int>("paintHeight");
    QTest::addColumn<int>("rows");
    QTest::newRow("landscape A4") << kLandscapeH << 19;
    QTest::newRow("portrait A4") << kPortraitH << 30;
    QTest::newRow("last row ending exactly at the bottom fits") << 2240 << 20;
    QTest::newRow("one pixel short") << 2239 << 19;
    QTest::newRow("no room still takes one row") << 100 << 1;
}

void TstPdfLayout::rowsPerPage()
{
    QFETCH(int, paintHeight);
    QFETCH(int, rows);
    QCOMPARE(PdfLayout::rowsPerPage(paintHeight), rows);
}

void TstPdfLayout::pageTotal_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("perPage");
    QTest::addColumn<int>("total");
    QTest::newRow("no rows is one page") << 0 << 19 << 1;
    QTest::newRow("19 landscape") << 19 << 19 << 1;
    QTest::newRow("20 landscape") << 20 << 19 << 2;
    QTest::newRow("38 landscape fills two") << 38 << 19 << 2;
    QTest::newRow("39 landscape") << 39 << 19 << 3;
    QTest::newRow("30 portrait") << 30 << 30 << 1;
    QTest::newRow("31 portrait") << 31 << 30 << 2;
    QTest::newRow("10000 landscape") << 10000 << 19 << 527;
}

void TstPdfLayout::pageTotal()
{
    QFETCH(int, rows);
    QFETCH(int, perPage);
    QFETCH(int, total);
    QCOMPARE(PdfLayout::pageTotal(rows, perPage), total);
}

void TstPdfLayout::numbering_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("total");
    QTest::addColumn<QString>("text");
    QTest::newRow("one digit padded to three") << 1 << 2 << QStringLiteral("第  1 页   共  2 页");
    QTest::newRow("two digits") << 12 << 100 << QStringLiteral("第 12 页   共100 页");
    QTest::newRow("four digits widen the field") << 527 << 1000 << QStringLiteral("第527 页   共1000 页");
}

void TstPdfLayout::numbering()
{
    QFETCH(int, page);
    QFETCH(int, total);
    QFETCH(QString, text);
    QCOMPARE(pageNumbering(page, total), text);
}

void TstPdfLayout::alignment_data()
{
    QTest::addColumn<QString>("header");
    QTest::addColumn<int>("horizontal");
    QTest::newRow("金额") << QStringLiteral("金额") << int(Qt::AlignRight);
    QTest::newRow("币种") << QStringLiteral("币种") << int(Qt::AlignRight);
    QTest::newRow("额 inside a longer header") << QStringLiteral("本月余额(元)") << int(Qt::AlignRight);
    QTest::newRow("名称") << QStringLiteral("名称") << int(Qt::AlignLeft);
    QTest::newRow("检测结果") << QStringLiteral("检测结果") << int(Qt::AlignLeft);
    QTest::newRow("no header") << QString() << int(Qt::AlignLeft);
}

void TstPdfLayout::alignment()
{
    QFETCH(QString, header);
    QFETCH(int, horizontal);
    const Qt::Alignment a = dataAlignment(header);
    QCOMPARE(int(a & Qt::AlignHorizontal_Mask), horizontal);
    QCOMPARE(int(a & Qt::AlignVertical_Mask), int(Qt::AlignVCenter));
}

void TstPdfLayout::orientationAndTitle()
{
    QVERIFY(isLandscape(QStringLiteral("横向")));
    QVERIFY(!isLandscape(QStringLiteral("纵向")));
    QVERIFY(!isLandscape(QStringLiteral(" 横向")));
    QVERIFY(!isLandscape(QString()));
    QCOMPARE(reportTitle(QDateTime(QDate(2024, 3, 5), QTime(23, 59, 59))),
        QStringLiteral("2024年03月05日检测结果"));
}

NETCHECK_TEST(TstPdfLayout)
#include "tst_pdflayout.moc"
