#ifndef WEBFETCH_H
#define WEBFETCH_H

#include <QString>

// A request still unfinished after this long is aborted; what arrived is kept.
constexpr int kHttpTimeoutMs = 30 * 1000;

// GETs the address and returns the body decoded as UTF-8 up to the first zero
// byte; empty when nothing arrived. Never an error text.
QString httpGet(const QString &address, int timeoutMs = kHttpTimeoutMs);

#endif
