#ifndef PROBE_STOPSIGNALS_H
#define PROBE_STOPSIGNALS_H

#include <QObject>
#include <QString>

class QSocketNotifier;

// A closed standard output or pipe then fails the write instead of ending the program:
// the run goes on and is logged. Children get the default back (see CommandRun).
void ignoreBrokenPipe();

// SIGTERM, SIGINT and SIGHUP (a logout, Ctrl+C, a closed terminal, a service stop) reach the
// event loop as received() instead of ending the program on the spot, so the work it started
// can be ended first. The handler only writes the number to a pipe; the blocked mask stays as
// it was, so children start with nothing blocked. A signal ignored when the program started
// (nohup) stays ignored. One at a time; the defaults come back when it goes.
class StopSignals : public QObject
{
    Q_OBJECT

public:
    explicit StopSignals(QObject *parent = nullptr);
    ~StopSignals() override;

    // The first signal caught and not yet reported, without waiting; 0 for none. For work
    // that runs without the event loop.
    int pending();
    // "SIGTERM", "SIGINT", "SIGHUP".
    static QString nameOf(int signal);

signals:
    void received(int signal);

private:
    QSocketNotifier *notifier = nullptr;
};

#endif
