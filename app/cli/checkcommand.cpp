#include "app/cli/checkcommand.h"
#include "app/cli/resultsreport.h"
#include "app/cli/terminal.h"
#include "check/checkrunner.h"
#include "check/clock.h"
#include "check/resulttable.h"
#include "check/runrecorder.h"
#include "check/script.h"
#include "check/scriptreader.h"

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
} // namespace

int runCheck(const CheckOptions &options)
{
    const QString path = options.script;
    // Read twice, a block at a time: for the columns' widths, then as the run goes.
    ScriptReader widths(path);
    if (widths.state() != ScriptFile::Read)
        return fail(QStringLiteral("无法读取检测脚本：%1").arg(QDir::toNativeSeparators(path)));
    QList<CheckLine> lines;
    int count = 0;
    int nameWidth = 0;
    int contentWidth = 0;
    for (CheckLine line; widths.next(&line); ++count) {
        nameWidth = qMax(nameWidth, qMin(kWidestColumn, terminalWidth(line.alias)));
        contentWidth = qMax(contentWidth, qMin(kWidestColumn, terminalWidth(checkedContent(line))));
        if (count < kListedLines)
            lines.append(line);
    }
    if (count > kListedLines)
        lines.clear();

    // Kept for the report only: a script of any size runs in bounded memory without one.
    QList<CheckResult> results;
    bool allPassed = true;
    RunRecorders recorders;
    recorders.add(new DailyLogRecorder);
    QObject::connect(
        &recorders, &RunRecorders::trouble, [](RunTrouble, const QString &text) { print(stderr, text); });
    QElapsedTimer took;
    took.start();
    recorders.begin(lines, currentTime());
    CheckRunner runner;
    QObject::connect(&runner, &CheckRunner::checked, [&](int, const CheckResult &result) {
        if (!options.pdf.isEmpty())
            results.append(result);
        allPassed = allPassed && result.verdict == Verdict::Passed;
        recorders.record(result);
        print(stdout,
            QStringLiteral("%1  %2  %3  %4  %5")
                .arg(verdictWord(result.verdict), padded(result.line.alias, nameWidth),
                    padded(checkedContent(result.line), contentWidth), checkTimeText(result.checkedAt),
                    firstLine(resultText(result))));
    });
    QEventLoop loop;
    QObject::connect(&runner, &CheckRunner::finished, &loop, &QEventLoop::quit);
    ScriptReader script(path);
    runner.start(&script);
    loop.exec();
    QObject::connect(&recorders, &RunRecorders::done, &loop, &QEventLoop::quit);
    recorders.finish(took.elapsed());
    if (!recorders.isDone())
        loop.exec();

    if (!options.pdf.isEmpty() && !writeResultsPdf(options.pdf, currentTime(), resultsTable(results)))
        return fail(QStringLiteral("无法写入PDF文件：%1").arg(QDir::toNativeSeparators(options.pdf)));
    return allPassed ? 0 : 1;
}
