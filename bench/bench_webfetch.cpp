// What a fetch costs: the fresh network manager and event loop of every request
// against reading the same small file directly, and the memory the size cap saves
// on an oversized body against reading it whole.
#include "probe/webfetch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <cstdio>
#include <sys/resource.h>

namespace
{
constexpr int kRounds = 200;
constexpr qint64 kLargeFileBytes = 64LL * 1024 * 1024;

long peakKiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QString writeFile(const QString &path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    const QByteArray block(64 * 1024, 'x');
    for (qint64 written = 0; written < size; written += block.size())
        file.write(block.constData(), qMin<qint64>(block.size(), size - written));
    return QUrl::fromLocalFile(path).toString();
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString smallPath = dir.filePath(QStringLiteral("page.html"));
    const QString small = writeFile(smallPath, 4096);
    const QString large = writeFile(dir.filePath(QStringLiteral("image.bin")), kLargeFileBytes);
    if (small.isEmpty() || large.isEmpty()) {
        std::printf("cannot write the test files\n");
        return 1;
    }

    QElapsedTimer clock;
    clock.start();
    qint64 bytes = 0;
    for (int i = 0; i < kRounds; ++i) {
        QFile file(smallPath);
        file.open(QIODevice::ReadOnly);
        bytes += file.readAll().size();
    }
    const double direct = clock.nsecsElapsed() / 1e6 / kRounds;
    clock.restart();
    for (int i = 0; i < kRounds; ++i)
        bytes += httpGet(small).size();
    const double fetched = clock.nsecsElapsed() / 1e6 / kRounds;
    std::printf("4 KiB file, %d rounds: direct read %.3f ms, httpGet %.3f ms per call (x%.1f)\n", kRounds,
        direct, fetched, fetched / direct);

    // Peak memory only grows, so the capped fetch goes first.
    const long before = peakKiB();
    clock.restart();
    const HttpDownload capped = httpDownload(large);
    const double cappedMs = clock.nsecsElapsed() / 1e6;
    const long afterCapped = peakKiB();
    QFile file(dir.filePath(QStringLiteral("image.bin")));
    file.open(QIODevice::ReadOnly);
    const QByteArray whole = file.readAll();
    const long afterWhole = peakKiB();
    std::printf("64 MiB file: httpDownload kept %d bytes in %.0f ms, peak memory +%ld KiB; "
                "after reading it whole +%ld KiB (capped/whole %.2f)\n",
        int(capped.body.size()), cappedMs, afterCapped - before, afterWhole - before,
        double(afterCapped - before) / double(qMax(1L, afterWhole - before)));
    return bytes > 0 && whole.size() > 0 ? 0 : 1;
}
