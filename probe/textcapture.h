#ifndef PROBE_TEXTCAPTURE_H
#define PROBE_TEXTCAPTURE_H

#include <QString>

// Ends a text that was cut: "……（已截断，共 N 字节）", N the bytes that were read.
QString cutNote(qint64 bytesRead);
// UTF-8 bytes of the text (a lone surrogate counts as the three bytes of a replacement).
qint64 utf8Size(const QString &text);
// The whole characters at the start of the text that take at most maxBytes in UTF-8.
QString utf8Left(const QString &text, qint64 maxBytes);

// Text that arrives in pieces: whether it holds a needle, found across the borders of the
// pieces, and its first part of at most keepBytes in UTF-8, cut between whole characters.
// Nothing else of it is held.
class TextCapture
{
public:
    TextCapture(const QString &needle, int keepBytes);
    void add(const QString &piece);
    bool found() const { return hit; }
    const QString &kept() const { return text; }
    // More came than was kept.
    bool cut() const { return over; }
    // Forgets what it keeps; what comes later is only searched.
    void drop();

private:
    QString needle;
    QString tail; // the end of the text so far, too short to hold the needle
    QString text;
    qint64 textBytes = 0;
    qint64 keepBytes;
    bool hit;
    bool over = false;
};

#endif
