#include "checkengine.h"
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

CheckStatus commandVerdict(const QString &trimmedOutput, const QString &success, bool timedOut)
{
    if (timedOut)
        return CheckStatus::Failed;
    return trimmedOutput.contains(success.trimmed()) ? CheckStatus::Passed : CheckStatus::Failed;
}

CheckStatus pageVerdict(const QString &page, const QString &success, bool timedOut)
{
    if (timedOut)
        return CheckStatus::Failed;
    return page.contains(success.trimmed()) ? CheckStatus::Passed : CheckStatus::Failed;
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
        const QDateTime startedAt = QDateTime::currentDateTime();
        auto *run = new CommandRun(line.target, commandBound);
        active.insert(index, run);
        connect(run, &CommandRun::finished, this, [this, run, index, startedAt] {
            active.remove(index);
            run->deleteLater();
            CheckOutcome outcome;
            outcome.result = commandOutputText(run->output()).trimmed();
            outcome.status = commandVerdict(outcome.result, lines.at(index).success, run->timedOut());
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
            CheckOutcome outcome;
            outcome.result = bodyText(fetch->result().body);
            outcome.status = pageVerdict(outcome.result, lines.at(index).success, fetch->result().timedOut);
            outcome.checkedAt = QDateTime::currentDateTime();
            complete(index, outcome);
        });
        fetch->start();
    } else {
        CheckOutcome outcome;
        outcome.status = CheckStatus::Failed;
        outcome.result = QStringLiteral("类型错误：类型必须是CMD或URL");
        outcome.checkedAt = QDateTime::currentDateTime();
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
