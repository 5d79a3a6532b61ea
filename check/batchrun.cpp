#include "batchrun.h"
#include "appdir.h"
#include "buttonoff.h"
#include "checkscript.h"
#include "command.h"
#include "fromlanrik.h"
#include "presentation.h"
#include "speech.h"
#include "ui_fromlanrik.h"
#include "webfetch.h"

#include <QApplication>
#include <QDateTime>
#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QPointer>
#include <QTableWidget>
#include <QTextStream>

namespace
{
const QString kTimeFormat = QStringLiteral("yyyy年MM月dd日 hh:mm:ss");
const QString kPassMark = QStringLiteral("<img src=\":/tree/ok.png\" height=32 width=32/><br>");
const QString kFailMark = QStringLiteral("<img src=\":/tree/no.png\" height=32 width=32/><br>");
constexpr int kLedSize = 16;

int busyDepth = 0;
int commandBoundMs = kCommandTimeoutMs;
int pageBoundMs = kHttpTimeoutMs;
BatchRunTimes lastTimes;

// Notices the window being closed while a run waits. Closing the last window stops
// every event loop, so a page still awaited comes back empty: that is no result, and
// neither it nor the lines after it may be logged or spoken as failures.
class CloseWatch : public QObject
{
public:
    explicit CloseWatch(QWidget *window)
        : window(window)
    {
        window->installEventFilter(this);
    }
    ~CloseWatch() override
    {
        if (window)
            window->removeEventFilter(this);
    }
    bool closed = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == window && event->type() == QEvent::Close)
            closed = true;
        return false;
    }

private:
    QPointer<QWidget> window;
};

void setCell(QTableWidget *table, int row, int column, const QString &text)
{
    table->setItem(row, column, new QTableWidgetItem(text));
}

void resetResultsTable(QTableWidget *table)
{
    layOutTable(table,
        { QStringLiteral("名称"), QStringLiteral("状态"), QStringLiteral("检测内容"),
            QStringLiteral("检测时间"), QStringLiteral("检测结果"), QStringLiteral("位置") },
        { 200, 80, 360, 200, 500, 100 });
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
}

// Device labels of the freshly rebuilt picture panel by the script row they show.
// Taken once per run: a label's tooltip becomes its result text as the run goes on.
QHash<int, QPointer<QLabel>> deviceLabels(QWidget *panel)
{
    QHash<int, QPointer<QLabel>> labels;
    for (QLabel *label : panel->findChildren<QLabel *>()) {
        bool ok = false;
        const int row = label->toolTip().toInt(&ok);
        if (ok)
            labels.insert(row, label);
    }
    return labels;
}

// A command line passes when its trimmed output holds the trimmed success text.
CheckStatus commandStatus(const QString &trimmedOutput, const QString &success)
{
    return trimmedOutput.contains(success.trimmed()) ? CheckStatus::Passed : CheckStatus::Failed;
}

// Rows of the script table that are check lines (trimmed alias not empty), in order.
QList<int> checkLineRows(QTableWidget *scriptTable)
{
    QList<int> rows;
    for (int r = 0; r < scriptTable->rowCount(); ++r) {
        if (!tableCellText(scriptTable, r, ScriptAlias).isEmpty())
            rows.append(r);
    }
    return rows;
}

// Location, name, status word, content and time, each followed by a comma.
QString logRecord(QTableWidget *table, int row)
{
    QString record;
    for (int column : { 5, 0, 1, 2, 3 })
        record += tableCellText(table, row, column) + QLatin1Char(',');
    return record + QLatin1Char('\n');
}
} // namespace

bool appendTextFile(const QString &path, const QString &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    QTextStream out(&file);
    out << text;
    out.flush();
    file.close();
    return true;
}

BusyScope::BusyScope()
{
    ++busyDepth;
}

BusyScope::~BusyScope()
{
    --busyDepth;
}

bool programBusy()
{
    return busyDepth > 0;
}

void setCheckBounds(int commandMs, int pageMs)
{
    commandBoundMs = commandMs > 0 ? commandMs : kCommandTimeoutMs;
    pageBoundMs = pageMs > 0 ? pageMs : kHttpTimeoutMs;
}

QString statusWord(CheckStatus status)
{
    return status == CheckStatus::Passed ? QStringLiteral("正常")
        : status == CheckStatus::Failed  ? QStringLiteral("异常")
                                         : QStringLiteral("待检测");
}

int statusColour(CheckStatus status)
{
    return status == CheckStatus::Passed ? LedGreen : status == CheckStatus::Failed ? LedRed : LedGrey;
}

CheckStatus pageStatus(const QString &page, const QStringList &fields)
{
    if (fields.size() < 4)
        return CheckStatus::Pending;
    return page.contains(fields.at(3).trimmed()) ? CheckStatus::Passed : CheckStatus::Failed;
}

BatchRunTimes lastBatchRunTimes()
{
    return lastTimes;
}

void fromlanrik::ScriptStart()
{
    // Never two runs at once, nor a run inside another long action: a second request
    // (a click that slipped through, a schedule timeout) is refused.
    if (programBusy())
        return;
    BusyScope busy;
    ButtonOff buttonOff(ui->cmdScriptStart);
    const CloseWatch closing(this);
    QElapsedTimer wall;
    wall.start();
    qint64 waitedMs = 0;
    int lines = 0;

    RefPIcture();
    const QString logPath
        = QStringLiteral("%1/log/%2.txt")
              .arg(appDir(), QDateTime::currentDateTime().toString(QStringLiteral("yyyy年MM月dd日")));
    QTableWidget *table = ui->tableWidget;
    resetResultsTable(table);

    const QStringList parts = scriptTableText(ui->tableScript).split(QLatin1Char('\n'));
    const QList<int> scriptRows = checkLineRows(ui->tableScript);
    const QHash<int, QPointer<QLabel>> labels = deviceLabels(ui->widgetPic);

    int j = -1;
    for (int i = 0; i + 1 < parts.size() && !closing.closed; ++i) {
        const QStringList f = scriptLineFields(parts.at(i));
        if (f.size() < 2)
            continue;
        const auto field = [&f](int k) { return k < f.size() ? f.at(k) : QString(); };
        ++j;
        ++lines;
        if (j >= table->rowCount() - 1)
            table->insertRow(table->rowCount());

        const QString type = f.at(0).toUpper();
        // Everything but the result; the time is that of the moment the cells are made.
        const auto fillRow = [&] {
            setCell(table, j, 0, field(2));
            setCell(table, j, 1, QString());
            setCell(table, j, 2, QStringLiteral("%1-%2").arg(f.at(0), f.at(1)));
            setCell(table, j, 3, QDateTime::currentDateTime().toString(kTimeFormat));
            setCell(table, j, 5, field(4));
        };
        CheckStatus status = CheckStatus::Failed;
        QString result = QStringLiteral("类型错误：类型必须是CMD或URL");
        // A check stopped at its bound never finished: not a pass, whatever arrived.
        if (type == QLatin1String("CMD")) {
            fillRow(); // shown while the command runs
            bool timedOut = false;
            result = runCommand(f.at(1), commandBoundMs, &timedOut).trimmed();
            status = timedOut ? CheckStatus::Failed : commandStatus(result, field(3));
        } else {
            if (type == QLatin1String("URL")) {
                const HttpDownload page = httpDownload(f.at(1), pageBoundMs);
                result = bodyText(page.body);
                status = page.timedOut ? CheckStatus::Failed : pageStatus(result, f);
            }
            fillRow();
        }
        if (closing.closed)
            break;
        setCell(table, j, 4, result);

        table->item(j, 1)->setText(statusWord(status));
        table->item(j, 1)->setTextAlignment(Qt::AlignCenter);
        auto *cell = new QWidget;
        auto *cellLayout = new QHBoxLayout(cell);
        cellLayout->setContentsMargins(0, 0, 0, 0);
        cellLayout->setAlignment(Qt::AlignLeft);
        auto *led = new QLabel;
        setLED(led, statusColour(status), kLedSize);
        cellLayout->addWidget(led);
        cell->resize(table->columnWidth(1), kTableRowHeight);
        cell->setStyleSheet(QStringLiteral("QWidget{ border: 0px }"));
        table->setCellWidget(j, 1, cell);
        table->repaint();

        const QString name = tableCellText(table, j, 0);
        if (status != CheckStatus::Passed && ui->chkSpack->isChecked())
            speakText(name + QStringLiteral("发现异常！"));

        // The line's own device label, if its script row has one.
        const int scriptRow = scriptRows.value(i, -1);
        if (QLabel *label = labels.value(scriptRow)) {
            label->setText(deviceLabelText(
                ui->tableScript, scriptRow, status == CheckStatus::Passed ? kPassMark : kFailMark));
            label->setToolTip(tableCellText(table, j, 4));
            label->repaint();
            label->update();
        }
        // One chance per line for the window to repaint and stay responsive.
        QElapsedTimer waited;
        waited.start();
        QCoreApplication::processEvents();
        waitedMs += waited.elapsed();

        if (!appendTextFile(logPath, logRecord(table, j)))
            qDebug().noquote() << QStringLiteral("错误！");
    }
    lastTimes = { wall.elapsed(), waitedMs, lines };
}

void fromlanrik::on_cmdScriptStart_clicked()
{
    ScriptStart();
}
