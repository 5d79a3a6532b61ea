#ifndef PRESENTATION_H
#define PRESENTATION_H

#include <QString>

class QTableWidget;

// Status LED colour codes.
enum LedColor { LedGrey = 0, LedRed = 1, LedGreen = 2, LedYellow = 3 };

// Style sheet that makes a label a round lamp of the given size; a colour code
// outside the table leaves the lamp without a background colour.
QString ledStyleSheet(int color, int size);
// The 48-pixel image tag of the device picture chosen by keywords in the alias.
QString deviceImageTag(const QString &alias);
// Rich text of a device label: the device picture (when asked for: the script row has
// an alias cell), the mark given and the alias as plain text.
QString deviceLabelText(const QString &alias, bool withPicture, const QString &mark = QString());
// Headers and cells as text, every field tab-terminated, one line per row; a field
// holding a tab, a line break or a double quote is put in double quotes.
QString tableClipboardText(const QTableWidget *table);

// Puts the table's text (headers and cells, every field tab-terminated) on the
// clipboard and confirms with a message box.
void copyTableToClipboard(QTableWidget *table);

#endif
