#include "report/pdfreport.h"
#include "report/pdflayout.h"

#include <QFontMetrics>
#include <QIODevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

using namespace PdfLayout;

namespace
{
constexpr int kTitlePoints = 18;
constexpr int kTextPoints = 7;

// The family is asked for by name. Where it is missing (Linux) a TrueType CJK face
// stands in: the CFF faces of the usual CJK set embed with a text map that turns
// some ideographs (月, 日, 金, 页) into radicals when the text is copied.
QFont reportFont()
{
    const QString family = QStringLiteral("新宋体");
    static const bool standIn = (QFont::insertSubstitution(family, QStringLiteral("AR PL UMing CN")), true);
    Q_UNUSED(standIn)
    return QFont(family);
}

// What of a cell's text can be seen: as many lines as fit the row, each at most as many
// characters as the cell is wide in pixels (no character is narrower than a pixel). Laying
// out the rest of a megabyte of output would only cost time and memory.
QString visiblePart(const QString &text, const QRect &rect, const QFontMetrics &metrics)
{
    const int lines = rect.height() / qMax(1, metrics.lineSpacing()) + 1;
    int end = 0;
    for (int line = 0; line < lines && end < text.size(); ++line) {
        const int lineEnd = text.indexOf(QLatin1Char('\n'), end);
        const int rest = (lineEnd < 0 ? text.size() : lineEnd) - end;
        if (rest > rect.width()) {
            end += rect.width() * (lines - line); // one line wraps into every line left
            break;
        }
        end += rest + 1;
    }
    return text.left(end);
}

// A data cell holds a command's whole output, often several lines: only the lines
// that fit whole are printed, from the first one, so no text spills over the
// neighbouring rows. A text that fits is centred vertically.
void drawCellText(QPainter &p, const QRect &rect, Qt::Alignment align, const QString &cellText)
{
    QString text = visiblePart(cellText, rect, QFontMetrics(p.font(), p.device()));
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(text, p.font(), p.device());
    QTextOption option(align & Qt::AlignHorizontal_Mask);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    int shown = 0;
    qreal height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(rect.width());
        if (shown > 0 && height + line.height() > rect.height())
            break;
        line.setPosition(QPointF(0, height));
        height += line.height();
        ++shown;
    }
    layout.endLayout();
    const qreal top = rect.top() + qMax<qreal>(0, (rect.height() - height) / 2);
    for (int i = 0; i < shown; ++i)
        layout.lineAt(i).draw(&p, QPointF(rect.left(), top));
}

class ReportPainter
{
public:
    ReportPainter(QPainter &painter, const QString &title, const QString &subtitle)
        : p(painter)
        , title(title)
        , subtitle(subtitle)
        , font(reportFont())
        , pen(Qt::black, 2.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin)
    {
    }

    qreal W = 0;
    int H = 0;
    Columns cols;
    QStringList headers;

    void titleBand()
    {
        font.setPointSize(kTitlePoints);
        p.setFont(font);
        text(QRect(0, 0, int(W), kTitleHeight), Qt::AlignCenter, title);
        font.setPointSize(kTextPoints);
        p.setFont(font);
        text(QRect(0, kSubtitleTop, int(W), kSubtitleHeight), Qt::AlignLeft | Qt::AlignVCenter, subtitle);
    }

    void gridPen()
    {
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(pen);
    }

    void headerRow(int inset)
    {
        const int bottom = kHeaderTop + kRowHeight;
        p.drawLine(QLineF(0, kHeaderTop, W, kHeaderTop));
        p.drawLine(QLineF(0, kHeaderTop, 0, bottom));
        p.drawLine(QLineF(W, kHeaderTop, W, bottom));
        for (int i = 0; i < headers.size(); ++i) {
            text(cellTextRect(cols, i, kHeaderTop, inset), Qt::AlignCenter, headers.at(i));
            p.drawLine(QLineF(cols.bounds.at(i), kHeaderTop, cols.bounds.at(i), bottom));
        }
    }

    void rowFrame(int y)
    {
        p.drawLine(QLineF(0, y, W, y));
        p.drawLine(QLineF(0, y, 0, y + kRowHeight));
        p.drawLine(QLineF(W, y, W, y + kRowHeight));
    }

    void rowBottom(int y) { p.drawLine(QLineF(0, y + kRowHeight, W, y + kRowHeight)); }

    // An empty row continuing the grid: frame and each column's right boundary.
    void fillerRow(int y)
    {
        rowFrame(y);
        for (int i = 1; i < cols.bounds.size(); ++i)
            p.drawLine(QLineF(cols.bounds.at(i), y, cols.bounds.at(i), y + kRowHeight));
        rowBottom(y);
    }

    void dataCell(int column, int y, const QString &cellText)
    {
        const QRect rect = cellTextRect(cols, column, y);
        if (rect.width() > 0 && !cellText.isEmpty())
            drawCellText(p, rect, dataAlignment(headers.at(column)), cellText);
        p.drawLine(QLineF(cols.bounds.at(column), y, cols.bounds.at(column), y + kRowHeight));
    }

    void text(const QRect &rect, Qt::Alignment align, const QString &s)
    {
        if (rect.width() > 0 && !s.isEmpty())
            p.drawText(rect, int(align) | Qt::TextWordWrap, s);
    }

private:
    QPainter &p;
    QString title;
    QString subtitle;
    QFont font;
    QPen pen;
};
} // namespace

bool writeReportPdf(QIODevice &device, const QString &title, const QString &subtitle, const QString &footer,
    const QString &orientation, const ReportTable &table)
{
    // The writer paints into a closed device without a word.
    if (!device.isWritable())
        return false;
    bool written = false;
    {
        QPdfWriter writer(&device);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(isLandscape(orientation) ? QPageLayout::Landscape : QPageLayout::Portrait);
        writer.setResolution(300);
        writer.setTitle(title);
        writer.setPageMargins(QMarginsF(50, 30, 40, 30), QPageLayout::Point);

        QPainter painter;
        if (!painter.begin(&writer))
            return false;
        ReportPainter page(painter, title, subtitle);

        const int rows = table.rows.size();
        const int columnCount = table.headers.size();
        page.W = writer.width();
        page.H = writer.height();
        const int total = pageTotal(rows, rowsPerPage(page.H));
        int pageNumber = 1;

        page.headers = table.headers;
        QVector<int> widths = table.widths;
        widths.resize(columnCount); // a column without a width gets none of the paper
        page.cols = columns(widths, page.W);

        page.titleBand();
        page.gridPen();
        page.headerRow(-kTextInset);

        int y = kFirstRowTop;
        for (int r = 0; r < rows; ++r) {
            page.gridPen();
            page.rowFrame(y);
            for (int i = 0; i < columnCount; ++i)
                page.dataCell(i, y, table.rows.at(r).value(i));
            page.rowBottom(y);

            if (y + 2 * kRowHeight > page.H && r + 1 < rows) {
                page.text(QRect(0, y + kRowHeight, int(page.W), kFooterHeight),
                    Qt::AlignRight | Qt::AlignVCenter,
                    footer + QStringLiteral("   ") + pageNumbering(pageNumber, total));
                ++pageNumber;
                writer.newPage();
                page.titleBand();
                page.gridPen();
                page.headerRow(kTextInset);
                y = kFirstRowTop;
            } else {
                y += kRowHeight;
            }
        }

        for (; y + kRowHeight < page.H; y += kRowHeight)
            page.fillerRow(y);

        const QRect footerRect(0, y, int(page.W), kFooterHeight);
        page.text(footerRect, Qt::AlignLeft | Qt::AlignVCenter, footer);
        page.text(footerRect, Qt::AlignRight | Qt::AlignVCenter, pageNumbering(pageNumber, total));
        written = painter.end();
    }
    return written;
}
