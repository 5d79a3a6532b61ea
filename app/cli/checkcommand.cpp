#include "app/cli/checkcommand.h"
#include "app/cli/resultsreport.h"
#include "app/cli/terminal.h"
#include "check/appdir.h"
#include "check/checkrunner.h"
#include "check/clock.h"
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
#include "probe/stopsignals.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>

namespace
{
// A name or a target wider than this does not widen its column for the other lines.
constexpr int kWidestColumn = 40;
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
    const ScriptFile script = readScriptFile(path);
    if (script.state == ScriptFile::Unreadable)
        return refuseRun(
            QStringLiteral("无法读取检测脚本：%1").arg(QDir::toNativeSeparators(path)), options.format);
    const QList<CheckLine> lines = checkLinesOf(script.text);
    // Nothing run is not everything passed.
    if (lines.isEmpty())
        return refuseRun(QStringLiteral("检测脚本中没有可执行的检测行。"), options.format);

    int nameWidth = 0;
    int contentWidth = 0;
    for (const CheckLine &line : lines) {
        nameWidth = qMax(nameWidth, qMin(kWidestColumn, terminalWidth(line.alias)));
        contentWidth = qMax(contentWidth, qMin(kWidestColumn, terminalWidth(checkedContent(line))));
    }

    QList<CheckResult> results;
    RunRecorders recorders;
    recorders.add(new DailyLogRecorder);
    auto *history
        = new HistoryRecorder(QStringLiteral("%1/%2").arg(appDir(), QLatin1String(kHistoryFileName)));
    recorders.add(history);
    // The run waits for its sending (kNotifySendMs at most) before the program exits.
    recorders.add(new NotifyRecorder(history));
    if (!options.metrics.isEmpty())
        recorders.add(new MetricsRecorder(options.metrics));
    const bool plugin = options.format == OutputFormat::Nagios;
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
        results.append(result);
        recorders.record(result);
        if (options.format == OutputFormat::Json)
            printBytes(stdout, jsonLine(result));
        if (options.format != OutputFormat::Text)
            return;
        print(stdout,
            QStringLiteral("%1  %2  %3  %4  %5")
                .arg(verdictWord(result.verdict), padded(result.line.alias, nameWidth),
                    padded(checkedContent(result.line), contentWidth), checkTimeText(result.checkedAt),
                    resultText(result).trimmed().section(QLatin1Char('\n'), 0, 0)));
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
    runner.start(lines);
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
        print(stdout, textSummaryLine(results, runMs));
    else if (options.format == OutputFormat::Json)
        printBytes(stdout, jsonSummaryLine(results, runMs));
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
    if (logLost)
        return 1;
    for (const CheckResult &result : qAsConst(results)) {
        if (result.verdict != Verdict::Passed)
            return 1;
    }
    return 0;
}
