#include "app/cli/checkcommand.h"
#include "app/cli/resultsreport.h"
#include "app/cli/terminal.h"
#include "check/appdir.h"
#include "check/checkrunner.h"
#include "check/clock.h"
#include "check/columns.h"
#include "check/historyrecorder.h"
#include "check/historystore.h"
#include "check/jsonlines.h"
#include "check/metricsrecorder.h"
#include "check/nagiosoutput.h"
#include "check/notifyrecorder.h"
#include "check/resulttable.h"
#include "check/runrecorder.h"
#include "check/runsummary.h"
#include "check/script.h"
#include "check/scriptreader.h"
#include "probe/stopsignals.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>

namespace
{
// A name or a target wider than this does not widen its column for the other lines.
constexpr int kWidestColumn = 40;
// What a line shows of a result: cron mails what is printed.
constexpr int kPrintedResultChars = 200;
// The recorders are handed the lines of a script up to this size (as many as the window holds);
// a larger script is read as it runs and never held.
constexpr int kListedLines = 10000;
// The first line of the text that is no blank, at most kPrintedResultChars of it.
QString firstLine(const QString &text)
{
    int start = 0;
    while (start < text.size() && text.at(start).isSpace())
        ++start;
    int end = text.indexOf(QLatin1Char('\n'), start);
    if (end < 0)
        end = text.size();
    QString line = text.mid(start, qMin(end - start, kPrintedResultChars));
    if (line.size() == kPrintedResultChars && line.at(line.size() - 1).isHighSurrogate())
        line.chop(1); // never half a character
    return line.trimmed();
}

// What the plugin output takes of a result: all but the bulk of its output.
CheckResult withShortOutput(CheckResult result)
{
    result.output = firstLine(result.output);
    return result;
}
} // namespace

int refuseRun(const QString &message, OutputFormat format)
{
    if (format != OutputFormat::Nagios)
        return fail(message);
    RunProblems problems;
    problems.notRun = true;
    problems.messages << message;
    printBytes(stdout, nagiosOutput({}, problems));
    return nagiosExitCode({}, problems);
}

int runCheck(const CheckOptions &options)
{
    const QString path = options.script;
    // Read twice, a block at a time: for the columns' widths, then as the run goes.
    ScriptReader widths(path);
    if (widths.state() != ScriptFile::Read)
        return refuseRun(
            QStringLiteral("无法读取检测脚本：%1").arg(QDir::toNativeSeparators(path)), options.format);
    QList<CheckLine> lines;
    int count = 0;
    int nameWidth = 0;
    int contentWidth = 0;
    for (CheckLine line; widths.next(&line); ++count) {
        nameWidth = qMax(nameWidth, qMin(kWidestColumn, terminalColumns(line.alias)));
        contentWidth = qMax(contentWidth, qMin(kWidestColumn, terminalColumns(checkedContent(line))));
        if (count < kListedLines)
            lines.append(line);
    }
    if (count > kListedLines)
        lines.clear();
    // Nothing run is not everything passed.
    if (count == 0)
        return refuseRun(QStringLiteral("检测脚本中没有可执行的检测行。"), options.format);

    // Kept for the report and the plugin output only (the plugin's a line's reason or first
    // output line, at most kPrintedResultChars): a script of any size runs in bounded memory.
    const bool plugin = options.format == OutputFormat::Nagios;
    QList<CheckResult> results;
    RunCount ran;
    RunRecorders recorders;
    recorders.add(new DailyLogRecorder);
    auto *history
        = new HistoryRecorder(QStringLiteral("%1/%2").arg(appDir(), QLatin1String(kHistoryFileName)));
    recorders.add(history);
    // The run waits for its sending (kNotifySendMs at most) before the program exits.
    recorders.add(new NotifyRecorder(history));
    if (!options.metrics.isEmpty())
        recorders.add(new MetricsRecorder(options.metrics));
    bool logLost = false;
    RunProblems problems;
    QObject::connect(&recorders, &RunRecorders::trouble, [&](RunTrouble kind, const QString &text) {
        logLost = logLost || kind == RunTrouble::Log;
        problems.recordNotWritten = true;
        problems.messages << text;
        // An engine may read standard error as the plugin's output: there it is in the plugin line.
        if (!plugin)
            print(stderr, text);
    });
    QElapsedTimer took;
    took.start();
    recorders.begin(lines, currentTime());
    CheckRunner runner;
    QObject::connect(&runner, &CheckRunner::checked, [&](int, const CheckResult &result) {
        ran.add(result);
        if (!options.pdf.isEmpty())
            results.append(result);
        else if (plugin)
            results.append(withShortOutput(result));
        recorders.record(result);
        if (options.format == OutputFormat::Json)
            printBytes(stdout, jsonLine(result));
        if (options.format != OutputFormat::Text)
            return;
        print(stdout,
            QStringLiteral("%1  %2  %3  %4  %5")
                .arg(verdictWord(result.verdict), padded(result.line.alias, nameWidth),
                    padded(checkedContent(result.line), contentWidth), checkTimeText(result.checkedAt),
                    firstLine(resultText(result))));
    });
    // A stop signal ends the run as closing the window does: every command's group killed,
    // every fetch aborted, nothing cut off reported.
    QEventLoop loop;
    StopSignals stop;
    int stoppedBy = 0;
    QObject::connect(&stop, &StopSignals::received, [&](int signal) {
        stoppedBy = signal;
        runner.cancel();
        loop.quit();
    });
    QObject::connect(&runner, &CheckRunner::finished, &loop, &QEventLoop::quit);
    ScriptReader script(path);
    runner.start(&script);
    loop.exec();
    const qint64 runMs = took.elapsed();
    if (!stoppedBy) {
        QObject::connect(&recorders, &RunRecorders::done, &loop, &QEventLoop::quit);
        recorders.finish(runMs);
        if (!recorders.isDone())
            loop.exec();
    }
    if (!stoppedBy)
        stoppedBy = stop.pending();
    if (stoppedBy)
        return refuseRun(
            QStringLiteral("已停止：收到信号 %1").arg(StopSignals::nameOf(stoppedBy)), options.format);

    if (options.format == OutputFormat::Text)
        print(stdout, textSummaryLine(ran, runMs));
    else if (options.format == OutputFormat::Json)
        printBytes(stdout, jsonSummaryLine(ran, runMs));
    if (!options.pdf.isEmpty()
        && !writeResultsPdf(options.pdf, FileOwner::UserRegularOnly, currentTime(), resultsTable(results))) {
        const QString message
            = QStringLiteral("无法写入PDF文件：%1").arg(QDir::toNativeSeparators(options.pdf));
        if (!plugin)
            return fail(message);
        problems.reportNotWritten = true;
        problems.messages << message;
    }
    if (plugin) {
        printBytes(stdout, nagiosOutput(results, problems));
        return nagiosExitCode(results, problems);
    }
    return logLost || ran.failures > 0 ? 1 : 0;
}
