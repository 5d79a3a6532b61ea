#ifndef JSONLINES_H
#define JSONLINES_H

#include "check/result.h"
#include "check/runsummary.h"

#include <QByteArray>
#include <QList>

// A check's output in a JSON line is cut to this many bytes of UTF-8: a page can be megabytes,
// and a line is meant to be read whole by log tools.
constexpr int kJsonOutputBytes = 4096;

// One check as one line of JSON (UTF-8, ending in a line feed), keys in this order: alias, type,
// target (password as ***), location, verdict ("ok", "fail", "pending"), reason (or null), output,
// checked_at (ISO 8601 with offset, or null), duration_ms, exit_code, http_status (each a number
// or null). Valid JSON whatever the output held.
QByteArray jsonLine(const CheckResult &result);

// The run's closing line: {"summary":true,"checks":N,"failures":N,"duration_ms":N}.
QByteArray jsonSummaryLine(const RunCount &count, qint64 runDurationMs);

// A JSON string literal of the text: quotes, backslashes and control characters escaped, and
// U+2028 and U+2029, which end a line for a script reading JSON as code.
QByteArray jsonString(const QString &text);

#endif
