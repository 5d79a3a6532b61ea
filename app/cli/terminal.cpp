#include "app/cli/terminal.h"
#include "check/textfile.h"

#include <QTextCodec>

void print(FILE *stream, const QString &line)
{
    const QString text = line + QLatin1Char('\n');
    printBytes(stream, localeHolds(text) ? QTextCodec::codecForLocale()->fromUnicode(text) : text.toUtf8());
}

void printBytes(FILE *stream, const QByteArray &bytes)
{
    // A reader that has gone (head -1, a closed terminal) ends the printing, never the run:
    // the lines are still checked and logged.
    if (std::ferror(stream))
        return;
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

int fail(const QString &message)
{
    print(stderr, message);
    return 2;
}

int terminalWidth(const QString &text)
{
    int width = 0;
    for (const uint c : text.toUcs4()) {
        const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF)
            || (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F)
            || (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
        width += wide ? 2 : 1;
    }
    return width;
}

QString padded(const QString &text, int width)
{
    return text + QString(qMax(0, width - terminalWidth(text)), QLatin1Char(' '));
}
