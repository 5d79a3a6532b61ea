#ifndef REPORT_PDFREPORT_H
#define REPORT_PDFREPORT_H

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

// What a report prints: the column headers, their on-screen widths (the paper width is shared in
// proportion) and the rows of cell text, printed as they stand.
struct ReportTable
{
    QStringList headers;
    QVector<int> widths;
    QList<QStringList> rows;
};

class QIODevice;

// Writes the table as a ruled grid on A4 pages as a PDF into the open device (where the file
// goes is the caller's business): a title band and the header row on every page, page
// numbering in the footers, empty ruled rows filling the last page. Landscape only for the
// orientation word "横向". False when it could not be written.
bool writeReportPdf(QIODevice &device, const QString &title, const QString &subtitle, const QString &footer,
    const QString &orientation, const ReportTable &table);

#endif
