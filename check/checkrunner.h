#ifndef CHECK_CHECKRUNNER_H
#define CHECK_CHECKRUNNER_H

#include "check/checklinesource.h"
#include "check/result.h"
#include "probe/commandrun.h"
#include "probe/webfetch.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>

// How many checks of one run go on at once by default.
constexpr int kParallelChecks = 16;

// What a run keeps of its results' texts (what the rows, the log, the copy and the report show),
// counted in UTF-8 bytes of the decoded text. Everything a check reads is still searched.
struct TextBounds
{
    int perResult = 1024 * 1024; // of each output or page
    qint64 perRun = 64 * 1024 * 1024; // of all of a run's results together, in script order
    int overRun = 4 * 1024; // of each result once the run's share is spent
};

// Runs the check lines of one run, several at once, and reports every result in line order,
// whatever order the checks end in; a view that shows each result as it comes is told at once.
// Knows no window.
class CheckRunner : public QObject
{
    Q_OBJECT

public:
    explicit CheckRunner(QObject *parent = nullptr);
    ~CheckRunner() override; // cancels

    void setParallel(int checks); // 1 runs the lines one after another
    void setBounds(int commandMs, int pageMs);
    void setTextBounds(const TextBounds &bounds);
    // checked() and finished() follow from the event loop, also for no lines.
    void start(const QList<CheckLine> &lines);
    // The lines as the source hands them out, taken only as they are started; the source is not
    // owned and must outlive the run.
    void start(CheckLineSource *source);
    // Ends every running command (with its group) and aborts every fetch at once;
    // nothing more is reported.
    void cancel();

signals:
    // Each result as its check ends, in whatever order the checks end.
    void ended(int index, const CheckResult &result);
    // Each result again, in line order: what is recorded, spoken and marked.
    void checked(int index, const CheckResult &result);
    void finished();

private:
    // A result with what its text needs to be cut later.
    struct Outcome
    {
        CheckResult result;
        bool found = false; // the success text was in what was read
        bool cut = false; // its output holds only the first part of what was read
        qint64 bytesRead = 0;
    };

    void launchMore();
    void launch(int index, const CheckLine &line);
    void complete(int index, Outcome outcome, const QElapsedTimer &took);
    // Cuts the output to the run's share as it is reported, so that what is cut never depends
    // on the order the checks end in.
    void keepWithinRun(Outcome &outcome);

    // The lines of start(QList).
    class ListSource : public CheckLineSource
    {
    public:
        QList<CheckLine> lines;
        int at = 0;
        bool next(CheckLine *line) override;
    };

    ListSource ownLines;
    CheckLineSource *source = nullptr;
    bool sourceDone = false;
    QHash<int, Outcome> held; // ended before an earlier line
    QHash<int, QObject *> active;
    int parallel = kParallelChecks;
    int commandBound = kCommandTimeoutMs;
    int pageBound = kHttpTimeoutMs;
    TextBounds textBounds;
    qint64 runTextBytes = 0; // kept by the results reported so far
    int nextToLaunch = 0;
    int nextToReport = 0;
    bool running = false;
};

#endif
