#ifndef NAGIOSOUTPUT_H
#define NAGIOSOUTPUT_H

#include "check/result.h"
#include "check/runproblems.h"

#include <QByteArray>
#include <QList>

// The monitoring-plugin interface's output is read up to this many bytes.
constexpr int kNagiosOutputBytes = 8192;
// The first line names at most this many failed lines, then "等".
constexpr int kNagiosNamedFailures = 10;

// The plugin exit code: 0 every line passed; 2 a line failed or was never checked; 1 every line
// passed but a record could not be written; 3 no whole run, or every line passed but the report
// was not written. A problem of the program itself is never 2, which engines read as CRITICAL.
int nagiosExitCode(const QList<CheckResult> &results, const RunProblems &problems);

// The plugin output, at most kNagiosOutputBytes of UTF-8, each line ending in a line feed:
//   NETCHECK CRITICAL - 2 项异常：甲, 乙 | '甲'=12ms;;;0 '乙'=30000ms;;;0 '丙'=8ms;;;0
//   异常 甲：连接被拒绝
// The first line's word follows the exit code; the performance data names every line (a quote
// doubled, "=" as "_", a repeated label numbered " #2", " #3"... in script order); then one line
// per line not passed with its reason or the first line of its output. "|" is written as "/".
// Past the size the passing lines' performance data goes first, then the rest of it.
QByteArray nagiosOutput(const QList<CheckResult> &results, const RunProblems &problems);

#endif
