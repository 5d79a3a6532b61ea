#include "probe/commandrun.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QProcess>
#include <QSocketNotifier>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
extern char **environ;
#endif

namespace
{
// Starting a process holds the starting thread until the program is loaded (about a
// millisecond for ping); this much of it per pass of the event loop keeps the window
// smooth while a scan starts hundreds.
constexpr int kSpawnSliceMs = 2;
// Without a process descriptor to watch, the end of a process is polled this often.
constexpr int kExitPollMs = 10;
// Output read in one go before the event loop gets its turn again.
constexpr int kReadBudgetBytes = 1024 * 1024;
} // namespace

// Commands waiting to be started on this thread, oldest first.
struct SpawnQueue
{
    QList<QPointer<CommandRun>> waiting;
    bool scheduled = false;

    void add(CommandRun *run)
    {
        waiting.append(run);
        if (!scheduled) {
            scheduled = true;
            QTimer::singleShot(0, [this] { drain(); });
        }
    }

    void drain()
    {
        QElapsedTimer slice;
        slice.start();
        while (!waiting.isEmpty() && slice.elapsed() < kSpawnSliceMs) {
            const QPointer<CommandRun> run = waiting.takeFirst();
            if (run && run->state == CommandRun::Queued)
                run->spawn();
        }
        scheduled = !waiting.isEmpty();
        if (scheduled)
            QTimer::singleShot(0, [this] { drain(); });
    }
};

static SpawnQueue &spawnQueue()
{
    static thread_local SpawnQueue queue;
    return queue;
}

CommandRun::CommandRun(const QString &commandLine, int timeoutMs, QObject *parent)
    : QObject(parent)
    , arguments(QProcess::splitCommand(commandLine))
    , programName(arguments.value(0))
    , bound(timeoutMs)
{
}

CommandRun::~CommandRun()
{
    cancel();
}

void CommandRun::setInput(const QByteArray &bytes)
{
    input = bytes.left(kCommandMaxInputBytes);
}

void CommandRun::start()
{
    if (state != Idle)
        return;
    state = Queued;
    spawnQueue().add(this);
}

void CommandRun::cancel()
{
    if (state == Running)
        endGroup();
    if (state != Finished)
        state = Cancelled;
}

void CommandRun::finish()
{
    if (state == Cancelled)
        return;
    state = Finished;
    emit finished();
}

#ifdef Q_OS_UNIX

namespace
{
int openProcessDescriptor(pid_t pid)
{
#ifdef SYS_pidfd_open
    return int(syscall(SYS_pidfd_open, pid, 0));
#else
    Q_UNUSED(pid)
    return -1;
#endif
}

// Processes killed on cancel whose end has not been collected yet.
QList<pid_t> &unreaped()
{
    static QList<pid_t> pids;
    return pids;
}

void reapKilled()
{
    QList<pid_t> &pids = unreaped();
    for (int i = pids.size() - 1; i >= 0; --i) {
        if (waitpid(pids.at(i), nullptr, WNOHANG) != 0)
            pids.removeAt(i);
    }
}
} // namespace

void killProcessGroup(qint64 leader)
{
    // kill(0) and kill(-0) name the caller's own group, kill(-1) every process it may signal.
    if (leader > 1)
        ::kill(-pid_t(leader), SIGKILL);
}

void CommandRun::spawn()
{
    reapKilled();
    if (arguments.isEmpty()) {
        QTimer::singleShot(0, this, &CommandRun::finish);
        return;
    }
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        QTimer::singleShot(0, this, &CommandRun::finish);
        return;
    }

    QList<QByteArray> bytes;
    for (const QString &argument : qAsConst(arguments))
        bytes.append(argument.toLocal8Bit());
    QVector<char *> argv;
    for (QByteArray &argument : bytes)
        argv.append(argument.data());
    argv.append(nullptr);

    // The input is in its pipe before the command starts: a command that never reads it cannot
    // make our write wait or break.
    int inputFds[2] = { -1, -1 };
    if (input && pipe2(inputFds, O_CLOEXEC) == 0) {
        const bool written = ::write(inputFds[1], input->constData(), size_t(input->size())) == input->size();
        ::close(inputFds[1]);
        if (!written) {
            ::close(inputFds[0]);
            inputFds[0] = -1;
        }
    }
    if (input && inputFds[0] < 0) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        QTimer::singleShot(0, this, &CommandRun::finish);
        return;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (input)
        posix_spawn_file_actions_adddup2(&actions, inputFds[0], STDIN_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t noSignals, defaults;
    sigemptyset(&noSignals);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGQUIT);
    posix_spawnattr_setsigmask(&attributes, &noSignals);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(
        &attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t child = 0;
    const int failed = posix_spawnp(&child, argv.at(0), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(pipeFds[1]);
    if (inputFds[0] >= 0)
        ::close(inputFds[0]);
    if (failed) {
        ::close(pipeFds[0]);
        QTimer::singleShot(0, this, &CommandRun::finish);
        return;
    }

    spawned = true;
    state = Running;
    pid = child;
    outputFd = pipeFds[0];
    fcntl(outputFd, F_SETFL, fcntl(outputFd, F_GETFL) | O_NONBLOCK);
    outputNotifier = new QSocketNotifier(outputFd, QSocketNotifier::Read, this);
    connect(outputNotifier, &QSocketNotifier::activated, this, [this] { readOutput(kReadBudgetBytes); });
    exitFd = openProcessDescriptor(child);
    if (exitFd >= 0) {
        exitNotifier = new QSocketNotifier(exitFd, QSocketNotifier::Read, this);
        connect(exitNotifier, &QSocketNotifier::activated, this, &CommandRun::mainProcessEnded);
    } else {
        exitPoll = new QTimer(this);
        connect(exitPoll, &QTimer::timeout, this, &CommandRun::mainProcessEnded);
        exitPoll->start(kExitPollMs);
    }
    boundTimer = new QTimer(this);
    boundTimer->setSingleShot(true);
    connect(boundTimer, &QTimer::timeout, this, [this] {
        boundReached = true;
        killProcessGroup(pid); // the end of the main process finishes the run
    });
    boundTimer->start(bound);
}

void CommandRun::readOutput(int budget)
{
    char buffer[64 * 1024];
    while (outputFd >= 0 && budget > 0) {
        const ssize_t got = ::read(outputFd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return; // nothing more for now
        if (got == 0) { // every writer has closed it
            delete outputNotifier;
            outputNotifier = nullptr;
            ::close(outputFd);
            outputFd = -1;
            return;
        }
        budget -= int(got);
        const int room = kCommandMaxOutputBytes - out.size();
        if (room > 0)
            out.append(buffer, qMin<int>(room, int(got)));
    }
}

void CommandRun::mainProcessEnded()
{
    if (pid <= 0)
        return;
    int status = 0;
    const pid_t ended = waitpid(pid_t(pid), &status, WNOHANG);
    if (ended == 0)
        return; // still running (a poll); collected by someone else counts as ended
    if (ended == pid_t(pid) && WIFEXITED(status) && !boundReached)
        exitStatus = WEXITSTATUS(status);
    // What the main process printed is in the pipe by now; anything it left behind
    // goes with the group before the rest is read.
    killProcessGroup(pid);
    pid = 0;
    readOutput(2 * kCommandMaxOutputBytes);
    endGroup();
    finish();
}

void CommandRun::endGroup()
{
    if (pid > 0) {
        killProcessGroup(pid);
        ::kill(pid_t(pid), SIGKILL);
        // Collected now in the usual case; otherwise on a later start.
        for (int tries = 0; tries < 50 && waitpid(pid_t(pid), nullptr, WNOHANG) == 0; ++tries)
            usleep(1000);
        if (waitpid(pid_t(pid), nullptr, WNOHANG) == 0)
            unreaped().append(pid_t(pid));
        pid = 0;
    }
    delete outputNotifier;
    outputNotifier = nullptr;
    delete exitNotifier;
    exitNotifier = nullptr;
    delete exitPoll;
    exitPoll = nullptr;
    delete boundTimer;
    boundTimer = nullptr;
    if (outputFd >= 0)
        ::close(outputFd);
    if (exitFd >= 0)
        ::close(exitFd);
    outputFd = exitFd = -1;
}

#else // Windows: the toolkit's process, ended at its bound and on cancel.

void killProcessGroup(qint64) { }

void CommandRun::spawn()
{
    auto *process = new QProcess(this);
    if (!input)
        process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    connect(process, &QProcess::readyReadStandardOutput, this, [this, process] {
        const QByteArray chunk = process->readAllStandardOutput();
        out.append(chunk.left(qMax(0, kCommandMaxOutputBytes - out.size())));
    });
    connect(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
        [this, process](int code, QProcess::ExitStatus status) {
            if (status == QProcess::NormalExit && !boundReached)
                exitStatus = code;
            out.append(process->readAllStandardOutput().left(qMax(0, kCommandMaxOutputBytes - out.size())));
            process->deleteLater();
            delete boundTimer;
            boundTimer = nullptr;
            finish();
        });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            spawned = false;
            process->deleteLater();
            finish();
        }
    });
    spawned = true;
    state = Running;
    boundTimer = new QTimer(this);
    boundTimer->setSingleShot(true);
    connect(boundTimer, &QTimer::timeout, this, [this, process] {
        boundReached = true;
        process->kill();
    });
    boundTimer->start(bound);
    process->start(programName, arguments.mid(1));
    if (input) {
        process->write(*input);
        process->closeWriteChannel();
    }
}

void CommandRun::readOutput(int) { }
void CommandRun::mainProcessEnded() { }

void CommandRun::endGroup()
{
    delete boundTimer;
    boundTimer = nullptr;
    for (QProcess *process : findChildren<QProcess *>()) {
        process->disconnect(this);
        process->kill();
        process->waitForFinished(1000);
        delete process;
    }
}

#endif
