#include "probe/inflater.h"
#include "probe/bytesink.h"

namespace
{
// What one step of inflating may produce before it is kept or dropped.
constexpr int kInflateStepBytes = 64 * 1024;
// 15-bit window; +32 detects a zlib or gzip wrapper, negative means none.
constexpr int kWrappedWindowBits = 15 + 32;
constexpr int kRawWindowBits = -15;
} // namespace

BodyInflater::BodyInflater()
{
    inflateInit2(&stream, kWrappedWindowBits);
}

BodyInflater::~BodyInflater()
{
    inflateEnd(&stream);
}

BodyInflater::Step BodyInflater::inflate(const QByteArray &input, ByteSink *out, qint64 room)
{
    if (ended)
        return Ended;
    char step[kInflateStepBytes];
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(input.constData()));
    stream.avail_in = uInt(input.size());
    for (;;) {
        stream.next_out = reinterpret_cast<Bytef *>(step);
        stream.avail_out = sizeof step;
        const int status = ::inflate(&stream, Z_NO_FLUSH);
        // Some servers send "deflate" without the zlib wrapper: that shows at the first bytes.
        if (status == Z_DATA_ERROR && !raw && stream.total_out == 0
            && stream.total_in <= uLong(input.size())) {
            raw = true;
            inflateReset2(&stream, kRawWindowBits);
            return inflate(input, out, room);
        }
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
            return Broken;
        const int produced = int(sizeof step - stream.avail_out);
        out->take(step, int(qMin<qint64>(produced, room)));
        if (produced > room)
            return Overflow;
        room -= produced;
        if (status == Z_STREAM_END) {
            ended = true;
            return Ended;
        }
        if ((stream.avail_in == 0 && stream.avail_out > 0) || (status == Z_BUF_ERROR && produced == 0))
            return More;
    }
}
