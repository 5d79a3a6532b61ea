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
    // What the row shows: a command's trimmed output, a page's text as fetched. For a
    // check that could not run: its reason, then on the next line whatever did come.
    QString result;
    QString failure; // why the check could not run; empty when it ran
    QDateTime checkedAt; // before a command starts, after a page has come
};

// Why a command could not run (its program not started, its bound reached); empty
// when it ran to its end, whatever it printed or returned.
QString commandFailure(bool couldNotStart, const QString &program, bool timedOut, int boundMs);
// Why a page could not be fetched whole (refused, no such host, no secure connection,
// cut off, its bound reached, or not fetched at all); empty when it came. An HTTP error
// status is a page that came, and a body cut at our own cap is judged on its part.
QString pageFailure(const HttpDownload &download, int boundMs);
// A check that could not run fails, whatever its success text; one that ran passes
// when its text (a command's trimmed output, a page) holds the trimmed success text.
CheckOutcome checkOutcome(const QString &text, const QString &success, const QString &failure);

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
