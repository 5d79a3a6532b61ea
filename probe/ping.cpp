#include "ping.h"

QString pingHost(const QString &) { return QStringLiteral("失败"); }
