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
#include <QHBoxLayout>
#include <QLabel>
#include <QTableWidget>

namespace
{
constexpr int kLedSize = 16;

int ledColour(Verdict verdict)
{
    return verdict == Verdict::Passed ? LedGreen : verdict == Verdict::Failed ? LedRed : LedGrey;
}

// The lamp at the left edge of the status cell; the word stays centred under it.
QWidget *statusCell(QTableWidget *table, Verdict verdict)
{
    auto *led = new QLabel;
    setLed(led, ledColour(verdict), kLedSize);
    auto *cell = new QWidget;
    auto *cellLayout = new QHBoxLayout(cell);
    cellLayout->setContentsMargins(0, 0, 0, 0);
    cellLayout->setAlignment(Qt::AlignLeft);
    cellLayout->addWidget(led);
    cell->resize(table->columnWidth(1), kTableRowHeight);
    cell->setStyleSheet(QStringLiteral("QWidget{ border: 0px }"));
    return cell;
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

void layOut(QTableWidget *table, const ResultsTable &shape)
{
    layOutTable(table, shape.headers, shape.widths);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
}
} // namespace

QString ledStyleSheet(int color, int size)
{
    static const char *const colours[]
        = { "rgb(190,190,190)", "rgb(255,0,0)", "rgb(0,255,0)", "rgb(255,255,0)" };
    QString sheet = QStringLiteral("min-width: %1px;min-height: %1px;max-width: %1px;max-height: %1px;"
                                   "border-radius: %2px;border:1px solid black;background-color:")
                        .arg(size)
                        .arg(size / 2);
    if (color >= LedGrey && color <= LedYellow)
        sheet += QLatin1String(colours[color]);
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
}

void ResultsView::showStart()
{
    layOut(widget, startResultsTable());
}

void ResultsView::begin()
{
    run = std::make_shared<RunRecords>();
    ran = true;
    layOut(widget, resultsTable({}));
}

void ResultsView::add(int index, const CheckResult &result)
{
    run->results.append(result);
    const int record = run->results.size() - 1;
    // The table always keeps one empty spare row below the results.
    if (index >= widget->rowCount() - 1)
        widget->insertRow(widget->rowCount());
    const QStringList cells = resultCells(result);
    for (int column = 0; column < cells.size(); ++column)
        widget->setItem(index, column, new ResultItem(cells.at(column), run, record));
    widget->item(index, 1)->setTextAlignment(Qt::AlignCenter);
    widget->setCellWidget(index, 1, statusCell(widget, result.verdict));
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
