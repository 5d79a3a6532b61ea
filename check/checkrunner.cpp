#include "check/checkrunner.h"
#include "check/clock.h"
#include "check/verdict.h"
#include "probe/outputtext.h"
#include "probe/pagetext.h"

#include <QTimer>

#include <memory>

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

void CheckRunner::setTextBounds(const TextBounds &bounds)
{
    textBounds = bounds;
}

bool CheckRunner::ListSource::next(CheckLine *line)
{
    if (at >= lines.size())
        return false;
    *line = lines.at(at++);
    return true;
}

void CheckRunner::start(const QList<CheckLine> &checkLines)
{
    if (running)
        return;
    ownLines.lines = checkLines;
    ownLines.at = 0;
    start(&ownLines);
}

void CheckRunner::start(CheckLineSource *lineSource)
{
    if (running)
        return;
    source = lineSource;
    sourceDone = false;
    held.clear();
    runTextBytes = 0;
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
    while (running && !sourceDone && active.size() < parallel
        && nextToLaunch < nextToReport + lookahead(parallel)) {
        CheckLine line;
        if (source->next(&line))
            launch(nextToLaunch++, line);
        else
            sourceDone = true;
    }
    if (running && sourceDone && nextToReport >= nextToLaunch) {
        running = false;
        emit finished();
    }
}

void CheckRunner::launch(int index, const CheckLine &line)
{
    const QString type = line.type.toUpper();
    Outcome outcome;
    outcome.result.line = line;
    QElapsedTimer took;
    took.start();
    if (type == QLatin1String("CMD")) {
        outcome.result.checkedAt = currentTime();
        auto *run = new CommandRun(line.target, commandBound);
        // Dies with the connection, after the run.
        const auto text = std::make_shared<OutputText>(line.success.trimmed(), textBounds.perResult);
        run->setOutputSink(text.get());
        active.insert(index, run);
        connect(run, &CommandRun::finished, this, [this, run, index, outcome, took, text]() mutable {
            active.remove(index);
            run->deleteLater();
            outcome.result.output = text->kept();
            outcome.found = text->found();
            outcome.cut = text->cut();
            outcome.bytesRead = text->bytesRead();
            outcome.result.reason
                = commandFailure(run->couldNotStart(), run->program(), run->timedOut(), run->timeoutMs());
            outcome.result.exitCode = run->exitCode();
            complete(index, outcome, took);
        });
        run->start();
    } else if (type == QLatin1String("URL")) {
        auto *fetch = new WebFetch(line.target, pageBound);
        const auto text = std::make_shared<PageText>(line.success.trimmed(), textBounds.perResult);
        fetch->setBodySink(text.get());
        active.insert(index, fetch);
        connect(fetch, &WebFetch::finished, this, [this, fetch, index, outcome, took, text]() mutable {
            active.remove(index);
            fetch->deleteLater();
            const HttpDownload &download = fetch->result();
            text->finish();
            outcome.result.checkedAt = currentTime();
            outcome.result.output = text->kept();
            outcome.found = text->found();
            outcome.cut = text->cut();
            outcome.bytesRead = text->bytesRead();
            outcome.result.reason = pageFailure(download, pageBound);
            if (download.httpStatus > 0)
                outcome.result.httpStatus = download.httpStatus;
            complete(index, outcome, took);
        });
        fetch->start();
    } else {
        outcome.result.checkedAt = currentTime();
        outcome.result.reason = QStringLiteral("类型错误：类型必须是CMD或URL");
        // Reported from the event loop like every other result.
        QTimer::singleShot(0, this, [this, index, outcome, took] {
            if (running)
                complete(index, outcome, took);
        });
        active.insert(index, nullptr);
    }
}

void CheckRunner::complete(int index, Outcome outcome, const QElapsedTimer &took)
{
    outcome.result.durationMs = took.elapsed();
    outcome.result.verdict = judge(outcome.found, outcome.result.reason);
    active.remove(index);
    emit ended(index, outcome.result);
    held.insert(index, outcome);
    while (running && held.contains(nextToReport)) {
        const int next = nextToReport++;
        Outcome reported = held.take(next);
        keepWithinRun(reported);
        emit checked(next, reported.result);
    }
    launchMore();
}

void CheckRunner::keepWithinRun(Outcome &outcome)
{
    QString &output = outcome.result.output;
    const qint64 size = utf8Size(output);
    const qint64 share = qMax<qint64>(textBounds.perRun - runTextBytes, textBounds.overRun);
    if (size > share) {
        output = utf8Left(output, share);
        outcome.cut = true;
    }
    runTextBytes += qMin(size, share);
    if (outcome.cut)
        output += cutNote(outcome.bytesRead);
}
