#ifndef PROMETHEUSMETRICS_H
#define PROMETHEUSMETRICS_H

#include "check/result.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

// A run in the Prometheus text exposition format (UTF-8, ending in a line feed, no timestamps),
// each metric a gauge with its # HELP and # TYPE before its samples:
//   netcheck_check_success, netcheck_check_duration_seconds, netcheck_check_exit_code and
//   netcheck_check_http_status per line, labelled alias, type, target (password as ***) and
//   location, and n="2", n="3"... for a line whose four labels an earlier line already had;
//   netcheck_run_timestamp_seconds (when the run ended), netcheck_run_duration_seconds,
//   netcheck_run_checks and netcheck_run_failures.
// A metric no line has (no command, no page) is left out.
QByteArray prometheusMetrics(
    const QList<CheckResult> &results, const QDateTime &runEndedAt, qint64 runDurationMs);

#endif
