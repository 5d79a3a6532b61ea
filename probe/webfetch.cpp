#include "webfetch.h"

#include <QEventLoop>
#include <QLabel>
#include <QMovie>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

HttpDownload httpDownload(const QString &address, int timeoutMs)
{
    QNetworkAccessManager manager;
    QNetworkRequest request(QUrl(address, QUrl::TolerantMode));
    // A page that moved to https must still be found; going back to plain http is refused.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kHttpMaxRedirects);
    QNetworkReply *reply = manager.get(request); // the manager deletes it

    HttpDownload result;
    bool stopped = false;
    // Read as the body arrives: an abort closes the reply, and the cap needs the count.
    auto take = [&] {
        if (stopped || !reply->isReadable())
            return;
        result.body += reply->read(kHttpMaxBodyBytes - result.body.size());
        if (result.body.size() >= kHttpMaxBodyBytes
            && (reply->bytesAvailable() > 0 || !reply->isFinished())) {
            stopped = true;
            reply->abort();
        }
    };

    QEventLoop loop;
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, take);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&bound, &QTimer::timeout, &loop, [&] {
        if (reply->isFinished()) // answered in the same pass of the loop
            return;
        take();
        stopped = true;
        result.timedOut = true;
        reply->abort();
    });
    if (!reply->isFinished()) {
        bound.start(timeoutMs);
        loop.exec();
    }
    take();
    result.complete = !stopped && reply->isFinished() && reply->error() == QNetworkReply::NoError;
    return result;
}

QString bodyText(const QByteArray &body)
{
    const int zero = body.indexOf('\0');
    return QString::fromUtf8(body.constData(), zero < 0 ? body.size() : zero);
}

QString httpGet(const QString &address, int timeoutMs)
{
    return bodyText(httpDownload(address, timeoutMs).body);
}

void playPicture(QLabel *label, const QString &path)
{
    auto *movie = new QMovie(path, QByteArray(), label);
    movie->setScaledSize(label->size());
    label->setMovie(movie);
    movie->start();
}
