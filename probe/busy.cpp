#include "probe/busy.h"

#include <QAtomicInt>

static QAtomicInt busyDepth;

BusyScope::BusyScope()
{
    busyDepth.ref();
}

BusyScope::~BusyScope()
{
    busyDepth.deref();
}

bool programBusy()
{
    return busyDepth.loadAcquire() > 0;
}
