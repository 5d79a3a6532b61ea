#ifndef WEBFETCH_H
#define WEBFETCH_H

#include "probe/bytesink.h"

#include <QByteArray>
#include <QNetworkReply>
#include <QObject>
#include <QString>

#include <memory>

class BodyInflater;
class QNetworkAccessManager;
class QTimer;

// A request still unfinished after this long is aborted; what arrived is kept.
constexpr int kHttpTimeoutMs = 30 * 1000;
// A body is cut at this size, so a wrong address (a disk image, an endless
// stream) cannot use up the memory.
constexpr int kHttpMaxBodyBytes = 16 * 1024 * 1024;
// What the toolkit may hold of a reply that was not read yet.
constexpr int kHttpReadBufferBytes = 1024 * 1024;
// Redirects followed per request; a redirect from https to http never is.
constexpr int kHttpMaxRedirects = 10;

struct HttpDownload
{
    QByteArray body; // what arrived, at most kHttpMaxBodyBytes; empty when handed on to a sink
    qint64 bodyBytes = 0; // how much arrived, kept or handed on
    // The whole body of a successful reply: no error status, no broken or refused
    // connection, not cut by the time bound or the size cap.
    bool complete = false;
    bool timedOut = false; // stopped by the time bound
    bool capped = false; // cut at kHttpMaxBodyBytes
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    int httpStatus = 0; // of the last reply; 0 when no HTTP reply came
};

// One GET without blocking (tolerant parsing, no scheme added; http, https, file and
// qrc), following redirects, with a manager of its own, so fetches from one host are
// not queued behind each other. A file: address is read only when it names a regular
// file (a FIFO would hold the thread in open() for ever); anything else fails as a
// missing file does.
class WebFetch : public QObject
{
    Q_OBJECT

public:
    explicit WebFetch(const QString &address, int timeoutMs = kHttpTimeoutMs, QObject *parent = nullptr);
    ~WebFetch() override;

    // Before start: the body goes to the sink as it arrives (up to the cap) instead of into the
    // result. The sink must outlive the fetch's work: until finished(), cancel() or its end.
    void setBodySink(ByteSink *sink);
    // finished() follows from the event loop. Do not delete the fetch inside it; deleteLater is fine.
    void start();
    // Aborts at once; finished() is not emitted.
    void cancel();
    bool isRunning() const { return reply != nullptr || localPending; }
    const HttpDownload &result() const { return download; }

signals:
    void finished();

private:
    // Keeps the body in the result.
    struct Keeper : ByteSink
    {
        QByteArray *body;
        void take(const char *data, int size) override { body->append(data, size); }
    };

    void take();
    void done();
    void readLocal(const QString &path);

    QString address;
    int bound;
    QNetworkAccessManager *manager = nullptr;
    QNetworkReply *reply = nullptr;
    QTimer *boundTimer = nullptr;
    HttpDownload download;
    bool stopped = false;
    std::unique_ptr<BodyInflater> inflater; // a compressed reply
    bool broken = false; // its compressed data was not valid
    bool localPending = false; // a file read, its end not yet reported
    Keeper keeper;
    ByteSink *sink = &keeper;
    bool described = false; // the sink has been told the Content-Type
};

// GETs the address and waits for it (user input waits meanwhile, an automatic run
// falling due is skipped).
HttpDownload httpDownload(const QString &address, int timeoutMs = kHttpTimeoutMs);

// GETs the address and returns the page's text (see PageText) as it came, at most maxBytes of
// it; empty when nothing arrived. Never an error text.
QString httpGet(const QString &address, int timeoutMs = kHttpTimeoutMs, int maxBytes = kHttpMaxBodyBytes);

// The text of a body (see PageText), at most maxBytes of it (cut between two characters); cut,
// when given, tells whether it was cut there.
QString bodyText(const QByteArray &body, int maxBytes = kHttpMaxBodyBytes, bool *cut = nullptr,
    const QByteArray &contentType = QByteArray());

#endif
