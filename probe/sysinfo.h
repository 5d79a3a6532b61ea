#ifndef SYSINFO_H
#define SYSINFO_H

#include <QString>

// HTML table rows of the "systeminfo" report (two cells: label, value).
QString systemInfoTable();
// HTML table rows of the network interfaces: header row, then one row per interface.
QString interfaceTable();

#endif
