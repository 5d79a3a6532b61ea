#ifndef CHECK_DEVICE_H
#define CHECK_DEVICE_H

#include "check/result.h"

#include <QList>
#include <QPair>
#include <QString>

// The 48-pixel image tag of the device picture chosen by keywords in the alias.
QString deviceImageTag(const QString &alias);
// Rich text of a device label: the device picture (when asked for: the script row has an
// alias cell), the mark given and the alias as plain text.
QString deviceLabelText(const QString &alias, bool withPicture, const QString &mark = QString());
// The 32-pixel pass or fail mark a run puts on a device label.
QString deviceMark(Verdict verdict);
// Every picture a device label can name, each once, with the size it is shown at (square, pixels).
QList<QPair<QString, int>> devicePictures();

#endif
