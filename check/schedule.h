#ifndef CHECK_SCHEDULE_H
#define CHECK_SCHEDULE_H

#include <QString>
#include <QVector>

// One entry of the schedule list: its text and how many seconds lie between its runs (0 for
// running by hand).
struct ScheduleEntry
{
    QString text;
    int seconds;
};
// The entries in list order; every interval is what its text says.
const QVector<ScheduleEntry> &scheduleEntries();
// Seconds between automatic runs for an entry, 0 for "手动执行" and for an index outside the list.
int scheduleIntervalSeconds(int index);

// The timer period of that many schedule seconds. Tests shorten a second so an hour passes in
// moments; 0 or less restores the real one.
int scheduleMs(int seconds);
void setScheduleSecondMs(int ms);

// Whole seconds still to wait for a timer with this much time left (rounded up);
// -1 when the timer is not running.
int countdownSeconds(int remainingMs, int unitMs);

#endif
