#ifndef CHECKENGINE_H
#define CHECKENGINE_H

#include "commandrun.h"
#include "webfetch.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

// How many checks of one run go on at once by default.
constexpr int kParallelChecks = 16;

enum class CheckStatus { Pending, Passed, Failed };
QString statusWord(CheckStatus status);

// One check line of the script.
struct CheckLine
{
    QString type; // as written; "CMD" or "URL" in any case
    QString target; // the command line or the address
    QString alias;
    QString success; // the text whose presence means success
    QString location;
    int scriptRow = -1; // the row of the script table it came from
};

// The check lines of script text ("type|target|alias|success|location" records): every
// line with at least two fields and an alias, each field trimmed after every run of
// white space has become one blank; missing fields are empty. scriptRow counts the
// records as the script table shows them (lines with fewer than two fields take none).
QList<CheckLine> checkLinesOf(const QString &scriptText);

struct CheckOutcome
{
    CheckStatus status = CheckStatus::Pending;
    QString result; // a command's trimmed output, a page's text as fetched
    QDateTime checkedAt; // before a command starts, after a page has come
};

// A command line passes when its trimmed output holds the trimmed success text; a
// command ended at its bound never passes.
CheckStatus commandVerdict(const QString &trimmedOutput, const QString &success, bool timedOut);
// A web line passes when the page holds the trimmed success text; a page cut at the
// bound never passes.
CheckStatus pageVerdict(const QString &page, const QString &success, bool timedOut);

// Runs the check lines of one run, several at once, and reports every outcome in line
// order, whatever order the checks end in. Knows no window.
class CheckRunner : public QObject
{
    Q_OBJECT

public:
    explicit CheckRunner(QObject *parent = nullptr);
    ~CheckRunner() override; // cancels

    void setParallel(int checks); // 1 runs the lines one after another
    void setBounds(int commandMs, int pageMs);
    // checked() and finished() follow from the event loop, also for no lines.
    void start(const QList<CheckLine> &lines);
    // Ends every running command (with its group) and aborts every fetch at once;
    // nothing more is reported.
    void cancel();
    bool isRunning() const { return running; }

signals:
    void checked(int index, const CheckOutcome &outcome);
    void finished();

private:
    void launchMore();
    void launch(int index);
    void complete(int index, const CheckOutcome &outcome);

    QList<CheckLine> lines;
    QHash<int, CheckOutcome> held; // ended before an earlier line
    QHash<int, QObject *> active;
    int parallel = kParallelChecks;
    int commandBound = kCommandTimeoutMs;
    int pageBound = kHttpTimeoutMs;
    int nextToLaunch = 0;
    int nextToReport = 0;
    bool running = false;
};

#endif
