#include "check/textfile.h"
#include "probe/regularfile.h"

#include <QFile>
#include <QFileInfo>
#include <QTextCodec>
#include <QTextStream>

const QRegularExpression &lineEnds(bool nextLineEnds)
{
    // Spelt out: to the pattern engine \v is every vertical space, U+0085 included.
    static const QRegularExpression withNextLine(
        QStringLiteral("\\r\\n|[\\n\\x{0B}\\x{0C}\\r\\x{85}\\x{2028}\\x{2029}]"));
    static const QRegularExpression withoutNextLine(
        QStringLiteral("\\r\\n|[\\n\\x{0B}\\x{0C}\\r\\x{2028}\\x{2029}]"));
    return nextLineEnds ? withNextLine : withoutNextLine;
}

bool isLineEnd(QChar c)
{
    switch (c.unicode()) {
    case 0x0A:
    case 0x0B:
    case 0x0C:
    case 0x0D:
    case 0x85:
    case 0x2028:
    case 0x2029:
        return true;
    default:
        return false;
    }
}

bool decodesNextLine(const QTextCodec *codec)
{
    // UTF-8, UTF-16 (either order or marked) and UTF-32 (the same).
    const int mib = codec ? codec->mibEnum() : 0;
    return mib == 106 || (mib >= 1013 && mib <= 1015) || (mib >= 1017 && mib <= 1019);
}

bool fileExists(const QString &path)
{
    return QFileInfo(path).isFile();
}

bool readTextFile(const QString &path, QString *text)
{
    // Not in text mode: that drops a lone carriage return, which ends a line in files
    // from old Mac editors, instead of breaking the line there.
    QFile file;
    if (!openRegularFile(file, path, QIODevice::ReadOnly))
        return false;
    QTextStream in(&file);
    in.setAutoDetectUnicode(true);
    const QString whole = in.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    QStringList lines = whole.split(lineEnds(decodesNextLine(in.codec())));
    // Text after the last line end is a line too; nothing after it is none.
    if (lines.last().isEmpty())
        lines.removeLast();
    text->clear();
    for (const QString &line : qAsConst(lines))
        *text += line + QLatin1Char('\n');
    return true;
}

QString readTextFile(const QString &path)
{
    QString text;
    return readTextFile(path, &text) ? text : QString();
}

bool localeHolds(const QString &text)
{
    return QTextCodec::codecForLocale()->canEncode(text);
}

bool writeTextFile(const QString &path, const QString &text)
{
    // A folder that refuses new files (no write permission) may still hold a writable
    // script; only then is it written in place, at the risk of a half-written file.
    return replaceFile(
        path, FileOwner::User,
        [&text](QIODevice &file) {
            QTextStream out(&file);
            // UTF-8 with a byte-order mark still loads, since reading honours it.
            if (!localeHolds(text)) {
                out.setCodec("UTF-8");
                out.setGenerateByteOrderMark(true);
            }
            out << text;
            out.flush();
            return out.status() == QTextStream::Ok;
        },
        true);
}

bool appendTextFile(const QString &path, const QString &text)
{
    QByteArray first, last;
    QFile existing;
    if (openRegularFile(existing, path, QIODevice::ReadOnly) && existing.size() > 0) {
        first = existing.read(3);
        last = existing.seek(existing.size() - 1) ? existing.read(1) : QByteArray();
    }
    existing.close();
    QFile file;
    if (!openRegularFile(file, path, QIODevice::WriteOnly | QIODevice::Append))
        return false;
    QTextStream out(&file);
    // A file begun in UTF-8 stays so, and only a new one gets the mark.
    if (first == "\xEF\xBB\xBF" || !localeHolds(text)) {
        out.setCodec("UTF-8");
        out.setGenerateByteOrderMark(first.isEmpty());
    }
    // A record cut short by a full disk must not run into this one.
    if (!last.isEmpty() && last != "\n")
        out << '\n';
    out << text;
    out.flush();
    const bool streamed = out.status() == QTextStream::Ok;
    // Buffered bytes that cannot be written fail only here.
    file.close();
    return streamed && file.error() == QFileDevice::NoError;
}
