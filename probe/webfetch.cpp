#include "probe/webfetch.h"
#include "probe/busy.h"
#include "probe/inflater.h"
#include "probe/pagetext.h"
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
    keeper.body = &download.body;
}

void WebFetch::setBodySink(ByteSink *bodySink)
{
    if (!manager)
        sink = bodySink ? bodySink : &keeper;
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
    if (!described && reply->bytesAvailable() > 0) {
        described = true;
        sink->describe(reply->rawHeader("Content-Type"));
    }
    // Counts what the sink is handed, a step at a time.
    struct Counter : ByteSink
    {
        ByteSink *to;
        qint64 *count;
        void take(const char *data, int size) override
        {
            *count += size;
            to->take(data, size);
        }
    } counter;
    counter.to = sink;
    counter.count = &download.bodyBytes;
    while (inflater && reply->bytesAvailable() > 0) {
        const BodyInflater::Step step = inflater->inflate(
            reply->read(kHttpReadBufferBytes), &counter, kHttpMaxBodyBytes - download.bodyBytes);
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
    while (reply->bytesAvailable() > 0 && download.bodyBytes < kHttpMaxBodyBytes) {
        const QByteArray bytes
            = reply->read(qMin<qint64>(kHttpReadBufferBytes, kHttpMaxBodyBytes - download.bodyBytes));
        counter.take(bytes.constData(), bytes.size());
    }
    if (download.bodyBytes >= kHttpMaxBodyBytes && (reply->bytesAvailable() > 0 || !reply->isFinished())) {
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
        // Handed on as a page's body is, up to the same cap.
        while (download.bodyBytes < kHttpMaxBodyBytes) {
            const QByteArray chunk
                = file.read(qMin<qint64>(kHttpReadBufferBytes, kHttpMaxBodyBytes - download.bodyBytes));
            if (chunk.isEmpty())
                break;
            download.bodyBytes += chunk.size();
            sink->take(chunk.constData(), chunk.size());
        }
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

QString bodyText(const QByteArray &body, int maxBytes, bool *cut, const QByteArray &contentType)
{
    PageText text(QString(), maxBytes);
    text.describe(contentType);
    text.take(body.constData(), body.size());
    text.finish();
    if (cut)
        *cut = text.cut();
    return text.kept();
}

QString httpGet(const QString &address, int timeoutMs, int maxBytes)
{
    const BusyScope busy;
    PageText text(QString(), maxBytes);
    WebFetch fetch(address, timeoutMs);
    fetch.setBodySink(&text);
    QEventLoop loop;
    QObject::connect(&fetch, &WebFetch::finished, &loop, &QEventLoop::quit);
    fetch.start();
    if (fetch.isRunning())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    text.finish();
    return text.kept();
}
