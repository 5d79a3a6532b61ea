#include "checkengine.h"
#include "clock.h"
#include "command.h"

#include <QTimer>

namespace
{
// Lines are started at most this far ahead of the first one not yet reported, which
// bounds the outcomes held back for the order.
int lookahead(int parallel)
{
    return 4 * parallel;
}
} // namespace

QString statusWord(CheckStatus status)
{
    return status == CheckStatus::Passed ? QStringLiteral("正常")
        : status == CheckStatus::Failed  ? QStringLiteral("异常")
                                         : QStringLiteral("待检测");
}

QList<CheckLine> checkLinesOf(const QString &scriptText)
{
    QList<CheckLine> lines;
    const QStringList parts = scriptText.split(QLatin1Char('\n'));
    int row = 0;
    // The part after the last line feed is not a record.
    for (int i = 0; i + 1 < parts.size(); ++i) {
        QStringList f = parts.at(i).simplified().split(QLatin1Char('|'));
        if (f.size() < 2)
            continue;
        for (QString &field : f)
            field = field.trimmed();
        const int scriptRow = row++;
        if (f.value(2).isEmpty())
            continue;
        lines.append({ f.at(0), f.at(1), f.value(2), f.value(3), f.value(4), scriptRow });
    }
    return lines;
}

static QString boundReached(int boundMs)
{
    // Tests use bounds below a second: 300 ms reads "0.3".
    return QStringLiteral("超过 %1 秒未完成，已终止").arg(QString::number(boundMs / 1000.0, 'g', 10));
}

QString commandFailure(bool couldNotStart, const QString &program, bool timedOut, int boundMs)
{
    if (couldNotStart)
        return QStringLiteral("无法启动程序：%1").arg(program);
    return timedOut ? boundReached(boundMs) : QString();
}

QString pageFailure(const HttpDownload &download, int boundMs)
{
    if (download.timedOut)
        return boundReached(boundMs);
    if (download.capped || download.error == QNetworkReply::NoError)
        return QString();
    switch (download.error) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("连接被拒绝");
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("找不到主机");
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("安全连接失败");
    // How a body that ends before its announced length, or a connection reset, is reported;
    // and a compressed body that breaks off.
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::ProtocolFailure:
        return QStringLiteral("页面不完整");
    default:
        break;
    }
    // The error statuses (404, 500, ...): the server's error page is the page. A missing
    // file: address has an error like a 404 but no HTTP status.
    if (download.httpStatus >= 400)
        return QString();
    return QStringLiteral("无法获取页面");
}

CheckOutcome checkOutcome(const QString &text, const QString &success, const QString &failure)
{
    CheckOutcome outcome;
    outcome.failure = failure;
    if (failure.isEmpty()) {
        outcome.result = text;
        outcome.status = text.contains(success.trimmed()) ? CheckStatus::Passed : CheckStatus::Failed;
    } else {
        outcome.result = text.isEmpty() ? failure : failure + QLatin1Char('\n') + text;
        outcome.status = CheckStatus::Failed;
    }
    return outcome;
}

CheckRunner::CheckRunner(QObject *parent)
    : QObject(parent)
{
}

CheckRunner::~CheckRunner()
{
    cancel();
}

void CheckRunner::setParallel(int checks)
{
    parallel = qMax(1, checks);
}

void CheckRunner::setBounds(int commandMs, int pageMs)
{
    commandBound = commandMs;
    pageBound = pageMs;
}

void CheckRunner::start(const QList<CheckLine> &checkLines)
{
    if (running)
        return;
    lines = checkLines;
    held.clear();
    nextToLaunch = nextToReport = 0;
    running = true;
    QTimer::singleShot(0, this, &CheckRunner::launchMore);
}

void CheckRunner::cancel()
{
    running = false;
    const QList<QObject *> checks = active.values();
    active.clear();
    held.clear();
    qDeleteAll(checks); // ends commands with their groups, aborts fetches
}

void CheckRunner::launchMore()
{
    while (running && active.size() < parallel && nextToLaunch < lines.size()
        && nextToLaunch < nextToReport + lookahead(parallel))
        launch(nextToLaunch++);
    if (running && nextToReport >= lines.size()) {
        running = false;
        emit finished();
    }
}

void CheckRunner::launch(int index)
{
    const CheckLine &line = lines.at(index);
    const QString type = line.type.toUpper();
    if (type == QLatin1String("CMD")) {
        const QDateTime startedAt = currentTime();
        auto *run = new CommandRun(line.target, commandBound);
        active.insert(index, run);
        connect(run, &CommandRun::finished, this, [this, run, index, startedAt] {
            active.remove(index);
            run->deleteLater();
            CheckOutcome outcome
                = checkOutcome(commandOutputText(run->output()).trimmed(), lines.at(index).success,
                    commandFailure(run->couldNotStart(), run->program(), run->timedOut(), run->timeoutMs()));
            outcome.checkedAt = startedAt;
            complete(index, outcome);
        });
        run->start();
    } else if (type == QLatin1String("URL")) {
        auto *fetch = new WebFetch(line.target, pageBound);
        active.insert(index, fetch);
        connect(fetch, &WebFetch::finished, this, [this, fetch, index] {
            active.remove(index);
            fetch->deleteLater();
            CheckOutcome outcome = checkOutcome(bodyText(fetch->result().body), lines.at(index).success,
                pageFailure(fetch->result(), pageBound));
            outcome.checkedAt = currentTime();
            complete(index, outcome);
        });
        fetch->start();
    } else {
        CheckOutcome outcome
            = checkOutcome(QString(), QString(), QStringLiteral("类型错误：类型必须是CMD或URL"));
        outcome.checkedAt = currentTime();
        // Reported from the event loop like every other outcome.
        QTimer::singleShot(0, this, [this, index, outcome] {
            if (running)
                complete(index, outcome);
        });
        active.insert(index, nullptr);
    }
}

void CheckRunner::complete(int index, const CheckOutcome &outcome)
{
    active.remove(index);
    held.insert(index, outcome);
    while (running && held.contains(nextToReport)) {
        const int next = nextToReport++;
        emit checked(next, held.take(next));
    }
    launchMore();
}
