#include "probe/scanrange.h"

#include <QStringList>

void splitScanAddress(const QString &text, QString *prefix, int *number)
{
    const QString trimmed = text.trimmed();
    const int dot = trimmed.lastIndexOf(QLatin1Char('.'));
    *prefix = dot < 0 ? trimmed : trimmed.left(dot);
    *number = trimmed.mid(dot + 1).toInt();
}

bool isPlainIPv4(const QString &text)
{
    // ping reads "010" as octal and "0x10" as hexadecimal, and accepts short forms
    // such as "127.1": only the plain form means to it what it means to the user.
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (const QString &part : parts) {
        if (part.isEmpty() || part.size() > 3 || (part.size() > 1 && part.at(0) == QLatin1Char('0')))
            return false;
        for (const QChar c : part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
        }
        if (part.toInt() > kMaxScanNumber)
            return false;
    }
    return true;
}

QString checkScanRange(const QString &startText, const QString &endText, ScanRange *range)
{
    if (!isPlainIPv4(startText))
        return QStringLiteral("起始IP地址错误！");
    if (!isPlainIPv4(endText))
        return QStringLiteral("结束IP地址错误！");
    QString startPrefix, endPrefix;
    int first = 0, last = 0;
    splitScanAddress(startText, &startPrefix, &first);
    splitScanAddress(endText, &endPrefix, &last);
    if (startPrefix != endPrefix)
        return QStringLiteral("起始和结束IP地址不在一个网段里！");
    *range = { startPrefix, first, last };
    return QString();
}

QString scanLogLine(const QString &address, const QString &verdictWord)
{
    return QStringLiteral("Ping %1 >> %2\n").arg(address, verdictWord);
}
