#include "check/utf8text.h"
#include "probe/textcapture.h"

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
    // Valid first, so every character counts the bytes it is written in.
    return utf8Left(validText(text), qMax(0, maxBytes)).toUtf8();
}
