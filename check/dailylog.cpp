#include "check/dailylog.h"
#include "check/appdir.h"
#include "check/resulttable.h"
#include "check/textfile.h"

#include <QDir>
#include <QFileInfo>

QString logRecord(const CheckResult &result)
{
    const CheckLine &line = result.line;
    QString record;
    for (const QString &field : { line.location, line.alias, verdictWord(result.verdict),
             checkedContent(line), checkTimeText(result.checkedAt) })
        record += field + QLatin1Char(',');
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
