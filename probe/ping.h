#ifndef PING_H
#define PING_H

#include <QString>

// Pings the address once; "成功" or "失败".
QString pingHost(const QString &address);

#endif
