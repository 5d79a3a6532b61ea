#include "app/gui/resultsview.h"
#include "app/cli/resultsreport.h"
#include "app/gui/messagebox.h"
#include "app/gui/printing.h"
#include "app/gui/richtext.h"
#include "app/gui/tables.h"
#include "check/appdir.h"
#include "check/clock.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QHash>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QTableWidget>

namespace
{
constexpr int kLedSize = 16;
// Rows are filled for at most this long before the window handles its input again.
constexpr int kFillStepMs = 40;

int ledColour(Verdict verdict)
{
    return verdict == Verdict::Passed ? LedGreen : verdict == Verdict::Failed ? LedRed : LedGrey;
}

// The lamp's colour for a colour code; none for a code outside the table.
QColor lampColour(int colour)
{
    static const QColor colours[]
        = { QColor(190, 190, 190), QColor(255, 0, 0), QColor(0, 255, 0), QColor(255, 255, 0) };
    return colour >= LedGrey && colour <= LedYellow ? colours[colour] : QColor();
}

// The lamp at the left edge of a status cell, the word centred beside it. Painted by the table, not
// a widget per row, so thousands of rows cost nothing to show, scroll, hide or close.
QIcon ledIcon(int colour)
{
    static QHash<int, QIcon> icons;
    if (!icons.contains(colour)) {
        QPixmap lamp(kLedSize, kLedSize);
        lamp.fill(Qt::transparent);
        QPainter painter(&lamp);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::black);
        painter.setBrush(lampColour(colour).isValid() ? QBrush(lampColour(colour)) : QBrush());
        painter.drawEllipse(QRectF(0.5, 0.5, kLedSize - 1, kLedSize - 1));
        painter.end();
        icons.insert(colour, QIcon(lamp));
    }
    return icons.value(colour);
}

// A cell of a run's row. Its tooltip is made when it is shown, so the time a line has held
// its verdict counts to that moment.
class ResultItem : public QTableWidgetItem
{
public:
    ResultItem(const QString &text, std::shared_ptr<const RunRecords> run, int index)
        : QTableWidgetItem(text)
        , run(std::move(run))
        , index(index)
    {
    }
    QVariant data(int role) const override
    {
        if (role == Qt::ToolTipRole)
            return plainToolTip(run->toolTipText(index, currentTime()));
        return QTableWidgetItem::data(role);
    }

private:
    std::shared_ptr<const RunRecords> run;
    int index;
};

// The status word centred beside its lamp.
void setStatus(QTableWidgetItem *status, int colour)
{
    status->setTextAlignment(Qt::AlignCenter);
    if (status->data(Qt::UserRole) != QVariant(colour)) {
        status->setData(Qt::UserRole, colour);
        status->setIcon(ledIcon(colour));
    }
}

void layOut(QTableWidget *table, const ResultsTable &shape)
{
    layOutTable(table, shape.headers, shape.widths);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
}
} // namespace

QString ledStyleSheet(int color, int size)
{
    QString sheet = QStringLiteral("min-width: %1px;min-height: %1px;max-width: %1px;max-height: %1px;"
                                   "border-radius: %2px;border:1px solid black;background-color:")
                        .arg(size)
                        .arg(size / 2);
    const QColor lamp = lampColour(color);
    if (lamp.isValid())
        sheet += QStringLiteral("rgb(%1,%2,%3)").arg(lamp.red()).arg(lamp.green()).arg(lamp.blue());
    return sheet;
}

void setLed(QLabel *label, int color, int size)
{
    label->setText(QString());
    label->setStyleSheet(ledStyleSheet(color, size));
}

ResultsView::ResultsView(QTableWidget *table)
    : widget(table)
{
    filler.setInterval(0);
    QObject::connect(&filler, &QTimer::timeout, [this] { fillStep(); });
}

void ResultsView::showStart()
{
    layOut(widget, startResultsTable());
}

void ResultsView::begin(const QList<CheckLine> &lines)
{
    run = std::make_shared<RunRecords>();
    ran = true;
    layOut(widget, resultsTable({}));
    // One empty spare row below the lines.
    widget->setRowCount(qMax(widget->rowCount(), lines.size() + 1));
    waiting = lines;
    ended.fill(false, lines.size());
    filled = 0;
    fillStep();
    if (filled < waiting.size())
        filler.start();
}

void ResultsView::show(int index, const CheckResult &result)
{
    if (index < 0 || index >= ended.size() || !widget)
        return;
    ended[index] = true;
    showRow(index, resultCells(result), ledColour(result.verdict));
}

void ResultsView::add(int index, const CheckResult &result)
{
    run->results.append(result);
    const int record = run->results.size() - 1;
    if (!widget)
        return;
    // The table always keeps one empty spare row below the results.
    if (index >= widget->rowCount() - 1)
        widget->insertRow(widget->rowCount());
    if (index < ended.size())
        ended[index] = true;
    // Cells made from the run's records, so their tooltips can tell since when.
    const QStringList cells = resultCells(result);
    for (int column = 0; column < cells.size(); ++column)
        widget->setItem(index, column, new ResultItem(cells.at(column), run, record));
    setStatus(widget->item(index, 1), ledColour(result.verdict));
}

void ResultsView::fillStep()
{
    QElapsedTimer step;
    step.start();
    while (widget && filled < waiting.size() && step.elapsed() < kFillStepMs) {
        if (!ended.at(filled))
            showRow(filled, runningCells(waiting.at(filled)), LedGrey);
        ++filled;
    }
    if (!widget || filled >= waiting.size())
        filler.stop();
}

void ResultsView::showRow(int row, const QStringList &cells, int colour)
{
    // Only what changed is set: a row is shown once as it ends and once more in line order.
    for (int column = 0; column < cells.size(); ++column) {
        QTableWidgetItem *item = widget->item(row, column);
        if (!item)
            widget->setItem(row, column, new QTableWidgetItem(cells.at(column)));
        else if (item->text() != cells.at(column))
            item->setText(cells.at(column));
    }
    setStatus(widget->item(row, 1), colour);
}

int ResultsView::recordOfRow(int row) const
{
    // Rows are in script order, as the records.
    return row >= 0 && row < run->results.size() ? row : -1;
}

ResultsTable ResultsView::table() const
{
    ResultsTable shown = ran ? resultsTable(run->results) : startResultsTable();
    // Printed in proportion to the columns as the user has sized them.
    for (int column = 0; column < shown.widths.size() && widget; ++column)
        shown.widths[column] = widget->columnWidth(column);
    return shown;
}

void ResultsView::copy() const
{
    QApplication::clipboard()->setText(clipboardText(table()), QClipboard::Clipboard);
    MessageBox::information(nullptr, QStringLiteral("信息"), QStringLiteral("复制成功！"));
}

void ResultsView::print(QWidget *window) const
{
    // The program's own file: a link in its place is replaced, never written through.
    const QString path = QStringLiteral("%1/tmpPDF.pdf").arg(appDir());
    if (writeResultsPdf(path, FileOwner::Program, QDateTime::currentDateTime(), table()))
        openInViewer(window, path);
}
