#ifndef STUCKFIFO_H
#define STUCKFIFO_H

#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// Runs the work with a FIFO nobody writes to at fifoPath: whoever opens it to read
// waits for a writer. After a few seconds a thread keeps opening it for writing, so work
// stuck on it goes on instead of hanging the test. True when the work got stuck.
template<class Work>
bool waitsOnFifo(Work work)
{
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("pipe")));
    if (::mkfifo(path.constData(), 0600) != 0)
        return true;
    std::atomic<bool> done { false }, released { false };
    std::thread releaser([&] {
        for (int ms = 0; ms < 3000 && !done; ms += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        for (int fd; !done; std::this_thread::sleep_for(std::chrono::milliseconds(10))) {
            if ((fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK)) >= 0) // fails unless a reader waits
                released = ::close(fd) == 0;
        }
    });
    work(QFile::decodeName(path));
    done = true;
    releaser.join();
    return released;
}

#endif
