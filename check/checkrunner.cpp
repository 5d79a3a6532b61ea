#include "check/checkrunner.h"
#include "check/clock.h"
#include "check/verdict.h"
#include "probe/command.h"

#include <QTimer>

namespace
{
// Lines are started at most this far ahead of the first one not yet reported, which
// bounds the results held back for the order.
int lookahead(int parallel)
{
    return 4 * parallel;
}
} // namespace

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
    CheckResult result;
    result.line = line;
    QElapsedTimer took;
    took.start();
    if (type == QLatin1String("CMD")) {
        result.checkedAt = currentTime();
        auto *run = new CommandRun(line.target, commandBound);
        active.insert(index, run);
        connect(run, &CommandRun::finished, this, [this, run, index, result, took]() mutable {
            active.remove(index);
            run->deleteLater();
            result.output = commandOutputText(run->output()).trimmed();
            result.reason
                = commandFailure(run->couldNotStart(), run->program(), run->timedOut(), run->timeoutMs());
            result.exitCode = run->exitCode();
            complete(index, result, took);
        });
        run->start();
    } else if (type == QLatin1String("URL")) {
        auto *fetch = new WebFetch(line.target, pageBound);
        active.insert(index, fetch);
        connect(fetch, &WebFetch::finished, this, [this, fetch, index, result, took]() mutable {
            active.remove(index);
            fetch->deleteLater();
            const HttpDownload &download = fetch->result();
            result.checkedAt = currentTime();
            result.output = bodyText(download.body);
            result.reason = pageFailure(download, pageBound);
            if (download.httpStatus > 0)
                result.httpStatus = download.httpStatus;
            complete(index, result, took);
        });
        fetch->start();
    } else {
        result.checkedAt = currentTime();
        result.reason = QStringLiteral("类型错误：类型必须是CMD或URL");
        // Reported from the event loop like every other result.
        QTimer::singleShot(0, this, [this, index, result, took] {
            if (running)
                complete(index, result, took);
        });
        active.insert(index, nullptr);
    }
}

void CheckRunner::complete(int index, CheckResult result, const QElapsedTimer &took)
{
    result.durationMs = took.elapsed();
    result.verdict = judge(result.output, result.line.success, result.reason);
    active.remove(index);
    emit ended(index, result);
    held.insert(index, result);
    while (running && held.contains(nextToReport)) {
        const int next = nextToReport++;
        emit checked(next, held.take(next));
    }
    launchMore();
}
