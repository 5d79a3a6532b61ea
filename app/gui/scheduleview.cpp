#include "app/gui/scheduleview.h"
#include "app/gui/batchrun.h"
#include "app/gui/speech.h"
#include "check/schedule.h"
#include "probe/busy.h"
#include "ui_fromlanrik.h"

#include <QIcon>

namespace
{
// How often a waiting run looks whether the work holding it has ended: it starts at most this
// late.
constexpr int kIdleWatchMs = 50;
} // namespace

ScheduleView::ScheduleView(Ui_fromlanrik *ui, BatchRun &batch)
    : ui(ui)
    , batch(batch)
{
    idleWatch.setInterval(kIdleWatchMs);
    QObject::connect(&idleWatch, &QTimer::timeout, [this] { startWaitingRun(); });
}

void ScheduleView::fill()
{
    // The first entry becomes current as it is added, which already runs the schedule slot
    // for index 0; that path does not touch the timers, which do not exist yet.
    for (const ScheduleEntry &entry : scheduleEntries())
        ui->cmbKeep->insertItem(ui->cmbKeep->count(), QIcon(), entry.text);
    ui->cmbKeep->setCurrentIndex(0);
}

int ScheduleView::choose(QTimer *timer, int index)
{
    waitingOn = nullptr;
    idleWatch.stop();
    const int seconds = scheduleIntervalSeconds(index);
    if (seconds <= 0 || !timer)
        return -1;
    // Precise, so the run comes when the countdown says, even for whole hours.
    timer->setTimerType(Qt::PreciseTimer);
    timer->start(scheduleMs(seconds));
    return seconds;
}

int ScheduleView::countdown(const QTimer *timer) const
{
    if (!timer || scheduleIntervalSeconds(ui->cmbKeep->currentIndex()) <= 0)
        return -1;
    if (waitingOn)
        return 0;
    return countdownSeconds(timer->isActive() ? timer->remainingTime() : -1, scheduleMs(1));
}

void ScheduleView::due(QTimer *timer)
{
    if (ui->cmbKeep->currentIndex() <= 0 || batch.running())
        return;
    if (!programBusy()) {
        start();
        return;
    }
    if (!waitingOn) {
        waitingOn = timer;
        runsBeforeWaiting = batch.runsStarted();
        idleWatch.start();
    }
}

void ScheduleView::startWaitingRun()
{
    if (programBusy())
        return;
    idleWatch.stop();
    QTimer *timer = waitingOn;
    waitingOn = nullptr;
    // A run started by hand meanwhile was the check.
    if (!timer || ui->cmbKeep->currentIndex() <= 0 || batch.runsStarted() != runsBeforeWaiting)
        return;
    timer->start();
    start();
}

void ScheduleView::start()
{
    if (ui->chkSpack->isChecked())
        speakText(ui->cmbKeep->currentText());
    batch.run();
}
