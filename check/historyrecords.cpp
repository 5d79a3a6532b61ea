#include "check/historyrecords.h"

#include <QHash>

bool operator==(const LineKey &a, const LineKey &b)
{
    return a.nth == b.nth && a.type == b.type && a.target == b.target && a.alias == b.alias;
}

uint qHash(const LineKey &key, uint seed)
{
    return qHash(key.type, seed) ^ qHash(key.target, seed + 1) ^ qHash(key.alias, seed + 2) ^ uint(key.nth);
}

QList<LineKey> lineKeysOf(const QList<CheckLine> &lines)
{
    QList<LineKey> keys;
    QHash<LineKey, int> seen; // with nth 1: how many so far
    for (const CheckLine &line : lines) {
        LineKey key { line.type.simplified().toUpper(), shownTarget(line).simplified(),
            line.alias.simplified() };
        key.nth = ++seen[key];
        keys << key;
    }
    return keys;
}
