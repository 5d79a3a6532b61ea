#ifndef CHECKSCRIPT_H
#define CHECKSCRIPT_H

#include <QString>

class QTableWidget;

// Script text from the editor table: one "type|target|alias|success|location\n"
// record per row whose trimmed alias is not empty.
QString scriptTableText(QTableWidget *table);
// Lays out the editor table (five columns) and fills it from script text.
void loadScriptTable(QTableWidget *table, const QString &text);
// Writes text to a file in the locale encoding; false when it cannot be written.
bool writeTextFile(const QString &path, const QString &text);

#endif
