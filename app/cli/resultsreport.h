#ifndef CLI_RESULTSREPORT_H
#define CLI_RESULTSREPORT_H

#include "check/resulttable.h"
#include "report/pdfreport.h"

#include <QDateTime>
#include <QString>

// The report of a results table as the print button makes it: landscape, titled with the day
// it is printed, no subtitle or footer text.
ReportTable reportOf(const ResultsTable &table);
bool writeResultsPdf(const QString &path, const QDateTime &printedAt, const ResultsTable &table);

#endif
