#include "app/cli/resultsreport.h"
#include "report/pdflayout.h"

ReportTable reportOf(const ResultsTable &table)
{
    return { table.headers, table.widths.toVector(), table.rows };
}

bool writeResultsPdf(const QString &path, const QDateTime &printedAt, const ResultsTable &table)
{
    return writeReportPdf(path, PdfLayout::reportTitle(printedAt), QString(), QString(),
        QStringLiteral("横向"), reportOf(table));
}
