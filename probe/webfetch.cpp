#include "webfetch.h"

QString httpGet(const QString &, int) { return QString(); }
