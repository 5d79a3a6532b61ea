#ifndef PROBE_BYTESINK_H
#define PROBE_BYTESINK_H

#include <QByteArray>

// Takes what a command prints, or a page's body, as the bytes arrive, so that nobody has to
// hold the whole of it.
class ByteSink
{
public:
    virtual ~ByteSink() = default;
    // Before the first bytes of a page: the Content-Type it was served with (empty when none).
    virtual void describe(const QByteArray &contentType) { Q_UNUSED(contentType) }
    virtual void take(const char *data, int size) = 0;
};

#endif
