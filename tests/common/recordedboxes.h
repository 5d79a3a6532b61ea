#ifndef RECORDEDBOXES_H
#define RECORDEDBOXES_H

#include <QStringList>

// The message boxes recorded since the last call, one line each:
// "<information|warning> <parent's object name or -> <title>: <text>".
QStringList takeRecordedBoxes();

#endif
