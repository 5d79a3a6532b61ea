#include "check/historyrecords.h"

#include <QHash>

bool operator==(const LineKey &a, const LineKey &b)
{
    return a.nth == b.nth && a.type == b.type && a.target == b.target && a.alias == b.alias;
}

uint qHash(const LineKey &key, uint seed)
{
    // Mixed in turn: the fields of one script's lines often differ alike ("ping a1", "甲1").
    uint h = seed;
    for (const uint part : { qHash(key.type), qHash(key.target), qHash(key.alias), uint(key.nth) })
        h ^= part + 0x9e3779b9 + (h << 6) + (h >> 2);
    return h;
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
