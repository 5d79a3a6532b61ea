#ifndef CHECKSCRIPT_H
#define CHECKSCRIPT_H

#include <QString>
#include <QStringList>

class QTableWidget;
class QWidget;

// Editor table columns. The file stores the same fields in another order:
// type|target|alias|success|location.
enum ScriptColumn { ScriptAlias = 0, ScriptType, ScriptTarget, ScriptSuccess, ScriptLocation, ScriptColumns };

// Row and header height of the editor and results tables, in pixels.
constexpr int kTableRowHeight = 48;

// The check script file in the application folder.
QString scriptFilePath();

// A cell's trimmed text; a cell without an item reads as empty text.
QString tableCellText(const QTableWidget *table, int row, int column);
// A column's header text as set; empty when the column has no header item.
QString tableHeaderText(const QTableWidget *table, int column);

// The fields of one script line, each trimmed, after every run of white space has
// become one blank. Empty fields are kept; there is no escaping of "|".
QStringList scriptLineFields(const QString &line);

// A cell of a row that would be saved holding "|", which the format cannot store;
// row -1 when there is none. The first such cell, by rows then columns.
struct ScriptCell
{
    int row = -1;
    int column = -1;
};
ScriptCell unstorableCell(const QTableWidget *table);

// Script text from the editor table: one "type|target|alias|success|location\n"
// record per row whose trimmed alias is not empty; a line break in a cell becomes a blank.
QString scriptTableText(QTableWidget *table);
// The layout the editor table and the results table share: the headers and column
// widths given, 48-pixel rows and header, sky-blue header, two empty rows, extended
// selection. Clears the table first.
void layOutTable(QTableWidget *table, const QStringList &headers, const QList<int> &widths);
// Lays out the editor table (five columns) and fills it from script text.
void loadScriptTable(QTableWidget *table, const QString &text);
// Replaces the file with the text in the locale encoding (UTF-8 with a byte-order
// mark when the locale cannot hold the text). Written to a temporary file and
// renamed into place, so on failure the old file is untouched; false then. Only
// where the folder refuses a temporary file is the file written in place.
bool writeTextFile(const QString &path, const QString &text);
// Saves the editor table to the script file and tells the user how it went (the save
// button, and closing with unsaved edits); true when the file was written.
bool saveScriptTable(QWidget *parent, QTableWidget *table);

#endif
