#ifndef PROBE_PING_H
#define PROBE_PING_H

#include <QString>

struct PlatformKind;

// How long one probe waits for its reply (passed to the tool).
constexpr int kPingReplyWaitMs = 1000;
// The ping process itself is killed after this long (covers resolving a host name).
constexpr int kPingProcessBoundMs = 10 * 1000;

enum class PingVerdict { Answered, Silent };
// "成功" or "失败", as the scan's log shows it.
QString pingWord(PingVerdict verdict);

// Pings the address once; "成功" or "失败".
QString pingHost(const QString &address);

// The command line for one echo request; empty on a system that is neither Windows nor Linux.
QString pingCommandLine(const PlatformKind &platform, const QString &address);

// Answered when the tool's standard output shows a reply. A reply line carries a TTL in
// every language; on Windows the Chinese heading of the reply-time summary counts too.
PingVerdict pingVerdict(const PlatformKind &platform, const QString &output);

#endif
