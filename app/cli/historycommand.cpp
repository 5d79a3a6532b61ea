#include "app/cli/historycommand.h"
#include "app/cli/terminal.h"
#include "check/appdir.h"
#include "check/clock.h"
#include "check/historystore.h"
#include "check/historytext.h"
#include "check/script.h"

#include <QDir>

int runHistory(const QString &scriptPath, int days)
{
    const ScriptFile script = readScriptFile(scriptPath);
    if (script.state == ScriptFile::Unreadable)
        return fail(QStringLiteral("无法读取检测脚本：%1").arg(QDir::toNativeSeparators(scriptPath)));
    const QList<CheckLine> lines = checkLinesOf(script.text);
    if (lines.isEmpty())
        return fail(QStringLiteral("检测脚本中没有可执行的检测行。"));

    // Read only: a report never creates, changes or sets aside the file a run writes.
    HistoryStore store(QStringLiteral("%1/%2").arg(appDir(), QLatin1String(kHistoryFileName)),
        HistoryStore::Access::ReadOnly);
    const QDateTime now = currentTime();
    QString problem;
    const QList<LineFigures> figures = store.figures(lines,
        days > 0 ? QVector<int> { days } : QVector<int> { 1, 7, 30 }, now.toMSecsSinceEpoch(), &problem);
    if (!problem.isEmpty())
        return fail(problem);
    for (const QString &line : historyReport(lines, figures, now))
        print(stdout, line);
    return 0;
}
