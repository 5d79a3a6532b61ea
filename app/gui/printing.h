#ifndef GUI_PRINTING_H
#define GUI_PRINTING_H

#include <QString>

class QTableWidget;
class QWidget;

// Hands the file to the desktop's PDF viewer. On Linux xdg-open is run without waiting for it;
// when it fails (it cannot start, or exits non-zero) an information box on the window says
// where the file was written. Elsewhere QDesktopServices opens it.
void openInViewer(QWidget *window, const QString &path);

// Any table as it stands (headers, on-screen column widths, cell texts) printed on A4 pages
// into a PDF file (the program's own: a link at the path is replaced, not followed) and handed
// to the viewer; landscape only for "横向". False, and nothing handed to the viewer, when the
// file could not be written.
bool printTableToPdf(QTableWidget *table, const QString &path, const QString &title, const QString &subtitle,
    const QString &footer, const QString &orientation);
// Any table's text on the clipboard (headers and cells, every field tab-terminated), confirmed
// with a message box.
void copyTableToClipboard(QTableWidget *table);

#endif
