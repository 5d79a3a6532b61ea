#ifndef CHECK_COLUMNS_H
#define CHECK_COLUMNS_H

#include <QString>

// Columns a text takes on a terminal: East Asian wide characters take two.
int terminalColumns(const QString &text);
// The text padded with blanks to that many terminal columns.
QString padded(const QString &text, int width);

#endif
