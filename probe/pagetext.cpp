#include "probe/pagetext.h"

#include <QTextCodec>

#include <cstring>

namespace
{
// A page names its character set in a <meta> within this many bytes, or not at all.
constexpr int kMetaWithinBytes = 1024;

// The name after "charset=", blanks and quotes allowed around it; empty when there is none.
QByteArray charsetIn(const QByteArray &lower)
{
    for (int at = lower.indexOf("charset"); at >= 0; at = lower.indexOf("charset", at + 7)) {
        int i = at + 7;
        while (i < lower.size() && lower.at(i) == ' ')
            ++i;
        if (i >= lower.size() || lower.at(i) != '=')
            continue;
        ++i;
        while (i < lower.size() && (lower.at(i) == ' ' || lower.at(i) == '"' || lower.at(i) == '\''))
            ++i;
        int end = i;
        while (end < lower.size() && (isalnum(uchar(lower.at(end))) || strchr("-_.:", lower.at(end))))
            ++end;
        if (end > i)
            return lower.mid(i, end - i);
    }
    return QByteArray();
}

QTextCodec *knownCodec(const QByteArray &name)
{
    return name.isEmpty() ? nullptr : QTextCodec::codecForName(name);
}

// The character set a <meta charset> or http-equiv names in the head of a page.
QTextCodec *metaCodec(const QByteArray &head)
{
    const QByteArray lower = head.left(kMetaWithinBytes).toLower();
    for (int at = lower.indexOf("<meta"); at >= 0; at = lower.indexOf("<meta", at + 5)) {
        const int end = lower.indexOf('>', at);
        if (QTextCodec *codec = knownCodec(charsetIn(lower.mid(at, end < 0 ? -1 : end - at))))
            return codec;
    }
    return nullptr;
}
} // namespace

PageText::PageText(const QString &needle, int keepBytes)
    : asUtf8(needle, keepBytes)
    , asDeclared(needle, keepBytes)
    , utf8(QTextCodec::codecForName("UTF-8")->makeDecoder())
{
}

PageText::~PageText() = default;

void PageText::describe(const QByteArray &contentType)
{
    headerCharset = charsetIn(contentType.toLower());
}

void PageText::take(const char *data, int size)
{
    read += size;
    if (ended || size <= 0)
        return;
    if (const void *zero = memchr(data, 0, size_t(size))) {
        ended = true;
        size = int(static_cast<const char *>(zero) - data);
    }
    if (valid)
        readUtf8(data, size);
    if (declared) {
        asDeclared.add(declared->toUnicode(data, size));
        return;
    }
    head.append(data, size);
    if (head.size() >= kMetaWithinBytes)
        startDeclared();
}

// Checked byte by byte as RFC 3629 has it (no overlong forms, surrogates or values past
// U+10FFFF), the way the toolkit decodes.
void PageText::readUtf8(const char *data, int size)
{
    for (int i = 0; i < size && valid; ++i) {
        const uchar b = uchar(data[i]);
        if (awaited > 0) {
            valid = b >= lowest && b <= highest;
            lowest = 0x80;
            highest = 0xbf;
            --awaited;
            seen = awaited > 0 ? seen + 1 : 0;
            continue;
        }
        if (b < 0x80)
            continue;
        seen = 1;
        if (b >= 0xc2 && b <= 0xdf) {
            awaited = 1;
        } else if (b >= 0xe0 && b <= 0xef) {
            awaited = 2;
            lowest = b == 0xe0 ? 0xa0 : 0x80;
            highest = b == 0xed ? 0x9f : 0xbf;
        } else if (b >= 0xf0 && b <= 0xf4) {
            awaited = 3;
            lowest = b == 0xf0 ? 0x90 : 0x80;
            highest = b == 0xf4 ? 0x8f : 0xbf;
        } else {
            valid = false;
        }
    }
    if (!valid) {
        asUtf8.drop();
        utf8.reset();
        return;
    }
    asUtf8.add(utf8->toUnicode(data, size));
    // The last bytes, which may be the start of a character the text ends in the middle of.
    const int tail = qMin(size, 3);
    lastBytes = (lastBytes + QByteArray(data + size - tail, tail)).right(3);
}

void PageText::startDeclared()
{
    QTextCodec *codec = knownCodec(headerCharset);
    if (!codec)
        codec = metaCodec(head);
    if (!codec)
        codec = QTextCodec::codecForName("GB18030");
    declared.reset(codec->makeDecoder());
    asDeclared.add(declared->toUnicode(head));
    head = QByteArray();
}

void PageText::finish()
{
    if (!declared)
        startDeclared();
    // A text cut in the middle of a character (by the cap, the bound or its zero byte) ends
    // as the toolkit ends it: with a replacement character.
    if (valid && seen > 0)
        asUtf8.add(QString::fromUtf8(lastBytes.right(seen)));
}

QString PageText::text() const
{
    return cut() ? kept() + cutNote(read) : kept();
}
