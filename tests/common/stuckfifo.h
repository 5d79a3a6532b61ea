#ifndef STUCKFIFO_H
#define STUCKFIFO_H

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// A FIFO nobody writes to: whoever opens it to read waits for a writer. After
// kReleaseAfterMs a thread opens it for writing again and again, so a test whose code
// got stuck on it goes on (and fails on waited()) instead of hanging.
class StuckFifo
{
public:
    static constexpr int kReleaseAfterMs = 3000;

    StuckFifo()
        : path(dir.filePath(QStringLiteral("pipe")))
        , made(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0)
        , releaser([this] { release(); })
    {
    }
    ~StuckFifo()
    {
        stop = true;
        releaser.join();
    }
    bool isMade() const { return made; }
    QString url() const { return QUrl::fromLocalFile(path).toString(); }
    // Whether anyone was found waiting on the FIFO.
    bool waited() const { return released; }

    QTemporaryDir dir;
    const QString path;

private:
    void release()
    {
        const auto start = std::chrono::steady_clock::now();
        while (!stop && std::chrono::steady_clock::now() - start < std::chrono::milliseconds(kReleaseAfterMs))
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        while (!stop) {
            // Without a reader this fails at once; with one it lets the reader go.
            const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                released = true;
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    const bool made;
    std::atomic<bool> stop { false };
    std::atomic<bool> released { false };
    std::thread releaser;
};

#endif
