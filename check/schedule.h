#ifndef SCHEDULE_H
#define SCHEDULE_H

// Seconds between automatic runs for an entry of the schedule list, 0 for
// "手动执行" and for an index outside the list.
int scheduleIntervalSeconds(int index);

// How long one schedule second lasts, in milliseconds (1000). Tests shorten it so
// an hour passes in moments; 0 or less restores the default.
void setScheduleSecondMs(int ms);
int scheduleSecondMs();

// Whole seconds still to wait for a timer with this much time left (rounded up);
// -1 when the timer is not running.
int countdownSeconds(int remainingMs, int unitMs);

#endif
