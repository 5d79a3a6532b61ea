#ifndef GUI_SCHEDULEVIEW_H
#define GUI_SCHEDULEVIEW_H

#include <QPointer>
#include <QTimer>

class BatchRun;
class Ui_fromlanrik;

// The schedule of the page "批量检测": the list of intervals, the countdown and the automatic
// runs. A run that falls due while other work holds the program (a command of the command tab,
// a fetch of the web page tab, a blocking wait) starts as soon as that work ends, once however
// many intervals passed meanwhile; the countdown shows 0 while it waits, and the next interval
// counts from that run's start. One that falls due during a batch run is that run.
class ScheduleView
{
public:
    ScheduleView(Ui_fromlanrik *ui, BatchRun &batch);

    // Fills the list with its entries, "手动执行" current.
    void fill();
    // The entry chosen: its timer starts over with its interval; the countdown it shows, -1 for
    // running by hand (which leaves the timer as it is). A run still waiting is dropped.
    int choose(QTimer *timer, int index);
    // Seconds to the next automatic run, read off the timer, so time the window spent blocked is
    // not lost; 0 while a run waits, -1 when none is due.
    int countdown(const QTimer *timer) const;
    // A timeout of the schedule timer.
    void due(QTimer *timer);

private:
    void startWaitingRun();
    void start();

    Ui_fromlanrik *ui;
    BatchRun &batch;
    QPointer<QTimer> waitingOn; // the schedule timer whose run waits; null when none waits
    int runsBeforeWaiting = 0;
    QTimer idleWatch;
};

#endif
