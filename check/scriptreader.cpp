#include "check/scriptreader.h"
#include "check/textfile.h"
#include "probe/regularfile.h"

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
    if (!openRegularFile(file, path, QIODevice::ReadOnly))
        return;
    fileState = ScriptFile::Read;
    stream.setDevice(&file);
    stream.setAutoDetectUnicode(true);
}

// A line ends wherever readTextFile ends one: the empty line between the two of a CRLF is no
// record.
bool ScriptReader::nextTextLine(QString *line)
{
    line->clear();
    for (;;) {
        int end = at;
        while (end < block.size()
            && !(isLineEnd(block.at(end)) && (nextLineEnds || block.at(end) != QChar(0x85))))
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
        // Known once the first block is read: a byte-order mark may have chosen the codec.
        nextLineEnds = decodesNextLine(stream.codec());
    }
}

bool ScriptReader::next(CheckLine *line)
{
    QString text;
    while (fileState == ScriptFile::Read && nextTextLine(&text)) {
        const std::optional<ScriptRecord> record = scriptRecordOf(text);
        if (!record)
            continue;
        if (const std::optional<CheckLine> checked = checkLineOf(*record, records++)) {
            *line = *checked;
            return true;
        }
    }
    return false;
}
