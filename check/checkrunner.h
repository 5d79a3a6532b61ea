#ifndef CHECK_CHECKRUNNER_H
#define CHECK_CHECKRUNNER_H

#include "check/result.h"
#include "probe/commandrun.h"
#include "probe/webfetch.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>

// How many checks of one run go on at once by default.
constexpr int kParallelChecks = 16;

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
    // checked() and finished() follow from the event loop, also for no lines.
    void start(const QList<CheckLine> &lines);
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
    void launchMore();
    void launch(int index);
    void complete(int index, CheckResult result, const QElapsedTimer &took);

    QList<CheckLine> lines;
    QHash<int, CheckResult> held; // ended before an earlier line
    QHash<int, QObject *> active;
    int parallel = kParallelChecks;
    int commandBound = kCommandTimeoutMs;
    int pageBound = kHttpTimeoutMs;
    int nextToLaunch = 0;
    int nextToReport = 0;
    bool running = false;
};

#endif
