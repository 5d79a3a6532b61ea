#ifndef CHECK_NOTIFYSEND_H
#define CHECK_NOTIFYSEND_H

#include "check/notifypayload.h"

#include <QObject>
#include <QPointer>

class CommandRun;
class HttpPost;
class QTimer;

// A robot answers within a second; one that has not within this is taken as down.
constexpr int kNotifyRequestMs = 10 * 1000;
// A robot that refused (too many messages, a blip of its network) is asked once more after this.
constexpr int kNotifyRetryPauseMs = 5 * 1000;
// The hook command: as long as one request; it is never run twice (a mail may already have gone).
constexpr int kNotifyCommandMs = 10 * 1000;

// The whole sending of a run (25 s): a request, the pause and the request again, the command
// beside them. Nothing waits for a sending longer; --check waits this long at most before it exits.
constexpr int kNotifySendMs = 2 * kNotifyRequestMs + kNotifyRetryPauseMs;
static_assert(kNotifyCommandMs <= kNotifySendMs, "the command runs beside the requests");

// Test seams: the bounds above (0 or less restores each).
void setNotifyBounds(int requestMs, int retryPauseMs, int commandMs);
// kNotifySendMs, or what the seam's bounds make of it.
int notifySendMs();

// One run's message, posted to the configured address (once more after a pause when that
// failed) and given to the configured command on its standard input, both at once.
class NotifySend : public QObject
{
    Q_OBJECT

public:
    NotifySend(const NotifySettings &settings, const QList<LineChange> &changes, const QDateTime &now,
        QObject *parent = nullptr);
    ~NotifySend() override;

    // finished() follows from the event loop, within notifySendMs().
    void start();
    // Whether every configured way took the message; otherwise why not.
    bool delivered() const { return problems.isEmpty() && ended; }
    QString problem() const;

signals:
    void finished();

private:
    void post();
    void posted();
    void commandEnded();
    void end();
    QString where() const;

    NotifySettings settings;
    NotifyRequest request;
    QString message;
    int tries = 0;
    bool ended = false;
    bool posting = false;
    bool commanding = false;
    QStringList problems;
    HttpPost *sending = nullptr;
    CommandRun *command = nullptr;
    QTimer *bound = nullptr;
};

#endif
