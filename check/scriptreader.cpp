#include "check/scriptreader.h"

#include <QFileInfo>

namespace
{
// Characters decoded in one read.
constexpr int kBlockChars = 64 * 1024;
} // namespace

ScriptReader::ScriptReader(const QString &path)
    : file(path)
{
    // As readScriptFile: a missing file is an empty script, anything else that cannot be read
    // (a folder, a FIFO, no permission) is none.
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return;
    fileState = ScriptFile::Unreadable;
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return;
    fileState = ScriptFile::Read;
    stream.setDevice(&file);
    stream.setAutoDetectUnicode(true);
}

// A line ends at LF or CR: the empty line between the two of a CRLF is no record.
bool ScriptReader::nextTextLine(QString *line)
{
    line->clear();
    for (;;) {
        int end = at;
        while (end < block.size() && block.at(end) != QLatin1Char('\n') && block.at(end) != QLatin1Char('\r'))
            ++end;
        line->append(block.midRef(at, end - at).left(qMax(0, kScriptLineMaxChars - line->size())));
        if (end < block.size()) {
            at = end + 1;
            return true;
        }
        if (stream.atEnd()) { // text after the last line end is a line too
            at = block.size();
            return !line->isEmpty();
        }
        block = stream.read(kBlockChars);
        at = 0;
    }
}

bool ScriptReader::next(CheckLine *line)
{
    QString text;
    while (fileState == ScriptFile::Read && nextTextLine(&text)) {
        // As scriptRecordsOf and checkLinesOf have it: a record is a line of two fields at
        // least, a check line a record with a name.
        const QStringList f = scriptLineFields(text);
        if (f.size() < 2)
            continue;
        const int row = records++;
        if (f.value(2).simplified().isEmpty())
            continue;
        *line = { f.at(0).simplified(), f.at(1).simplified(), f.value(2).simplified(),
            f.value(3).simplified(), f.value(4).simplified(), row };
        return true;
    }
    return false;
}
