#include "app/cli/resultsreport.h"
#include "report/pdflayout.h"

ReportTable reportOf(const ResultsTable &table)
{
    return { table.headers, table.widths.toVector(), table.rows };
}

bool writeResultsPdf(
    const QString &path, FileOwner owner, const QDateTime &printedAt, const ResultsTable &table)
{
    return replaceFile(path, owner, [&](QIODevice &file) {
        return writeReportPdf(file, PdfLayout::reportTitle(printedAt), QString(), QString(),
            QStringLiteral("横向"), reportOf(table));
    });
}
