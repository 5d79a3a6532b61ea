#include "ping.h"
#include "command.h"
#include "platform.h"

#include <QRegularExpression>

QString pingCommandLine(const PlatformKind &platform, const QString &address)
{
    // -n on Linux: no reverse lookups of the replies, they would only slow the probe.
    if (platform.linuxKernel)
        return QStringLiteral("ping %1 -c 1 -W %2 -n").arg(address).arg(kPingReplyWaitMs / 1000);
    if (platform.windows)
        return QStringLiteral("ping %1 -n 1 -w %2").arg(address).arg(kPingReplyWaitMs);
    return QString();
}

QString pingVerdict(const PlatformKind &platform, const QString &output)
{
    const QString success = QStringLiteral("成功");
    const QString failure = QStringLiteral("失败");
    if (!platform.linuxKernel && !platform.windows)
        return failure;
    // "Destination host unreachable" and "TTL expired in transit" come back without a TTL value.
    const QRegularExpression replyTtl(
        QStringLiteral("(?:^|\\s)ttl=\\d+"), QRegularExpression::CaseInsensitiveOption);
    if (replyTtl.match(output).hasMatch())
        return success;
    if (platform.windows && output.contains(QStringLiteral("往返行程的估计时间")))
        return success;
    return failure;
}

QString pingHost(const QString &address)
{
    const PlatformKind platform = currentPlatform();
    const QString commandLine = pingCommandLine(platform, address);
    if (commandLine.isEmpty())
        return pingVerdict(platform, QString());
    return pingVerdict(platform, runCommand(commandLine, kPingProcessBoundMs).trimmed());
}
