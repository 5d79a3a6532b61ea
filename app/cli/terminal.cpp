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
