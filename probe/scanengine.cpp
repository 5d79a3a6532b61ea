#include "probe/scanengine.h"
#include "probe/command.h"

#include <QTimer>

ScanEngine::ScanEngine(QObject *parent)
    : QObject(parent)
{
}

ScanEngine::~ScanEngine()
{
    cancel();
}

void ScanEngine::start(const ScanRange &scanRange)
{
    if (running)
        return;
    range = scanRange;
    platform = currentPlatform();
    nextToShow = range.first;
    heldBack.clear();
    running = true;
    if (range.first > range.last) {
        QTimer::singleShot(0, this, [this] { received(range.last + 1, {}); });
        return;
    }
    for (int number = range.first; number <= range.last; ++number)
        probe(number);
}

void ScanEngine::cancel()
{
    running = false;
    heldBack.clear();
    // Probes and lookups are children: deleting them ends their processes.
    qDeleteAll(findChildren<QObject *>(QString(), Qt::FindDirectChildrenOnly));
}

void ScanEngine::probe(int number)
{
    const QString address = QStringLiteral("%1.%2").arg(range.prefix).arg(number);
    const QString commandLine = pingCommandLine(platform, address);
    if (commandLine.isEmpty()) { // a system without a known ping
        QTimer::singleShot(0, this, [this, number, address] {
            received(number, { address, pingVerdict(platform, QString()), {} });
        });
        return;
    }
    auto *ping = new CommandRun(commandLine, kPingProcessBoundMs, this);
    connect(ping, &CommandRun::finished, this, [this, ping, number, address] {
        ping->deleteLater();
        ProbeOutcome outcome { address, pingVerdict(platform, commandOutputText(ping->output()).trimmed()),
            {} };
        if (outcome.verdict != PingVerdict::Answered) {
            received(number, outcome);
            return;
        }
        lookUpHostDetailsLater(address, this, [this, number, outcome](const HostDetails &details) mutable {
            outcome.details = details;
            received(number, outcome);
        });
    });
    ping->start();
}

void ScanEngine::received(int number, const ProbeOutcome &outcome)
{
    if (!running)
        return;
    if (number <= range.last)
        heldBack.insert(number, outcome);
    while (running && heldBack.contains(nextToShow))
        emit probed(heldBack.take(nextToShow++));
    if (running && nextToShow > range.last) {
        running = false;
        emit finished();
    }
}
