#include "check/clock.h"

static QDateTime &fixedMoment()
{
    static QDateTime moment;
    return moment;
}

QDateTime currentTime()
{
    return fixedMoment().isValid() ? fixedMoment() : QDateTime::currentDateTime();
}

void setFixedClock(const QDateTime &moment)
{
    fixedMoment() = moment;
}
