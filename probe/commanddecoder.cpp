#include "probe/commanddecoder.h"
#include "probe/platform.h"

#include <QTextCodec>

QTextCodec *commandOutputCodec(const PlatformKind &platform)
{
    QTextCodec *codec = QTextCodec::codecForName("UTF-8");
    if (platform.windows) {
        // The Chinese console code page; keep UTF-8 where the build lacks it.
        if (QTextCodec *gbk = QTextCodec::codecForName("GBK"))
            codec = gbk;
    }
    return codec;
}

CommandDecoder::CommandDecoder()
    : decoder(commandOutputCodec(currentPlatform())->makeDecoder())
{
}

CommandDecoder::~CommandDecoder() = default;

QString CommandDecoder::decode(const char *data, int size)
{
    const QString text = decoder->toUnicode(data, size);
    QString out;
    out.reserve(text.size());
    int from = 0; // start of the plain characters not yet copied
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) {
            if (lineFeeds > 0) {
                out += QString((lineFeeds + 3) / 4, QLatin1Char('\n'));
                lineFeeds = 0;
            }
            continue;
        }
        out.append(text.constData() + from, i - from);
        from = i + 1;
        lineFeeds += c == QLatin1Char('\n');
    }
    out.append(text.constData() + from, text.size() - from);
    return out;
}

QString CommandDecoder::finish()
{
    const QString rest((lineFeeds + 3) / 4, QLatin1Char('\n'));
    lineFeeds = 0;
    return rest;
}
