#include "check/schedule.h"

namespace
{
constexpr int kDefaultSecondMs = 1000;
int secondMs = kDefaultSecondMs;
} // namespace

const QVector<ScheduleEntry> &scheduleEntries()
{
    static const QVector<ScheduleEntry> entries = {
        { QStringLiteral("手动执行"), 0 },
        { QStringLiteral("1分钟自动执行"), 60 },
        { QStringLiteral("10分钟自动执行"), 10 * 60 },
        { QStringLiteral("30分钟自动执行"), 30 * 60 },
        { QStringLiteral("1小时自动执行"), 3600 },
        { QStringLiteral("2小时自动执行"), 2 * 3600 },
        { QStringLiteral("3小时自动执行"), 3 * 3600 },
        { QStringLiteral("5小时自动执行"), 5 * 3600 },
        { QStringLiteral("6小时自动执行"), 6 * 3600 },
        { QStringLiteral("8小时自动执行"), 8 * 3600 },
        { QStringLiteral("12小时自动执行"), 12 * 3600 },
        { QStringLiteral("24小时自动执行"), 24 * 3600 },
    };
    return entries;
}

int scheduleIntervalSeconds(int index)
{
    return index >= 0 && index < scheduleEntries().size() ? scheduleEntries().at(index).seconds : 0;
}

int scheduleMs(int seconds)
{
    return seconds * secondMs;
}

void setScheduleSecondMs(int ms)
{
    secondMs = ms > 0 ? ms : kDefaultSecondMs;
}

int countdownSeconds(int remainingMs, int unitMs)
{
    if (remainingMs < 0)
        return -1;
    return int((qint64(remainingMs) + unitMs - 1) / unitMs);
}
