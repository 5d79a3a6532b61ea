#include "app/gui/resultsview.h"
#include "app/cli/resultsreport.h"
#include "app/gui/messagebox.h"
#include "app/gui/printing.h"
#include "app/gui/tables.h"
#include "check/appdir.h"

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
    results.clear();
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
    results.append(result);
    show(index, result);
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
    QTableWidgetItem *status = widget->item(row, 1);
    status->setTextAlignment(Qt::AlignCenter);
    if (status->data(Qt::UserRole) != QVariant(colour)) {
        status->setData(Qt::UserRole, colour);
        status->setIcon(ledIcon(colour));
    }
}

ResultsTable ResultsView::table() const
{
    ResultsTable shown = ran ? resultsTable(results) : startResultsTable();
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
    const QString path = QStringLiteral("%1/tmpPDF.pdf").arg(appDir());
    if (writeResultsPdf(path, QDateTime::currentDateTime(), table()))
        openInViewer(window, path);
}
