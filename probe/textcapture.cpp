#include "probe/textcapture.h"

namespace
{
// Bytes of one UTF-16 unit in UTF-8: a pair of surrogates makes four.
int unitBytes(QChar c)
{
    return c.unicode() < 0x80 ? 1 : c.unicode() < 0x800 ? 2 : c.isSurrogate() ? 2 : 3;
}
} // namespace

QString cutNote(qint64 bytesRead)
{
    return QStringLiteral("……（已截断，共 %1 字节）").arg(bytesRead);
}

qint64 utf8Size(const QString &text)
{
    qint64 bytes = 0;
    for (const QChar c : text)
        bytes += unitBytes(c);
    return bytes;
}

QString utf8Left(const QString &text, qint64 maxBytes)
{
    qint64 bytes = 0;
    int units = 0;
    for (; units < text.size(); ++units) {
        bytes += unitBytes(text.at(units));
        if (bytes > maxBytes)
            break;
    }
    if (units < text.size() && units > 0 && text.at(units - 1).isHighSurrogate())
        --units; // never half a pair
    return text.left(units);
}

TextCapture::TextCapture(const QString &needle, int keepBytes)
    : needle(needle)
    , keepBytes(keepBytes)
    , hit(needle.isEmpty())
{
}

void TextCapture::add(const QString &piece)
{
    if (piece.isEmpty())
        return;
    if (!hit) {
        tail += piece;
        hit = tail.contains(needle);
        tail = hit ? QString() : tail.right(needle.size() - 1);
    }
    if (over)
        return;
    int units = 0;
    for (; units < piece.size(); ++units) {
        const int bytes = unitBytes(piece.at(units));
        if (textBytes + bytes > keepBytes) {
            over = true;
            break;
        }
        textBytes += bytes;
    }
    text.append(piece.constData(), units);
    if (over && !text.isEmpty() && text.at(text.size() - 1).isHighSurrogate()) {
        text.chop(1);
        textBytes -= 2;
    }
}

void TextCapture::drop()
{
    text = QString();
    over = true;
}
