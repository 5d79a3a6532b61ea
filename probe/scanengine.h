#ifndef SCANENGINE_H
#define SCANENGINE_H

#include "probe/neighbours.h"
#include "probe/ping.h"
#include "probe/platform.h"
#include "probe/scanrange.h"

#include <QHash>
#include <QObject>
#include <QString>

struct ProbeOutcome
{
    QString address;
    PingVerdict verdict = PingVerdict::Silent;
    HostDetails details; // only looked up for an address that answered
};

// Pings every address of a range at once (one subnet: at most 256) and reports each
// probe in ascending address order, with the name and hardware address of the hosts
// that answered. Knows no window.
class ScanEngine : public QObject
{
    Q_OBJECT

public:
    explicit ScanEngine(QObject *parent = nullptr);
    ~ScanEngine() override; // ends the probes still running

    bool isRunning() const { return running; }
    // probed() and finished() follow from the event loop, also for an empty range.
    void start(const ScanRange &range);
    void cancel();

signals:
    void probed(const ProbeOutcome &outcome);
    void finished();

private:
    void probe(int number);
    void received(int number, const ProbeOutcome &outcome);

    ScanRange range;
    PlatformKind platform;
    bool running = false;
    int nextToShow = 0;
    QHash<int, ProbeOutcome> heldBack;
};

#endif
