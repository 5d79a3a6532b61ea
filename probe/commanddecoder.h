#ifndef PROBE_COMMANDDECODER_H
#define PROBE_COMMANDDECODER_H

#include <QString>

#include <memory>

class QTextCodec;
class QTextDecoder;
struct PlatformKind;

// The codec for a command's output on the given platform.
QTextCodec *commandOutputCodec(const PlatformKind &platform);

// A command's output as text while it arrives (commandOutputText is it of the whole):
// decoded for the running platform (GBK on Windows, UTF-8 elsewhere), carriage returns removed,
// every run of n line feeds shortened to ceil(n/4). A run of line feeds is told once it ends.
class CommandDecoder
{
public:
    CommandDecoder();
    ~CommandDecoder();
    QString decode(const char *data, int size);
    // The run of line feeds the output ended with.
    QString finish();

private:
    std::unique_ptr<QTextDecoder> decoder;
    int lineFeeds = 0;
};

#endif
