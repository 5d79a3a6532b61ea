#include "report/pdflayout.h"

#include <QDateTime>
#include <QtMath>

namespace PdfLayout
{
Columns columns(const QVector<int> &screenWidths, qreal paintWidth)
{
    Columns cols;
    const int n = screenWidths.size();
    qint64 sum = 0;
    for (int w : screenWidths)
        sum += qMax(0, w);
    cols.bounds.reserve(n + 1);
    cols.widths.reserve(n);
    cols.bounds.append(0);
    for (int i = 0; i < n; ++i) {
        const qreal width = sum > 0 ? qMax(0, screenWidths.at(i)) * (paintWidth / sum) : paintWidth / n;
        cols.widths.append(width);
        cols.bounds.append(qMin(paintWidth, cols.bounds.last() + width));
    }
    return cols;
}

QRect cellTextRect(const Columns &cols, int column, int top, int inset)
{
    // Truncation toward zero, as the integer rectangle of the cell is taken.
    const int left = int(cols.bounds.at(column) + inset);
    const int width = int(cols.widths.at(column) - kTextInset);
    return QRect(left, top, qMax(0, width), kRowHeight);
}

int rowsPerPage(int paintHeight)
{
    const int room = paintHeight - kFirstRowTop - kRowHeight;
    return room < 0 ? 1 : room / kRowHeight + 1;
}

int pageTotal(int rowCount, int perPage)
{
    if (rowCount <= 0 || perPage <= 0)
        return 1;
    return (rowCount + perPage - 1) / perPage;
}

QString pageNumbering(int page, int total)
{
    return QStringLiteral("第%1 页   共%2 页").arg(page, 3).arg(total, 3);
}

Qt::Alignment dataAlignment(const QString &headerText)
{
    const bool money = headerText.contains(QStringLiteral("额")) || headerText.contains(QStringLiteral("币"));
    return (money ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

bool isLandscape(const QString &orientationWord)
{
    return orientationWord == QStringLiteral("横向");
}

QString reportTitle(const QDateTime &when)
{
    return when.toString(QStringLiteral("yyyy年MM月dd日检测结果"));
}
} // namespace PdfLayout
