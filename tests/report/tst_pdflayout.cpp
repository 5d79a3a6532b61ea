#include "pdflayout.h"
#include "testrunner.h"

#include <QTest>

using namespace PdfLayout;

class TstPdfLayout : public QObject
{
    Q_OBJECT

private slots:
    void columnBounds_data();
    void columnBounds();
    void textRectPagingNumbering();
};

void TstPdfLayout::columnBounds_data()
{
    QTest::addColumn<QVector<int>>("widths");
    QTest::addColumn<QVector<qreal>>("bounds"); // on landscape A4, W = 3133

    const qreal k = 3133.0 / 1440;
    QTest::newRow("results table") << QVector<int> { 200, 80, 360, 200, 500,
        100 } << QVector<qreal> { 0, 200 * k, 280 * k, 640 * k, 840 * k, 1340 * k, 3133 };
    QTest::newRow("rounding past W is clamped")
        << QVector<int> { 7, 7, 7 } << QVector<qreal> { 0, 3133.0 / 3, 2 * 3133.0 / 3, 3133 };
    QTest::newRow("widths adding up to 0 share equally")
        << QVector<int> { 0, 0, 0, 0 } << QVector<qreal> { 0, 783.25, 1566.5, 2349.75, 3133 };
    QTest::newRow("equal shares clamped too") << QVector<int>(10, 0) << QVector<qreal> { 0 };
    QTest::newRow("hidden column takes no width")
        << QVector<int> { 100, 0, 100 } << QVector<qreal> { 0, 1566.5, 1566.5, 3133 };
    QTest::newRow("no columns") << QVector<int> {} << QVector<qreal> { 0 };
}

void TstPdfLayout::columnBounds()
{
    QFETCH(QVector<int>, widths);
    QFETCH(QVector<qreal>, bounds);

    const Columns cols = columns(widths, 3133);
    QCOMPARE(cols.bounds.size(), widths.size() + 1);
    // Exactly, not fuzzily: the right border must not pass the paint area.
    QVERIFY2(cols.bounds.last() <= 3133, qPrintable(QString::number(cols.bounds.last(), 'g', 17)));
    QCOMPARE(cols.bounds.last(), widths.isEmpty() ? 0 : 3133.0);
    for (int i = 0; i < bounds.size(); ++i)
        QCOMPARE(cols.bounds.at(i), bounds.at(i));
}

void TstPdfLayout::textRectPagingNumbering()
{
    // x(1) = 435.14 and scaled widths 435.14, 174.06: truncated toward zero.
    const Columns cols = columns({ 200, 80, 360, 200, 500, 100 }, 3133);
    QCOMPARE(cellTextRect(cols, 0, 340), QRect(2, 340, 433, 100));
    QCOMPARE(cellTextRect(cols, 1, 140, -2), QRect(433, 140, 172, 100));
    // A row ending exactly at the bottom fits; with no room a page still takes one row.
    QCOMPARE(rowsPerPage(2240), 20);
    QCOMPARE(rowsPerPage(100), 1);
    QCOMPARE(pageTotal(2, 1), 2);
    QCOMPARE(pageNumbering(527, 1000), QStringLiteral("第527 页   共1000 页")); // four digits widen the field
    // 金额 and 币 columns are right-aligned (printed and checked in the report test); an empty header is not.
    QCOMPARE(dataAlignment(QString()), Qt::AlignLeft | Qt::AlignVCenter);
}

NETCHECK_TEST(TstPdfLayout)
#include "tst_pdflayout.moc"
