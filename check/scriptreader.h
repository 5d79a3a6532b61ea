#ifndef CHECK_SCRIPTREADER_H
#define CHECK_SCRIPTREADER_H

#include "check/checklinesource.h"
#include "check/script.h"

#include <QFile>
#include <QTextStream>

// The check lines of a script file, read a block at a time: the lines checkLinesOf gives for
// the text readScriptFile reads, without ever holding the script whole. A line longer than
// kScriptLineMaxChars is read up to there.
class ScriptReader : public CheckLineSource
{
public:
    explicit ScriptReader(const QString &path);
    // Missing, Unreadable or Read (it can be read); the text is never filled in.
    ScriptFile::State state() const { return fileState; }
    bool next(CheckLine *line) override;

private:
    bool nextTextLine(QString *line);

    QFile file;
    QTextStream stream;
    ScriptFile::State fileState = ScriptFile::Missing;
    QString block;
    int at = 0; // the start of the next line in the block
    int records = 0; // lines with two fields at least, so far
    bool nextLineEnds = false; // U+0085 ends a line: the file is in a UTF encoding
};

// No script line is longer in practice; the bound keeps a file without line ends from being
// held whole.
constexpr int kScriptLineMaxChars = 1024 * 1024;

#endif
