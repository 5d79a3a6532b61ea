#include "fromlanrik.h"
#include "startup.h"
#include "ui_fromlanrik.h"

bool fileExists(const QString &) { return false; }
QString readTextFile(const QString &) { return QString(); }

void fromlanrik::Start() {}
