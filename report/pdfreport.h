#ifndef PDFREPORT_H
#define PDFREPORT_H

#include <QString>

class QTableWidget;
class QWidget;

// Prints the table as a ruled grid on A4 pages into a PDF file and opens it with
// the desktop's PDF viewer. Landscape only for the orientation word "横向".
// False, and nothing handed to the viewer, when the file could not be written.
// Returns without waiting for the viewer; see openInViewer.
bool printTableToPdf(QTableWidget *table, const QString &path, const QString &title, const QString &subtitle,
    const QString &footer, const QString &orientation);
// The same report written to the file only, with no viewer asked to open it.
bool writeTableToPdf(QTableWidget *table, const QString &path, const QString &title, const QString &subtitle,
    const QString &footer, const QString &orientation);

// Hands the file to the desktop's PDF viewer. On Linux xdg-open is run without waiting
// for it; when it fails (it cannot start, or exits non-zero) an information box on the
// window says where the file was written. Elsewhere QDesktopServices opens it.
void openInViewer(QWidget *window, const QString &path);

#endif
