#include "check/verdict.h"
#include "probe/webfetch.h"

static QString boundReached(int boundMs)
{
    // Tests use bounds below a second: 300 ms reads "0.3".
    return QStringLiteral("超过 %1 秒未完成，已终止").arg(QString::number(boundMs / 1000.0, 'g', 10));
}

QString commandFailure(bool couldNotStart, const QString &program, bool timedOut, int boundMs)
{
    if (couldNotStart)
        return QStringLiteral("无法启动程序：%1").arg(program);
    return timedOut ? boundReached(boundMs) : QString();
}

QString connectionFailure(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("连接被拒绝");
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("找不到主机");
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("安全连接失败");
    default:
        return QString();
    }
}

QString pageFailure(const HttpDownload &download, int boundMs)
{
    if (download.timedOut)
        return boundReached(boundMs);
    if (download.capped || download.error == QNetworkReply::NoError)
        return QString();
    const QString unconnected = connectionFailure(download.error);
    if (!unconnected.isEmpty())
        return unconnected;
    switch (download.error) {
    // How a body that ends before its announced length, or a connection reset, is reported;
    // and a compressed body that breaks off.
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::ProtocolFailure:
        return QStringLiteral("页面不完整");
    default:
        break;
    }
    // The error statuses (404, 500, ...): the server's error page is the page. A missing
    // file: address has an error like a 404 but no HTTP status.
    if (download.httpStatus >= 400)
        return QString();
    return QStringLiteral("无法获取页面");
}

Verdict judge(bool heldSuccessText, const QString &reason)
{
    return reason.isEmpty() && heldSuccessText ? Verdict::Passed : Verdict::Failed;
}
