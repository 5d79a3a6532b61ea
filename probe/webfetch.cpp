#include "probe/webfetch.h"
#include "probe/busy.h"
#include "probe/inflater.h"
#include "probe/regularfile.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

WebFetch::WebFetch(const QString &address, int timeoutMs, QObject *parent)
    : QObject(parent)
    , address(address)
    , bound(timeoutMs)
{
}

WebFetch::~WebFetch()
{
    cancel();
}

void WebFetch::start()
{
    if (manager || localPending)
        return;
    const QUrl url(address, QUrl::TolerantMode);
    if (url.isLocalFile()) {
        readLocal(url.toLocalFile());
        return;
    }
    manager = new QNetworkAccessManager(this);
    QNetworkRequest request(url);
    // A page that moved to https must still be found; going back to plain http is refused.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kHttpMaxRedirects);
    // Asked for by us, compressed replies reach take() as they are: left to the toolkit,
    // a small gzip body would be inflated whole (to gigabytes) before the cap applies.
    request.setRawHeader("Accept-Encoding", "gzip, deflate");
    reply = manager->get(request); // the manager deletes it
    reply->setReadBufferSize(kHttpReadBufferBytes);
    connect(reply, &QNetworkReply::readyRead, this, &WebFetch::take);
    connect(reply, &QNetworkReply::finished, this, &WebFetch::done);
    boundTimer = new QTimer(this);
    boundTimer->setSingleShot(true);
    connect(boundTimer, &QTimer::timeout, this, [this] {
        take();
        if (!reply || stopped)
            return;
        stopped = true;
        download.timedOut = true;
        reply->abort(); // finishes the reply
    });
    boundTimer->start(bound);
    if (reply->isFinished()) // some replies end inside get(), before anyone listened
        QTimer::singleShot(0, this, &WebFetch::done);
}

// Read as the body arrives: an abort closes the reply, and the cap needs the count.
void WebFetch::take()
{
    if (!reply || stopped || !reply->isReadable())
        return;
    const QByteArray encoding = reply->rawHeader("Content-Encoding").trimmed().toLower();
    if (!inflater && reply->bytesAvailable() > 0
        && (encoding == "gzip" || encoding == "x-gzip" || encoding == "deflate"))
        inflater = std::make_unique<BodyInflater>();
    while (inflater && reply->bytesAvailable() > 0) {
        const BodyInflater::Step step
            = inflater->inflate(reply->read(kHttpReadBufferBytes), &download.body, kHttpMaxBodyBytes);
        if (step == BodyInflater::Overflow || step == BodyInflater::Broken) {
            stopped = true;
            download.capped = step == BodyInflater::Overflow;
            broken = step == BodyInflater::Broken;
            reply->abort();
            return;
        }
    }
    if (inflater)
        return;
    download.body += reply->read(kHttpMaxBodyBytes - download.body.size());
    if (download.body.size() >= kHttpMaxBodyBytes && (reply->bytesAvailable() > 0 || !reply->isFinished())) {
        stopped = true;
        download.capped = true;
        reply->abort();
    }
}

void WebFetch::done()
{
    if (!reply)
        return;
    take();
    if (inflater && !stopped && !inflater->hasEnded() && reply->error() == QNetworkReply::NoError)
        broken = true;
    download.error = broken ? QNetworkReply::ProtocolFailure : reply->error();
    download.httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    download.complete = !stopped && download.error == QNetworkReply::NoError;
    reply->disconnect(this);
    reply = nullptr;
    delete boundTimer;
    boundTimer = nullptr;
    emit finished();
}

// Read here rather than by the manager, which opens whatever the path names.
void WebFetch::readLocal(const QString &path)
{
    QFile file;
    if (openRegularFile(file, path, QIODevice::ReadOnly)) {
        download.body = file.read(kHttpMaxBodyBytes);
        download.capped = !file.atEnd();
        download.error = file.error() == QFileDevice::NoError ? QNetworkReply::NoError
                                                              : QNetworkReply::ContentAccessDenied;
    } else {
        download.error = QNetworkReply::ContentNotFoundError;
    }
    download.complete = !download.capped && download.error == QNetworkReply::NoError;
    localPending = true;
    QTimer::singleShot(0, this, [this] {
        if (!localPending)
            return; // cancelled
        localPending = false;
        emit finished();
    });
}

void WebFetch::cancel()
{
    localPending = false;
    if (!reply)
        return;
    QNetworkReply *aborted = reply;
    reply = nullptr;
    aborted->disconnect(this);
    aborted->abort();
    delete boundTimer;
    boundTimer = nullptr;
}

HttpDownload httpDownload(const QString &address, int timeoutMs)
{
    const BusyScope busy;
    WebFetch fetch(address, timeoutMs);
    QEventLoop loop;
    QObject::connect(&fetch, &WebFetch::finished, &loop, &QEventLoop::quit);
    fetch.start();
    if (fetch.isRunning())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return fetch.result();
}

QString bodyText(const QByteArray &body, int maxBytes, bool *cut)
{
    const int zero = body.indexOf('\0');
    int end = zero < 0 ? body.size() : zero;
    const bool over = end > maxBytes;
    if (over) {
        end = maxBytes;
        while (end > 0 && (uchar(body.at(end)) & 0xc0) == 0x80) // not inside a character
            --end;
    }
    if (cut)
        *cut = over;
    return QString::fromUtf8(body.constData(), end);
}

QString httpGet(const QString &address, int timeoutMs)
{
    return bodyText(httpDownload(address, timeoutMs).body);
}
