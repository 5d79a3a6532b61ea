#ifndef CHECK_DAILYLOG_H
#define CHECK_DAILYLOG_H

#include "check/result.h"

#include <QString>

class QDateTime;

// The log record of a result: location, name, status word, content ("type-target") and time,
// each followed by a comma, then a line feed.
QString logRecord(const CheckResult &result);
// The daily log file of a run that started at that moment.
QString dailyLogPath(const QDateTime &day);
// Appends a record to the log, making its folder again if it has gone; false when the
// record could not be written whole.
bool appendLogRecord(const QString &logPath, const QString &record);

#endif
