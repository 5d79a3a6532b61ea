#ifndef GUI_TABLES_H
#define GUI_TABLES_H

#include <QList>
#include <QString>
#include <QStringList>

class QAbstractItemView;
class QTableWidget;

// Row and header height of the editor and results tables, in pixels.
constexpr int kTableRowHeight = 48;

// A cell's trimmed text; a cell without an item reads as empty text.
QString tableCellText(const QTableWidget *table, int row, int column);
// A column's header text as set; empty when the column has no header item.
QString tableHeaderText(const QTableWidget *table, int column);

// The layout the editor table and the results table share: the headers and column
// widths given, 48-pixel rows and header, sky-blue header, two empty rows, extended
// selection. Clears the table first.
void layOutTable(QTableWidget *table, const QStringList &headers, const QList<int> &widths);

// Keeps what is typed in the view's open cell editor, if any, and closes it, as Enter would.
void commitCellEditor(QAbstractItemView *view);

#endif
