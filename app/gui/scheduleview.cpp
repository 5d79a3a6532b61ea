#include "app/gui/scheduleview.h"
#include "app/gui/speech.h"
#include "check/schedule.h"
#include "probe/busy.h"

#include <QCheckBox>
#include <QComboBox>
#include <QIcon>
#include <QTimer>

void fillScheduleList(QComboBox *list)
{
    // The first entry becomes current as it is added, which already runs the schedule slot
    // for index 0; that path does not touch the timers, which do not exist yet.
    for (const ScheduleEntry &entry : scheduleEntries())
        list->insertItem(list->count(), QIcon(), entry.text);
    list->setCurrentIndex(0);
}

int chooseScheduleEntry(QTimer *timer, int index)
{
    const int seconds = scheduleIntervalSeconds(index);
    if (seconds <= 0 || !timer)
        return -1;
    // Precise, so the run comes when the countdown says, even for whole hours.
    timer->setTimerType(Qt::PreciseTimer);
    timer->start(scheduleMs(seconds));
    return seconds;
}

int scheduleCountdown(const QTimer *timer, int index)
{
    if (!timer || scheduleIntervalSeconds(index) <= 0)
        return -1;
    return countdownSeconds(timer->isActive() ? timer->remainingTime() : -1, scheduleMs(1));
}

bool automaticRunDue(const QComboBox *list, const QCheckBox *speech)
{
    if (list->currentIndex() <= 0 || programBusy())
        return false;
    if (speech->isChecked())
        speakText(list->currentText());
    return true;
}
