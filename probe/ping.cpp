#include "probe/ping.h"
#include "probe/command.h"
#include "probe/platform.h"

#include <QRegularExpression>

QString pingWord(PingVerdict verdict)
{
    return verdict == PingVerdict::Answered ? QStringLiteral("成功") : QStringLiteral("失败");
}

QString pingCommandLine(const PlatformKind &platform, const QString &address)
{
    // -n on Linux: no reverse lookups of the replies, they would only slow the probe.
    if (platform.linuxKernel)
        return QStringLiteral("ping %1 -c 1 -W %2 -n").arg(address).arg(kPingReplyWaitMs / 1000);
    if (platform.windows)
        return QStringLiteral("ping %1 -n 1 -w %2").arg(address).arg(kPingReplyWaitMs);
    return QString();
}

PingVerdict pingVerdict(const PlatformKind &platform, const QString &output)
{
    if (!platform.linuxKernel && !platform.windows)
        return PingVerdict::Silent;
    // "Destination host unreachable" and "TTL expired in transit" come back without a TTL value.
    static const QRegularExpression replyTtl(
        QStringLiteral("(?:^|\\s)ttl=\\d+"), QRegularExpression::CaseInsensitiveOption);
    if (replyTtl.match(output).hasMatch())
        return PingVerdict::Answered;
    if (platform.windows && output.contains(QStringLiteral("往返行程的估计时间")))
        return PingVerdict::Answered;
    return PingVerdict::Silent;
}

QString pingHost(const QString &address)
{
    const PlatformKind platform = currentPlatform();
    const QString commandLine = pingCommandLine(platform, address);
    if (commandLine.isEmpty())
        return pingWord(pingVerdict(platform, QString()));
    return pingWord(pingVerdict(platform, runCommand(commandLine, kPingProcessBoundMs).trimmed()));
}
