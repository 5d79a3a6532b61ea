#ifndef CHECK_SCRIPT_H
#define CHECK_SCRIPT_H

#include "check/result.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One record of the check script as the editor table shows it: the file stores its fields
// in this order, "type|target|alias|success|location", one record per line.
struct ScriptRecord
{
    QString type;
    QString target;
    QString alias;
    QString success;
    QString location;
};

// The check script file in the program's data folder.
QString scriptFilePath();

// The fields of one script line, each trimmed, after every run of white space has
// become one blank. Empty fields are kept; there is no escaping of "|".
QStringList scriptLineFields(const QString &line);

// The record a line of script text holds; none for a line of fewer than two fields.
std::optional<ScriptRecord> scriptRecordOf(const QString &line);
// A record for every line of script text that has at least two fields (the rest of the
// lines are no records); missing fields are empty.
QList<ScriptRecord> scriptRecordsOf(const QString &text);
// Script text: one line per record that has an alias, fields as given.
QString scriptTextOf(const QList<ScriptRecord> &records);

// The check lines among the records: those with an alias, each field with its white-space
// runs as one blank; scriptRow is the record's index.
QList<CheckLine> checkLinesOf(const QList<ScriptRecord> &records);
// The check line of the record in that row; none for a record without an alias.
std::optional<CheckLine> checkLineOf(const ScriptRecord &record, int row);
QList<CheckLine> checkLinesOf(const QString &scriptText);

// The script file as read: a missing file is an empty script; one that exists but cannot be
// read (no permission, a folder, anything but a regular file) must not be taken for one.
struct ScriptFile
{
    enum State { Missing, Unreadable, Read };
    State state = Missing;
    QString text;
};
ScriptFile readScriptFile(const QString &path);
// How many lines readScriptFile would give, counted without holding the file; 0 for a file it
// would not read.
qint64 scriptFileLines(const QString &path);

#endif
