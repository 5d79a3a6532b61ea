#include "check/runrecords.h"
#include "check/historytext.h"

QString RunRecords::toolTipText(int index, const QDateTime &now) const
{
    if (index < 0 || index >= results.size())
        return QString();
    const QString result = resultText(results.at(index)).trimmed();
    // States of another run (or of a part of this one) say nothing about these lines.
    const QString since = states.size() == results.size() ? sinceText(states.at(index), now) : QString();
    if (since.isEmpty() || result.isEmpty())
        return since + result;
    return since + QLatin1Char('\n') + result;
}
