#include "batchrun.h"
#include "appdir.h"
#include "busy.h"
#include "buttonoff.h"
#include "checkengine.h"
#include "checkscript.h"
#include "clock.h"
#include "fromlanrik.h"
#include "messagebox.h"
#include "presentation.h"
#include "richtext.h"
#include "speech.h"
#include "ui_fromlanrik.h"

#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QTableWidget>
#include <QTextCodec>
#include <QTextStream>

namespace
{
const QString kTimeFormat = QStringLiteral("yyyy年MM月dd日 hh:mm:ss");
const QString kPassMark = QStringLiteral("<img src=\":/tree/ok.png\" height=32 width=32/><br>");
const QString kFailMark = QStringLiteral("<img src=\":/tree/no.png\" height=32 width=32/><br>");
constexpr int kLedSize = 16;

int commandBoundMs = kCommandTimeoutMs;
int pageBoundMs = kHttpTimeoutMs;
int parallelChecks = kParallelChecks;
bool runUnderWay = false;
BatchRunTimes lastTimes;

// Cancels the run once its window is really closed (hidden by the program, not
// minimised): a question on closing may still keep the window, and the run with it.
class CloseWatch : public QObject
{
public:
    CloseWatch(QWidget *window, CheckRunner *runner, QEventLoop *loop)
        : window(window)
        , runner(runner)
        , loop(loop)
    {
        window->installEventFilter(this);
    }
    ~CloseWatch() override
    {
        if (window)
            window->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == window && event->type() == QEvent::Hide && !event->spontaneous()) {
            runner->cancel();
            loop->quit();
        }
        return false;
    }

private:
    QPointer<QWidget> window;
    CheckRunner *runner;
    QEventLoop *loop;
};

void setCell(QTableWidget *table, int row, int column, const QString &text)
{
    table->setItem(row, column, new QTableWidgetItem(text));
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

// The check lines of the script table as it is now, each with the table row it came from.
QList<CheckLine> scriptSnapshot(QTableWidget *scriptTable)
{
    QList<CheckLine> lines = checkLinesOf(scriptTableText(scriptTable));
    int line = 0;
    for (int r = 0; r < scriptTable->rowCount() && line < lines.size(); ++r) {
        if (!tableCellText(scriptTable, r, ScriptAlias).isEmpty())
            lines[line++].scriptRow = r;
    }
    return lines;
}

int statusColour(CheckStatus status)
{
    return status == CheckStatus::Passed ? LedGreen : status == CheckStatus::Failed ? LedRed : LedGrey;
}

// The lamp at the left edge of the status cell; the word stays centred under it.
QWidget *statusCell(QTableWidget *table, QLabel *led)
{
    auto *cell = new QWidget;
    auto *cellLayout = new QHBoxLayout(cell);
    cellLayout->setContentsMargins(0, 0, 0, 0);
    cellLayout->setAlignment(Qt::AlignLeft);
    cellLayout->addWidget(led);
    cell->resize(table->columnWidth(1), kTableRowHeight);
    cell->setStyleSheet(QStringLiteral("QWidget{ border: 0px }"));
    return cell;
}

// Told once the run is over, without waiting for an answer: a scheduled run must go on
// while nobody is there, and runs that keep failing do not pile boxes up.
void warnLogNotWritten(QWidget *window, const QString &logPath)
{
    static QPointer<QMessageBox> open;
    if (!open)
        open = MessageBox::openWarning(window, QStringLiteral("警告"),
            QStringLiteral("日志写入失败：%1").arg(QDir::toNativeSeparators(logPath)));
}
} // namespace

void layOutResultsTable(QTableWidget *table)
{
    layOutTable(table,
        { QStringLiteral("名称"), QStringLiteral("状态"), QStringLiteral("检测内容"),
            QStringLiteral("检测时间"), QStringLiteral("检测结果"), QStringLiteral("位置") },
        { 200, 80, 360, 200, 500, 100 });
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void setResultRow(QTableWidget *table, int row, const CheckLine &line, const CheckOutcome &outcome)
{
    // The table always keeps one empty spare row below the results.
    if (row >= table->rowCount() - 1)
        table->insertRow(table->rowCount());
    setCell(table, row, 0, line.alias);
    setCell(table, row, 1, statusWord(outcome.status));
    table->item(row, 1)->setTextAlignment(Qt::AlignCenter);
    setCell(table, row, 2, QStringLiteral("%1-%2").arg(line.type, line.target));
    setCell(table, row, 3, outcome.checkedAt.toString(kTimeFormat));
    setCell(table, row, 4, outcome.result);
    setCell(table, row, 5, line.location);
}

QString logRecord(const QTableWidget *table, int row)
{
    QString record;
    for (int column : { 5, 0, 1, 2, 3 })
        record += tableCellText(table, row, column) + QLatin1Char(',');
    return record + QLatin1Char('\n');
}

QString dailyLogPath(const QDateTime &day)
{
    return QStringLiteral("%1/log/%2.txt").arg(appDir(), day.toString(QStringLiteral("yyyy年MM月dd日")));
}

bool appendLogRecord(const QString &logPath, const QString &record)
{
    // The folder may have gone while the program runs.
    QDir().mkpath(QFileInfo(logPath).path());
    return appendTextFile(logPath, record);
}

bool appendTextFile(const QString &path, const QString &text)
{
    QByteArray first, last;
    QFile existing(path);
    // A device (/dev/full, a terminal) has no start or end to look at.
    if (existing.open(QIODevice::ReadOnly) && !existing.isSequential() && existing.size() > 0) {
        first = existing.read(3);
        last = existing.seek(existing.size() - 1) ? existing.read(1) : QByteArray();
    }
    existing.close();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    QTextStream out(&file);
    // Like the script: Chinese under a locale that cannot hold it would become '?'. A file
    // begun in UTF-8 stays so, and only a new one gets the mark.
    if (first == "\xEF\xBB\xBF" || !QTextCodec::codecForLocale()->canEncode(text)) {
        out.setCodec("UTF-8");
        out.setGenerateByteOrderMark(first.isEmpty());
    }
    // A record cut short by a full disk must not run into this one.
    if (!last.isEmpty() && last != "\n")
        out << '\n';
    out << text;
    out.flush();
    const bool streamed = out.status() == QTextStream::Ok;
    // Buffered bytes that cannot be written fail only here.
    file.close();
    return streamed && file.error() == QFileDevice::NoError;
}

void setCheckBounds(int commandMs, int pageMs)
{
    commandBoundMs = commandMs > 0 ? commandMs : kCommandTimeoutMs;
    pageBoundMs = pageMs > 0 ? pageMs : kHttpTimeoutMs;
}

void setParallelChecks(int checks)
{
    parallelChecks = checks > 0 ? checks : kParallelChecks;
}

BatchRunTimes lastBatchRunTimes()
{
    return lastTimes;
}

void fromlanrik::ScriptStart()
{
    // Never two runs at once: a second request (a click that slipped through, a
    // schedule timeout) is refused.
    if (runUnderWay)
        return;
    runUnderWay = true;
    const BusyScope busy;
    const ButtonOff buttonOff(ui->cmdScriptStart);
    QElapsedTimer wall;
    wall.start();

    RefPIcture();
    const QString logPath = dailyLogPath(currentTime());
    QTableWidget *table = ui->tableWidget;
    layOutResultsTable(table);

    // Edits of the script table during the run change nothing in it.
    const QList<CheckLine> lines = scriptSnapshot(ui->tableScript);
    const QHash<int, QPointer<QLabel>> labels = deviceLabels(ui->widgetPic);

    bool logFailed = false;
    CheckRunner runner;
    runner.setParallel(parallelChecks);
    runner.setBounds(commandBoundMs, pageBoundMs);
    // Outcomes come in script order, so rows, labels, log and alerts read as if the
    // lines had run one after another.
    connect(&runner, &CheckRunner::checked, this, [&](int j, const CheckOutcome &outcome) {
        const CheckLine &line = lines.at(j);
        setResultRow(table, j, line, outcome);
        auto *led = new QLabel;
        setLED(led, statusColour(outcome.status), kLedSize);
        table->setCellWidget(j, 1, statusCell(table, led));

        const bool passed = outcome.status == CheckStatus::Passed;
        if (!passed && ui->chkSpack->isChecked())
            speakText(line.alias + QStringLiteral("发现异常！"));
        if (QLabel *label = labels.value(line.scriptRow)) {
            label->setText(deviceLabelText(line.alias, true, passed ? kPassMark : kFailMark));
            label->setToolTip(plainToolTip(tableCellText(table, j, 4)));
        }
        if (!appendLogRecord(logPath, logRecord(table, j))) {
            logFailed = true;
            qDebug().noquote() << QStringLiteral("错误！");
        }
    });

    QEventLoop loop;
    connect(&runner, &CheckRunner::finished, &loop, &QEventLoop::quit);
    const CloseWatch closing(this, &runner, &loop);
    runner.start(lines);
    // The window takes every input meanwhile: other tabs, scrolling, copying.
    loop.exec();
    runner.cancel();
    lastTimes = { wall.elapsed(), int(lines.size()) };
    runUnderWay = false;
    if (logFailed && isVisible())
        warnLogNotWritten(this, logPath);
}

void fromlanrik::on_cmdScriptStart_clicked()
{
    ScriptStart();
}
