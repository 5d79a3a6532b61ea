#include "schedule.h"
#include "busy.h"
#include "fromlanrik.h"
#include "speech.h"
#include "ui_fromlanrik.h"

#include <QTimer>

#include <iterator>

namespace
{
// Indexed like the entries of cmbKeep; each interval is what its text says.
constexpr int kIntervalSeconds[] = {
    0, // 手动执行
    60, // 1分钟
    10 * 60, // 10分钟
    30 * 60, // 30分钟
    3600, // 1小时
    2 * 3600, // 2小时
    3 * 3600, // 3小时
    5 * 3600, // 5小时
    6 * 3600, // 6小时
    8 * 3600, // 8小时
    12 * 3600, // 12小时
    24 * 3600, // 24小时
};
constexpr int kDefaultSecondMs = 1000;
int secondMs = kDefaultSecondMs;
} // namespace

int scheduleIntervalSeconds(int index)
{
    if (index < 0 || index >= int(std::size(kIntervalSeconds)))
        return 0;
    return kIntervalSeconds[index];
}

void setScheduleSecondMs(int ms)
{
    secondMs = ms > 0 ? ms : kDefaultSecondMs;
}

int scheduleSecondMs()
{
    return secondMs;
}

int countdownSeconds(int remainingMs, int unitMs)
{
    if (remainingMs < 0)
        return -1;
    return int((qint64(remainingMs) + unitMs - 1) / unitMs);
}

void fromlanrik::on_cmbKeep_currentIndexChanged(int index)
{
    countDJS = -1;
    const int seconds = scheduleIntervalSeconds(index);
    // Filling the list at start-up lands here before the timers exist.
    if (seconds > 0 && timerKeep) {
        countDJS = seconds;
        // Precise, so the run comes when the countdown says, even for whole hours.
        timerKeep->setTimerType(Qt::PreciseTimer);
        timerKeep->start(seconds * secondMs);
    }
    ui->lcdNumber->display(QString::number(countDJS));
}

// The countdown is read off timerKeep, so time the window spent blocked is not lost.
void fromlanrik::DJS()
{
    countDJS = -1;
    if (timerKeep && scheduleIntervalSeconds(ui->cmbKeep->currentIndex()) > 0)
        countDJS = countdownSeconds(timerKeep->isActive() ? timerKeep->remainingTime() : -1, secondMs);
    ui->lcdNumber->display(QString::number(countDJS));
}

void fromlanrik::AutoKeep()
{
    if (ui->cmbKeep->currentIndex() <= 0)
        return;
    // A timeout that falls due while a run or another long command is under way is
    // skipped, not queued: the next one comes a full interval later.
    if (programBusy())
        return;
    if (ui->chkSpack->isChecked())
        speakText(ui->cmbKeep->currentText());
    ScriptStart();
}
