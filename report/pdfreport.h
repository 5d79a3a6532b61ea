#ifndef PDFREPORT_H
#define PDFREPORT_H

#include <QString>

class QTableWidget;

// Prints the table as a ruled grid on A4 pages into a PDF file and opens it with
// the desktop's PDF viewer. Landscape only for the orientation word "横向".
// False, and nothing handed to the viewer, when the file could not be written.
bool printTableToPdf(QTableWidget *table, const QString &path, const QString &title, const QString &subtitle,
    const QString &footer, const QString &orientation);
// The same report written to the file only, with no viewer asked to open it.
bool writeTableToPdf(QTableWidget *table, const QString &path, const QString &title, const QString &subtitle,
    const QString &footer, const QString &orientation);

#endif
