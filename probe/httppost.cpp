#include "probe/httppost.h"

#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QTimer>

HttpPost::HttpPost(
    const QUrl &url, const QByteArray &contentType, const QByteArray &body, int timeoutMs, QObject *parent)
    : QObject(parent)
    , url(url)
    , contentType(contentType)
    , body(body)
    , bound(timeoutMs)
{
}

HttpPost::~HttpPost()
{
    if (reply) {
        reply->disconnect(this);
        reply->abort();
    }
}

void HttpPost::start()
{
    if (manager)
        return;
    manager = new QNetworkAccessManager(this);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        result.error = QNetworkReply::ProtocolUnknownError;
        result.errorText = QStringLiteral("地址无效");
        QTimer::singleShot(0, this, &HttpPost::finished);
        return;
    }
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setHeader(QNetworkRequest::ContentTypeHeader, contentType);
    reply = manager->post(request, body); // the manager deletes it
    reply->setReadBufferSize(kHttpPostMaxAnswerBytes);
    connect(reply, &QNetworkReply::readyRead, this, &HttpPost::take);
    connect(reply, &QNetworkReply::finished, this, &HttpPost::done);
    boundTimer = new QTimer(this);
    boundTimer->setSingleShot(true);
    connect(boundTimer, &QTimer::timeout, this, [this] {
        if (!reply)
            return;
        result.timedOut = true;
        reply->abort(); // finishes the reply
    });
    boundTimer->start(bound);
    if (reply->isFinished())
        QTimer::singleShot(0, this, &HttpPost::done);
}

void HttpPost::take()
{
    if (!reply || !reply->isReadable())
        return;
    while (reply->bytesAvailable() > 0) {
        const QByteArray chunk = reply->read(kHttpPostMaxAnswerBytes);
        result.body += chunk.left(kHttpPostMaxAnswerBytes - result.body.size());
    }
}

void HttpPost::done()
{
    if (!reply)
        return;
    take();
    result.httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.error = reply->error();
    result.errorText = reply->errorString();
    reply->disconnect(this);
    reply = nullptr;
    delete boundTimer;
    boundTimer = nullptr;
    emit finished();
}
