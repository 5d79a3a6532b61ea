#ifndef PROBE_PAGETEXT_H
#define PROBE_PAGETEXT_H

#include "probe/bytesink.h"
#include "probe/textcapture.h"

#include <QByteArray>

#include <memory>

class QTextCodec;
class QTextDecoder;

// A page's text, taken as the body arrives, without holding the page. The text ends at the
// page's first zero byte. Bytes that are all valid UTF-8 are read as UTF-8; otherwise in the
// character set the Content-Type names, else the one a <meta> names within the first 1,024
// bytes, else GB18030. Both readings are made from the first byte, each searched for the needle
// and kept up to keepBytes; the choice is made at the end.
class PageText : public ByteSink
{
public:
    PageText(const QString &needle, int keepBytes);
    ~PageText() override;
    void describe(const QByteArray &contentType) override;
    void take(const char *data, int size) override;
    // After the last bytes.
    void finish();

    bool found() const { return chosen().found(); }
    const QString &kept() const { return chosen().kept(); }
    bool cut() const { return chosen().cut(); }
    qint64 bytesRead() const { return read; }
    // What was kept, ended by the cut note where it was cut.
    QString text() const;

private:
    const TextCapture &chosen() const { return valid ? asUtf8 : asDeclared; }
    void readUtf8(const char *data, int size);
    void startDeclared();

    TextCapture asUtf8;
    TextCapture asDeclared;
    std::unique_ptr<QTextDecoder> utf8;
    std::unique_ptr<QTextDecoder> declared;
    QByteArray headerCharset;
    QByteArray head; // the first bytes, until the character set is chosen
    QByteArray lastBytes; // the last three bytes read as UTF-8
    int seen = 0; // bytes of a character still arriving (UTF-8)
    int awaited = 0; // its bytes still to come
    uchar lowest = 0x80, highest = 0xbf; // the range of its next byte
    qint64 read = 0;
    bool valid = true;
    bool ended = false; // the zero byte has come
};

#endif
