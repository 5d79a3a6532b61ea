#ifndef CLI_RESULTSREPORT_H
#define CLI_RESULTSREPORT_H

#include "check/resulttable.h"
#include "probe/regularfile.h"
#include "report/pdfreport.h"

#include <QDateTime>
#include <QString>

// The report of a results table as the print button makes it: landscape, titled with the day
// it is printed, no subtitle or footer text.
ReportTable reportOf(const ResultsTable &table);
// Written as a new file that takes the old one's place (see replaceFile for what the owner
// allows); false when refused or not written whole.
bool writeResultsPdf(
    const QString &path, FileOwner owner, const QDateTime &printedAt, const ResultsTable &table);

#endif
