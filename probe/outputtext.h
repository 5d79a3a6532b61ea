#ifndef PROBE_OUTPUTTEXT_H
#define PROBE_OUTPUTTEXT_H

#include "probe/bytesink.h"
#include "probe/commanddecoder.h"
#include "probe/textcapture.h"

// A command's standard output as a check reads it, taken as it arrives: the text of
// CommandDecoder, trimmed, searched for the needle throughout and kept up to keepBytes.
// Blanks are held back until something follows them, so an output that ends in blanks is not
// taken for one that was cut.
class OutputText : public ByteSink
{
public:
    OutputText(const QString &needle, int keepBytes);
    void take(const char *data, int size) override;

    bool found() const { return capture.found(); }
    const QString &kept() const { return capture.kept(); }
    bool cut() const { return capture.cut(); }
    qint64 bytesRead() const { return read; }
    // What was kept, ended by the cut note where it was cut.
    QString text() const;

private:
    CommandDecoder decoder;
    TextCapture capture;
    QString blanks; // held back; never longer than keepBytes + 1
    int keepBytes;
    qint64 read = 0;
    bool started = false; // the first character that is no blank has come
};

#endif
