#ifndef CHECK_RESULT_H
#define CHECK_RESULT_H

#include <QDateTime>
#include <QString>

#include <optional>

enum class Verdict { Pending, Passed, Failed };
// "正常", "异常" or "待检测".
QString verdictWord(Verdict verdict);

// One check line of the script, each field trimmed with every run of white space as one blank.
struct CheckLine
{
    QString type; // as written; "CMD" or "URL" in any case
    QString target; // the command line or the address
    QString alias;
    QString success; // the text whose presence means success
    QString location;
    int scriptRow = -1; // its row in the script as the editor table shows it
};

// What one check of a run gave. Every view, the log, the copy, the report and every output
// format is made from these.
struct CheckResult
{
    CheckLine line;
    Verdict verdict = Verdict::Pending;
    QString reason; // why the check could not run; empty when it ran
    // A command's trimmed standard output, or a page's text: as much as the run keeps of it (see
    // TextBounds), ended by the cut note where it was cut.
    QString output;
    QDateTime checkedAt; // before a command starts, after a page has come
    qint64 durationMs = 0;
    std::optional<int> exitCode; // of a command that ended by itself
    std::optional<int> httpStatus; // of a page that got an HTTP reply
};

// The target as it is shown, printed, logged and stored: a web address's password as "***"
// (the user name stays). The script keeps and the check uses the target as written.
QString shownTarget(const CheckLine &line);

// The result a row shows: for a check that could not run its reason, then on the next line
// whatever did come; otherwise the output.
QString resultText(const CheckResult &result);

#endif
