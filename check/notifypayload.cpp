#include "check/notifypayload.h"
#include "check/jsonlines.h"
#include "check/runsummary.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageAuthenticationCode>

namespace
{
QByteArray hmac(const QByteArray &key, const QByteArray &message)
{
    return QMessageAuthenticationCode::hash(message, key, QCryptographicHash::Sha256).toBase64();
}

QByteArray textBody(const QString &message)
{
    return "{\"msgtype\":\"text\",\"text\":{\"content\":" + jsonString(message) + "}}";
}

QByteArray jsonBody(const QList<LineChange> &changes, const QString &host, const QDateTime &now)
{
    QByteArray body = "{\"changes\":[";
    for (int i = 0; i < changes.size(); ++i) {
        const LineChange &change = changes.at(i);
        const CheckLine &line = change.result.line;
        body += (i ? "," : "") + QByteArray("{\"alias\":") + jsonString(line.alias) + ",\"location\":"
            + jsonString(line.location) + ",\"verdict\":\"" + (change.down ? "fail" : "ok") + "\",\"reason\":"
            + (change.down ? jsonString(changeReason(change.result)) : QByteArrayLiteral("null"))
            + ",\"since\":"
            + jsonString(
                isoTimeWithOffset(QDateTime::fromMSecsSinceEpoch(change.state.sinceMs, now.timeSpec())))
            + "}";
    }
    return body + "],\"host\":" + jsonString(host) + ",\"time\":" + jsonString(isoTimeWithOffset(now)) + "}";
}
} // namespace

QByteArray dingTalkSign(qint64 timestampMs, const QString &secret)
{
    return hmac(secret.toUtf8(), QByteArray::number(timestampMs) + '\n' + secret.toUtf8());
}

QByteArray feishuSign(qint64 timestampSeconds, const QString &secret)
{
    return hmac(QByteArray::number(timestampSeconds) + '\n' + secret.toUtf8(), QByteArray());
}

NotifyRequest notifyRequest(const NotifySettings &settings, const QList<LineChange> &changes,
    const QString &message, const QString &host, const QDateTime &now)
{
    NotifyRequest request { QUrl(settings.url, QUrl::StrictMode), {} };
    const qint64 ms = now.toMSecsSinceEpoch();
    switch (settings.kind) {
    case NotifyKind::DingTalk:
        request.body = textBody(message);
        if (!settings.secret.isEmpty()) {
            // Appended as written: Base64's "+", "/" and "=" must reach the robot escaped.
            const QString signedUrl = settings.url
                + (settings.url.contains(QLatin1Char('?')) ? QLatin1Char('&') : QLatin1Char('?'))
                + QStringLiteral("timestamp=%1&sign=%2")
                      .arg(ms)
                      .arg(QString::fromLatin1(QUrl::toPercentEncoding(dingTalkSign(ms, settings.secret))));
            request.url = QUrl(signedUrl, QUrl::StrictMode);
        }
        break;
    case NotifyKind::Feishu: {
        const qint64 seconds = ms / 1000;
        request.body = "{";
        if (!settings.secret.isEmpty())
            request.body += "\"timestamp\":\"" + QByteArray::number(seconds) + "\",\"sign\":\""
                + feishuSign(seconds, settings.secret) + "\",";
        request.body += "\"msg_type\":\"text\",\"content\":{\"text\":" + jsonString(message) + "}}";
        break;
    }
    case NotifyKind::WeCom:
        request.body = textBody(message);
        break;
    case NotifyKind::Json:
    case NotifyKind::None:
        request.body = jsonBody(changes, host, now);
        break;
    }
    return request;
}

bool notifyAccepted(NotifyKind kind, int httpStatus, const QByteArray &answer, QString *why)
{
    if (kind == NotifyKind::Json || kind == NotifyKind::None) {
        if (httpStatus >= 200 && httpStatus < 300)
            return true;
        *why = QStringLiteral("HTTP %1").arg(httpStatus);
        return false;
    }
    const QJsonObject object = QJsonDocument::fromJson(answer).object();
    auto zero = [&](const char *key) {
        const QJsonValue value = object.value(QLatin1String(key));
        return value.isDouble() && value.toDouble() == 0;
    };
    if (httpStatus == 200
        && (kind == NotifyKind::Feishu ? zero("code") || zero("StatusCode") : zero("errcode")))
        return true;
    // The robot's own words say why (a wrong key, a bad signature, too many messages).
    const QString said = QString::fromUtf8(answer.left(200)).simplified();
    *why = said.isEmpty() ? QStringLiteral("HTTP %1").arg(httpStatus)
                          : QStringLiteral("HTTP %1：%2").arg(httpStatus).arg(said);
    return false;
}
