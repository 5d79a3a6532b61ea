#include "check/textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextCodec>
#include <QTextStream>

bool fileExists(const QString &path)
{
    return QFileInfo(path).isFile();
}

QString readTextFile(const QString &path)
{
    // Opening a FIFO waits for a writer, and /dev/zero never ends.
    if (!fileExists(path))
        return QString();
    // Not in text mode: that drops a lone carriage return, which ends a line in files
    // from old Mac editors, instead of breaking the line there.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QTextStream in(&file);
    in.setAutoDetectUnicode(true);
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = in.readAll().split(lineEnd);
    // Text after the last line end is a line too; nothing after it is none.
    if (lines.last().isEmpty())
        lines.removeLast();
    QString text;
    for (const QString &line : qAsConst(lines))
        text += line + QLatin1Char('\n');
    return text;
}

bool localeHolds(const QString &text)
{
    return QTextCodec::codecForLocale()->canEncode(text);
}

bool writeTextFile(const QString &path, const QString &text)
{
    QSaveFile file(path);
    // A folder that refuses new files (no write permission) may still hold a writable
    // script; only then is it written in place, at the risk of a half-written file.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    // UTF-8 with a byte-order mark still loads, since reading honours it.
    if (!localeHolds(text)) {
        out.setCodec("UTF-8");
        out.setGenerateByteOrderMark(true);
    }
    out << text;
    out.flush();
    // Without a commit the temporary file is discarded and the old file stays.
    if (out.status() != QTextStream::Ok)
        return false;
    return file.commit();
}

bool appendTextFile(const QString &path, const QString &text)
{
    QByteArray first, last;
    QFile existing(path);
    // A device (/dev/full, a terminal) has no start or end to look at.
    if (existing.open(QIODevice::ReadOnly) && !existing.isSequential() && existing.size() > 0) {
        first = existing.read(3);
        last = existing.seek(existing.size() - 1) ? existing.read(1) : QByteArray();
    }
    existing.close();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
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
