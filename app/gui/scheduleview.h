#ifndef GUI_SCHEDULEVIEW_H
#define GUI_SCHEDULEVIEW_H

class QCheckBox;
class QComboBox;
class QTimer;

// Fills the schedule list with its entries, "手动执行" current.
void fillScheduleList(QComboBox *list);
// The entry chosen: its timer starts over with its interval; the countdown it shows, -1 for
// running by hand (which leaves the timer as it is).
int chooseScheduleEntry(QTimer *timer, int index);
// Seconds to the next automatic run, read off the timer, so time the window spent blocked is
// not lost; -1 when none is due.
int scheduleCountdown(const QTimer *timer, int index);
// Whether a timeout of the schedule timer starts a run: not by hand, and not while a run or
// another long command is under way (the next one comes a full interval later). Announced
// when speech is on.
bool automaticRunDue(const QComboBox *list, const QCheckBox *speech);

#endif
