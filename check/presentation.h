#ifndef PRESENTATION_H
#define PRESENTATION_H

class QTableWidget;

// Puts the table's text (headers and cells, every field tab-terminated) on the
// clipboard and confirms with a message box.
void copyTableToClipboard(QTableWidget *table);

#endif
