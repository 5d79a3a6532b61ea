#include "check/utf8text.h"

QString validText(const QString &text)
{
    QString valid = text;
    for (int i = 0; i < valid.size(); ++i) {
        const QChar c = valid.at(i);
        if (c.isHighSurrogate() && i + 1 < valid.size() && valid.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            valid[i] = QChar::ReplacementCharacter;
    }
    return valid;
}

QByteArray utf8Head(const QString &text, int maxBytes)
{
    QByteArray bytes = validText(text).toUtf8();
    if (bytes.size() <= maxBytes)
        return bytes;
    int end = qMax(0, maxBytes);
    // A continuation byte (10xxxxxx) at the cut means its character began before it.
    while (end > 0 && (uchar(bytes.at(end)) & 0xC0) == 0x80)
        --end;
    bytes.truncate(end);
    return bytes;
}
