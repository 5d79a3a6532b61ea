#include "sysinfo.h"

QString systemInfoTable() { return QString(); }
QString interfaceTable() { return QString(); }
