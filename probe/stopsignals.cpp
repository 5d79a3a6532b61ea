#include "probe/stopsignals.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace
{
constexpr int kStopSignals[] = { SIGTERM, SIGINT, SIGHUP };
// The read end and the write end; -1 while no StopSignals lives.
volatile sig_atomic_t writeEnd = -1;
int readEnd = -1;
struct sigaction previous[sizeof kStopSignals / sizeof *kStopSignals];
bool caught[sizeof kStopSignals / sizeof *kStopSignals];

extern "C" void noteSignal(int signal)
{
    // Only what is safe in a handler: one write, errno kept for the code interrupted.
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    if (writeEnd >= 0)
        (void)!::write(writeEnd, &number, 1); // a full pipe already holds a signal
    errno = saved;
}
} // namespace

void ignoreBrokenPipe()
{
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, nullptr);
}

StopSignals::StopSignals(QObject *parent)
    : QObject(parent)
{
    int fds[2];
    if (readEnd >= 0 || pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    readEnd = fds[0];
    writeEnd = fds[1];
    notifier = new QSocketNotifier(readEnd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        if (const int signal = pending())
            emit received(signal);
    });
    struct sigaction note = {};
    note.sa_handler = noteSignal;
    sigemptyset(&note.sa_mask);
    note.sa_flags = SA_RESTART;
    for (size_t i = 0; i < sizeof kStopSignals / sizeof *kStopSignals; ++i) {
        caught[i]
            = sigaction(kStopSignals[i], nullptr, &previous[i]) == 0 && previous[i].sa_handler != SIG_IGN;
        if (caught[i])
            sigaction(kStopSignals[i], &note, nullptr);
    }
}

StopSignals::~StopSignals()
{
    if (!notifier)
        return;
    for (size_t i = 0; i < sizeof kStopSignals / sizeof *kStopSignals; ++i) {
        if (caught[i])
            sigaction(kStopSignals[i], &previous[i], nullptr);
    }
    const int fd = writeEnd;
    writeEnd = -1;
    delete notifier;
    ::close(fd);
    ::close(readEnd);
    readEnd = -1;
}

int StopSignals::pending()
{
    if (!notifier)
        return 0;
    // Several signals may be waiting; the first one tells why the program stops.
    unsigned char numbers[16];
    int first = 0;
    for (ssize_t got; (got = ::read(readEnd, numbers, sizeof numbers)) > 0 || (got < 0 && errno == EINTR);) {
        if (got > 0 && first == 0)
            first = numbers[0];
    }
    return first;
}

#else // Windows: the console's own handling.

void ignoreBrokenPipe() { }
StopSignals::StopSignals(QObject *parent)
    : QObject(parent)
{
}
StopSignals::~StopSignals() = default;
int StopSignals::pending()
{
    return 0;
}

#endif

QString StopSignals::nameOf(int signal)
{
#ifdef Q_OS_UNIX
    switch (signal) {
    case SIGTERM:
        return QStringLiteral("SIGTERM");
    case SIGINT:
        return QStringLiteral("SIGINT");
    case SIGHUP:
        return QStringLiteral("SIGHUP");
    default:
        break;
    }
#endif
    return QString::number(signal);
}
