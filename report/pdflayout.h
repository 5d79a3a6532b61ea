#ifndef PDFLAYOUT_H
#define PDFLAYOUT_H

#include <QRect>
#include <QString>
#include <QVector>

class QDateTime;

// Page geometry of the printed report, in device pixels of the paint area (300 dpi):
// the origin is the top-left corner inside the margins.
namespace PdfLayout
{
constexpr int kTitleHeight = 90;
constexpr int kSubtitleTop = 90;
constexpr int kSubtitleHeight = 45;
constexpr int kHeaderTop = 140;
constexpr int kRowHeight = 100;
constexpr int kFirstRowTop = 240; // header top + one row
constexpr int kFooterHeight = 90;
constexpr int kTextInset = 2;

struct Columns
{
    QVector<qreal> bounds; // n + 1 boundaries from 0; the last one never passes the paint width
    QVector<qreal> widths; // on-screen widths scaled to paper
};

// Shares the paint width among the columns in proportion to their on-screen widths.
// Widths that add up to 0 (all hidden, or not yet laid out) share it equally.
Columns columns(const QVector<int> &screenWidths, qreal paintWidth);

// Text rectangle of a cell; the inset is +2 for every cell except the first page's
// header cells, which are printed at -2.
QRect cellTextRect(const Columns &cols, int column, int top, int inset = kTextInset);

// How many rows fit between the header row and the bottom of a paint area of this
// height: a row is placed while its bottom stays within the area, and a page never
// holds fewer than one.
int rowsPerPage(int paintHeight);
int pageTotal(int rowCount, int perPage);

// "第  2 页   共  5 页": both numbers right-aligned in three characters.
QString pageNumbering(int page, int total);

// Money-like columns ("金额", "币种") print their cells right-aligned.
Qt::Alignment dataAlignment(const QString &headerText);

bool isLandscape(const QString &orientationWord);

// "yyyy年MM月dd日检测结果" of the given moment.
QString reportTitle(const QDateTime &when);
} // namespace PdfLayout

#endif
