#ifndef HTTPPOST_H
#define HTTPPOST_H

#include <QByteArray>
#include <QNetworkReply>
#include <QObject>
#include <QUrl>

class QNetworkAccessManager;
class QTimer;

// What is kept of an answer: a robot says a few dozen bytes; the rest is read and dropped.
constexpr int kHttpPostMaxAnswerBytes = 64 * 1024;

struct HttpAnswer
{
    int httpStatus = 0; // 0 when no HTTP answer came
    QByteArray body; // at most kHttpPostMaxAnswerBytes
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QString errorText; // the toolkit's, for a failure without an HTTP answer
    bool timedOut = false; // ended at the bound
};

// One POST without blocking, ended at its bound. A redirect is an answer like any other, never
// followed: the body is not sent on to a place nobody configured.
class HttpPost : public QObject
{
    Q_OBJECT

public:
    HttpPost(const QUrl &url, const QByteArray &contentType, const QByteArray &body, int timeoutMs,
        QObject *parent = nullptr);
    ~HttpPost() override;

    // finished() follows from the event loop, also for an address that cannot be asked.
    void start();
    const HttpAnswer &answer() const { return result; }

signals:
    void finished();

private:
    void take();
    void done();

    QUrl url;
    QByteArray contentType;
    QByteArray body;
    int bound;
    QNetworkAccessManager *manager = nullptr;
    QNetworkReply *reply = nullptr;
    QTimer *boundTimer = nullptr;
    HttpAnswer result;
};

#endif
