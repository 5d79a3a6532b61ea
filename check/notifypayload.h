#ifndef CHECK_NOTIFYPAYLOAD_H
#define CHECK_NOTIFYPAYLOAD_H

#include "check/notifychanges.h"
#include "check/notifysettings.h"

#include <QByteArray>
#include <QUrl>

constexpr char kNotifyContentType[] = "application/json; charset=utf-8";

// What is posted for a run's changes.
struct NotifyRequest
{
    QUrl url;
    QByteArray body;
};

// The request of the configured kind, signed at now where a secret is set:
// dingtalk and wecom {"msgtype":"text","text":{"content":message}}, DingTalk's signature in the
// address; feishu {"msg_type":"text","content":{"text":message}}, its signature in the body;
// json {"changes":[...],"host":host,"time":now}, every change whether or not the message had room.
NotifyRequest notifyRequest(const NotifySettings &settings, const QList<LineChange> &changes,
    const QString &message, const QString &host, const QDateTime &now);

// DingTalk's signature: Base64 of HMAC-SHA256 keyed with the secret over "<ms>\n<secret>".
QByteArray dingTalkSign(qint64 timestampMs, const QString &secret);
// Feishu's: Base64 of HMAC-SHA256 keyed with "<seconds>\n<secret>" over nothing.
QByteArray feishuSign(qint64 timestampSeconds, const QString &secret);

// Whether the answer means the message was taken; otherwise why not. A robot answers 200 with
// "errcode":0 (Feishu "code":0 or "StatusCode":0); a plain hook any 2xx.
bool notifyAccepted(NotifyKind kind, int httpStatus, const QByteArray &answer, QString *why);

#endif
