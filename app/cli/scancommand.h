#ifndef CLI_SCANCOMMAND_H
#define CLI_SCANCOMMAND_H

#include <QString>

// Pings every address from start to end without a window and prints the hosts that answered.
// Returns the exit code: 0 a host answered, 1 none did, 2 a bad address.
int runScan(const QString &start, const QString &end);

#endif
