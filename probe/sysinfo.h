#ifndef SYSINFO_H
#define SYSINFO_H

#include <QList>
#include <QNetworkAddressEntry>
#include <QString>

// HTML table rows of the "systeminfo" report (two cells: label, value).
QString systemInfoTable();
// HTML table rows of the network interfaces: header row, then one row per interface.
QString interfaceTable();

// The rows for a "systeminfo" report text: one row per label, the indented lines
// under it and the lines that begin with the same word folded in with "<br>".
// The report's own text is HTML-escaped.
QString systemInfoRows(const QString &report);

struct InterfaceFacts
{
    QString hardwareAddress;
    bool loopback = false;
    QList<QNetworkAddressEntry> addresses;
};

// Header row, then "\n" and a row for every interface that has a hardware address
// and an IPv4 address (the last one wins); the loopback interface is left out.
QString interfaceRows(const QList<InterfaceFacts> &interfaces);

#endif
