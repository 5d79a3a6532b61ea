#ifndef NEIGHBOURS_H
#define NEIGHBOURS_H

#include <QString>

#include <functional>

class QObject;

class QHostInfo;
struct PlatformKind;

// Name and hardware address of a host that answered a probe; empty where unknown.
struct HostDetails
{
    QString name;
    QString mac;
};

// Looking up both details of one host takes at most this long.
constexpr int kHostDetailsBoundMs = 2000;

// The hardware address of the address in the text of Linux /proc/net/arp.
// Incomplete entries (no answer to the kernel's own request) count as unknown.
QString macFromProcNetArp(const QString &table, const QString &address);
// The hardware address of the address in the listing of Windows "arp -a".
QString macFromArpListing(const QString &listing, const QString &address);

// The name a reverse lookup found; empty when it failed or only echoed the address.
QString hostNameFromLookup(const QString &address, const QHostInfo &info);

// Both details of one host without blocking: done is called once, within boundMs,
// unless the context is deleted first.
void lookUpHostDetailsLater(const QString &address, QObject *context,
    std::function<void(const HostDetails &)> done, int boundMs = kHostDetailsBoundMs);

// Test seam: tests answer name lookups themselves so no query leaves the machine.
using NameLookup = QString (*)(const QString &address);
void setNameLookupOverride(NameLookup lookup); // nullptr restores the resolver

#endif
