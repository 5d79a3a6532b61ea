#include "app/cli/checkcommand.h"
#include "app/cli/resultsreport.h"
#include "app/cli/terminal.h"
#include "check/checkrunner.h"
#include "check/clock.h"
#include "check/resulttable.h"
#include "check/runrecorder.h"
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

int runCheck(const CheckOptions &options)
{
    const QString path = options.script;
    const ScriptFile script = readScriptFile(path);
    if (script.state == ScriptFile::Unreadable)
        return fail(QStringLiteral("无法读取检测脚本：%1").arg(QDir::toNativeSeparators(path)));
    const QList<CheckLine> lines = checkLinesOf(script.text);
    // Nothing run is not everything passed.
    if (lines.isEmpty())
        return fail(QStringLiteral("检测脚本中没有可执行的检测行。"));

    int nameWidth = 0;
    int contentWidth = 0;
    for (const CheckLine &line : lines) {
        nameWidth = qMax(nameWidth, qMin(kWidestColumn, terminalWidth(line.alias)));
        contentWidth = qMax(contentWidth, qMin(kWidestColumn, terminalWidth(checkedContent(line))));
    }

    QList<CheckResult> results;
    RunRecorders recorders;
    recorders.add(new DailyLogRecorder);
    bool logLost = false;
    QObject::connect(&recorders, &RunRecorders::trouble, [&](RunTrouble kind, const QString &text) {
        logLost = logLost || kind == RunTrouble::Log;
        print(stderr, text);
    });
    QElapsedTimer took;
    took.start();
    recorders.begin(lines, currentTime());
    CheckRunner runner;
    QObject::connect(&runner, &CheckRunner::checked, [&](int, const CheckResult &result) {
        results.append(result);
        recorders.record(result);
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
    if (!stoppedBy) {
        QObject::connect(&recorders, &RunRecorders::done, &loop, &QEventLoop::quit);
        recorders.finish(took.elapsed());
        if (!recorders.isDone())
            loop.exec();
    }
    if (!stoppedBy)
        stoppedBy = stop.pending();
    if (stoppedBy)
        return fail(QStringLiteral("已停止：收到信号 %1").arg(StopSignals::nameOf(stoppedBy)));

    if (!options.pdf.isEmpty()
        && !writeResultsPdf(options.pdf, FileOwner::UserRegularOnly, currentTime(), resultsTable(results)))
        return fail(QStringLiteral("无法写入PDF文件：%1").arg(QDir::toNativeSeparators(options.pdf)));
    if (logLost)
        return 1;
    for (const CheckResult &result : qAsConst(results)) {
        if (result.verdict != Verdict::Passed)
            return 1;
    }
    return 0;
}
