#include "check/script.h"
#include "check/appdir.h"
#include "check/textfile.h"

#include <QFileInfo>

QString scriptFilePath()
{
    return QStringLiteral("%1/chkScript.txt").arg(appDir());
}

QStringList scriptLineFields(const QString &line)
{
    // simplified() collapses white-space runs like "\s+" -> " " and trims the ends,
    // which the per-field trim below would do anyway.
    QStringList fields = line.simplified().split(QLatin1Char('|'), Qt::KeepEmptyParts);
    for (QString &field : fields)
        field = field.trimmed();
    return fields;
}

std::optional<ScriptRecord> scriptRecordOf(const QString &line)
{
    const QStringList f = scriptLineFields(line);
    if (f.size() < 2)
        return std::nullopt;
    return ScriptRecord { f.at(0), f.at(1), f.value(2), f.value(3), f.value(4) };
}

QList<ScriptRecord> scriptRecordsOf(const QString &text)
{
    QList<ScriptRecord> records;
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::KeepEmptyParts);
    // The part after the last line feed is not a record.
    for (int i = 0; i + 1 < lines.size(); ++i) {
        if (const std::optional<ScriptRecord> record = scriptRecordOf(lines.at(i)))
            records.append(*record);
    }
    return records;
}

QString scriptTextOf(const QList<ScriptRecord> &records)
{
    QString text;
    for (const ScriptRecord &r : records) {
        if (!r.alias.isEmpty())
            text += QStringList({ r.type, r.target, r.alias, r.success, r.location }).join(QLatin1Char('|'))
                + QLatin1Char('\n');
    }
    return text;
}

std::optional<CheckLine> checkLineOf(const ScriptRecord &r, int row)
{
    if (r.alias.simplified().isEmpty())
        return std::nullopt;
    return CheckLine { r.type.simplified(), r.target.simplified(), r.alias.simplified(),
        r.success.simplified(), r.location.simplified(), row };
}

QList<CheckLine> checkLinesOf(const QList<ScriptRecord> &records)
{
    QList<CheckLine> lines;
    for (int row = 0; row < records.size(); ++row) {
        if (const std::optional<CheckLine> line = checkLineOf(records.at(row), row))
            lines.append(*line);
    }
    return lines;
}

QList<CheckLine> checkLinesOf(const QString &scriptText)
{
    return checkLinesOf(scriptRecordsOf(scriptText));
}

ScriptFile readScriptFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {};
    ScriptFile file;
    file.state = readTextFile(path, &file.text) ? ScriptFile::Read : ScriptFile::Unreadable;
    return file;
}

qint64 scriptFileLines(const QString &path)
{
    QFile file(path);
    if (!fileExists(path) || !file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray head = file.peek(2);
    // A line end is a byte of its own in every encoding but these.
    if (head == "\xFF\xFE" || head == "\xFE\xFF")
        return readTextFile(path).count(QLatin1Char('\n'));
    constexpr qint64 kChunk = 64 * 1024;
    qint64 lines = 0;
    char last = '\n';
    for (QByteArray chunk; !(chunk = file.read(kChunk)).isEmpty();) {
        for (const char c : qAsConst(chunk)) {
            // LF, CRLF and a lone CR each end one line.
            if (c == '\r' || (c == '\n' && last != '\r'))
                ++lines;
            last = c;
        }
    }
    // Text after the last line end is a line too.
    return lines + (last != '\n' && last != '\r' ? 1 : 0);
}
