#ifndef CHECK_CLOCK_H
#define CHECK_CLOCK_H

#include <QDateTime>

// The time of day as runs record it. Tests fix it so a run's log is the same bytes every time.
QDateTime currentTime();
void setFixedClock(const QDateTime &moment); // an invalid moment restores the real clock

#endif
