#ifndef COMMANDRUN_H
#define COMMANDRUN_H

#include <QByteArray>
#include <QObject>
#include <QString>

#include <optional>

class QSocketNotifier;
class QTimer;

// A command still running after this long is ended; what it printed until then is kept.
constexpr int kCommandTimeoutMs = 60 * 1000;
// What a command may print that is kept; the rest is read and dropped.
constexpr int kCommandMaxOutputBytes = 16 * 1024 * 1024;
// What a command may be given on its standard input: one pipe's atomic write (PIPE_BUF), so it is
// all in the pipe before the command starts and nobody waits for the command to read it.
constexpr int kCommandMaxInputBytes = 4096;

// Ends every process of the group the leader heads; nothing for a leader that names no child
// (0 or less, or init).
void killProcessGroup(qint64 leader);

// One command line run without blocking: no shell in between, standard input at its
// end from the start, standard error dropped, standard output kept up to the cap.
// The command runs in a process group of its own; at its bound, on cancel and as soon
// as its main process ends, the whole group is ended, so nothing it started outlives it.
// Starts are queued and made a few at a time, so starting hundreds at once never
// holds up the thread's event loop for long.
class CommandRun : public QObject
{
    Q_OBJECT

public:
    explicit CommandRun(
        const QString &commandLine, int timeoutMs = kCommandTimeoutMs, QObject *parent = nullptr);
    ~CommandRun() override; // ends the group if still running

    // Its standard input: these bytes (at most kCommandMaxInputBytes), then its end. Before start().
    void setInput(const QByteArray &bytes);
    // finished() follows from the event loop, also when the program could not be started.
    void start();
    // Ends the group at once; finished() is not emitted.
    void cancel();

    bool couldNotStart() const { return state == Finished && !spawned; }
    bool timedOut() const { return boundReached; }
    QString program() const { return programName; }
    int timeoutMs() const { return bound; }
    QByteArray output() const { return out; }
    // The main process's exit status when it ended by itself; none when it was killed or never ran.
    std::optional<int> exitCode() const { return exitStatus; }

signals:
    void finished();

private:
    friend struct SpawnQueue;
    void spawn();
    void readOutput(int budget);
    void mainProcessEnded();
    void endGroup();
    void finish();

    enum State { Idle, Queued, Running, Finished, Cancelled };
    State state = Idle;
    QStringList arguments;
    QString programName;
    int bound;
    bool spawned = false;
    bool boundReached = false;
    QByteArray out;
    std::optional<QByteArray> input; // none: /dev/null
    std::optional<int> exitStatus;
    qint64 pid = 0;
    int outputFd = -1;
    int exitFd = -1;
    QSocketNotifier *outputNotifier = nullptr;
    QSocketNotifier *exitNotifier = nullptr;
    QTimer *boundTimer = nullptr;
    QTimer *exitPoll = nullptr;
};

#endif
