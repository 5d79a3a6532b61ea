#include "check/notifysend.h"
#include "check/verdict.h"
#include "probe/commandrun.h"
#include "probe/httppost.h"

#include <QSysInfo>
#include <QTimer>

namespace
{
int requestMs = kNotifyRequestMs;
int retryPauseMs = kNotifyRetryPauseMs;
int commandMs = kNotifyCommandMs;

// Why no HTTP answer came, in the words the checks use.
QString unanswered(const HttpAnswer &answer)
{
    const QString unconnected = connectionFailure(answer.error);
    return unconnected.isEmpty() ? QStringLiteral("无法连接（%1）").arg(answer.errorText) : unconnected;
}
} // namespace

void setNotifyBounds(int request, int retryPause, int command)
{
    requestMs = request > 0 ? request : kNotifyRequestMs;
    retryPauseMs = retryPause > 0 ? retryPause : kNotifyRetryPauseMs;
    commandMs = command > 0 ? command : kNotifyCommandMs;
}

int notifySendMs()
{
    return qMax(2 * requestMs + retryPauseMs, commandMs);
}

NotifySend::NotifySend(
    const NotifySettings &settings, const QList<LineChange> &changes, const QDateTime &now, QObject *parent)
    : QObject(parent)
    , settings(settings)
{
    const QString host = QSysInfo::machineHostName();
    message = notifyMessage(changes, host, now);
    if (!settings.url.isEmpty())
        request = notifyRequest(settings, changes, message, host, now);
}

NotifySend::~NotifySend() = default; // a request or a command still going ends with its object

void NotifySend::start()
{
    if (bound)
        return;
    bound = new QTimer(this);
    bound->setSingleShot(true);
    connect(bound, &QTimer::timeout, this, [this] {
        if (posting)
            problems << QStringLiteral("%1：超过 %2 秒未完成").arg(where()).arg(notifySendMs() / 1000);
        end();
    });
    bound->start(notifySendMs());
    posting = !settings.url.isEmpty();
    commanding = !settings.command.isEmpty();
    if (posting)
        post();
    if (commanding) {
        command = new CommandRun(settings.command, commandMs, this);
        command->setInput(message.toUtf8() + '\n'); // a text ends in a line feed
        connect(command, &CommandRun::finished, this, &NotifySend::commandEnded);
        command->start();
    }
    if (!posting && !commanding)
        QTimer::singleShot(0, this, &NotifySend::end);
}

void NotifySend::post()
{
    if (ended)
        return;
    ++tries;
    if (sending)
        sending->deleteLater();
    sending = new HttpPost(request.url, kNotifyContentType, request.body, requestMs, this);
    connect(sending, &HttpPost::finished, this, &NotifySend::posted);
    sending->start();
}

void NotifySend::posted()
{
    if (ended)
        return;
    const HttpAnswer &answer = sending->answer();
    QString why;
    if (answer.timedOut)
        why = QStringLiteral("%1 秒内无应答").arg(requestMs / 1000);
    else if (answer.httpStatus == 0)
        why = unanswered(answer);
    else if (notifyAccepted(settings.kind, answer.httpStatus, answer.body, &why))
        why.clear();
    else if (why.isEmpty())
        why = QStringLiteral("HTTP %1").arg(answer.httpStatus);
    if (!why.isEmpty() && tries < 2) {
        QTimer::singleShot(retryPauseMs, this, &NotifySend::post);
        return;
    }
    if (!why.isEmpty())
        problems << QStringLiteral("%1：%2").arg(where(), why);
    posting = false;
    if (!commanding)
        end();
}

void NotifySend::commandEnded()
{
    if (ended)
        return;
    QString why;
    if (command->couldNotStart())
        why = QStringLiteral("无法启动");
    else if (command->timedOut())
        why = QStringLiteral("%1 秒内未结束").arg(commandMs / 1000);
    else if (command->exitCode().value_or(-1) != 0)
        why = command->exitCode() ? QStringLiteral("退出码 %1").arg(*command->exitCode())
                                  : QStringLiteral("异常终止");
    if (!why.isEmpty())
        problems << QStringLiteral("通知命令 %1：%2").arg(command->program(), why);
    commanding = false;
    if (!posting)
        end();
}

void NotifySend::end()
{
    if (ended)
        return;
    ended = true;
    if (commanding)
        problems << QStringLiteral("通知命令 %1：未结束").arg(command->program());
    // Ended now, deleted later: this may run inside their own signals.
    if (sending)
        sending->deleteLater();
    sending = nullptr;
    if (command) {
        command->cancel(); // its process group with it
        command->deleteLater();
    }
    command = nullptr;
    bound->stop();
    emit finished();
}

QString NotifySend::problem() const
{
    return problems.isEmpty() ? QString()
                              : QStringLiteral("通知发送失败：") + problems.join(QStringLiteral("；"));
}

// The address's scheme and host only: a robot's key or token (in the query, or in the path)
// never goes into a warning or a log.
QString NotifySend::where() const
{
    return request.url.toString(
        QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveUserInfo | QUrl::RemoveFragment);
}
