#ifndef BATCHRUN_H
#define BATCHRUN_H

#include <QString>

// Appends text to a file in the locale encoding (binary mode: a bare "\n" ends a
// record everywhere); false when the file cannot be opened.
bool appendTextFile(const QString &path, const QString &text);
// Speaks the text with the platform's speech engine; returns at once.
void speakText(const QString &text);

#endif
