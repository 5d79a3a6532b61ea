#ifndef BENCH_GZIP_H
#define BENCH_GZIP_H

#include <QByteArray>

#include <zlib.h>

// Benchmarks serve compressed bodies that inflate far beyond their size.
// Gzip of the unit repeated to that size, deflated a block at a time.
inline QByteArray gzipOf(const QByteArray &unit, qint64 size)
{
    z_stream z {};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY);
    const QByteArray block = unit.repeated((1 << 20) / unit.size());
    QByteArray out;
    char buffer[1 << 16];
    for (qint64 done = 0; done <= size; done += block.size()) {
        const bool last = done + block.size() > size;
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(block.constData()));
        z.avail_in = uInt(last ? size - done : block.size());
        do {
            z.next_out = reinterpret_cast<Bytef *>(buffer);
            z.avail_out = sizeof buffer;
            deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
            out.append(buffer, int(sizeof buffer - z.avail_out));
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    return out;
}

#endif
