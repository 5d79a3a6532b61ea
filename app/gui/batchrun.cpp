#include "app/gui/batchrun.h"
#include "app/gui/buttonoff.h"
#include "app/gui/messagebox.h"
#include "app/gui/picturepanel.h"
#include "app/gui/resultsview.h"
#include "app/gui/scriptpage.h"
#include "app/gui/speech.h"
#include "check/checkrunner.h"
#include "check/clock.h"
#include "check/historyrecorder.h"
#include "check/metricsfile.h"
#include "check/metricsrecorder.h"
#include "check/notifyrecorder.h"
#include "check/runrecorder.h"
#include "probe/busy.h"
#include "ui_fromlanrik.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QHash>
#include <QPointer>

namespace
{
int commandBoundMs = kCommandTimeoutMs;
int pageBoundMs = kHttpTimeoutMs;
int parallelChecks = kParallelChecks;

// Cancels the run once its window is really closed (hidden by the program, not minimised): a
// question on closing may still keep the window, and the run with it.
class CloseWatch : public QObject
{
public:
    CloseWatch(QWidget *window, CheckRunner *runner, QEventLoop *loop)
        : window(window)
        , runner(runner)
        , loop(loop)
    {
        window->installEventFilter(this);
    }
    ~CloseWatch() override
    {
        if (window)
            window->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == window && event->type() == QEvent::Hide && !event->spontaneous()) {
            runner->cancel();
            loop->quit();
        }
        return false;
    }

private:
    QPointer<QWidget> window;
    CheckRunner *runner;
    QEventLoop *loop;
};

// Told without waiting for an answer: a scheduled run must go on while nobody is there, and
// runs that keep failing do not pile boxes up (one box of each kind at a time).
void warnOnce(QWidget *window, RunTrouble kind, const QString &text)
{
    static QHash<int, QPointer<QMessageBox>> open;
    if (!open.value(int(kind)))
        open.insert(int(kind), MessageBox::openWarning(window, QStringLiteral("警告"), text));
}
} // namespace

void setCheckBounds(int commandMs, int pageMs)
{
    commandBoundMs = commandMs > 0 ? commandMs : kCommandTimeoutMs;
    pageBoundMs = pageMs > 0 ? pageMs : kHttpTimeoutMs;
}

void setParallelChecks(int checks)
{
    parallelChecks = checks > 0 ? checks : kParallelChecks;
}

BatchRun::BatchRun(QWidget *window, Ui_fromlanrik *ui, ScriptPage &script, ResultsView &results,
    PicturePanel &pictures, HistoryThread &history)
    : window(window)
    , ui(ui)
    , script(script)
    , results(results)
    , pictures(pictures)
    , history(history)
{
}

void BatchRun::run()
{
    // Never two runs at once: a second request (a click that slipped through, a schedule
    // timeout) is refused.
    if (underWay)
        return;
    underWay = true;
    const BusyScope busy;
    const ButtonOff buttonOff(ui->cmdScriptStart);

    ++started;
    // A cell still being edited is part of the script the user sees.
    script.commitEdit();
    pictures.rebuild(script.devices());
    // Edits of the script table during the run change nothing in it.
    const QList<CheckLine> lines = script.checkLines();
    results.begin(lines);

    const std::shared_ptr<RunRecords> records = results.currentRun();

    // netcheck.ini is read for every run, so an edit counts from the next run on.
    // A name the collector would not read writes no file at all.
    const QString metricsFile = readSettings(settingsPath()).metricsFile;
    const bool metricsNamed = metricsFile.isEmpty() || isMetricsFilePath(metricsFile);

    auto *recorders = new RunRecorders;
    recorders->add(new DailyLogRecorder);
    auto *historyRecorder = new HistoryRecorder(&history);
    recorders->add(historyRecorder);
    recorders->add(new NotifyRecorder(historyRecorder));
    if (metricsNamed && !metricsFile.isEmpty())
        recorders->add(new MetricsRecorder(metricsFile));
    // The states come after the run; by then the table may show a later one.
    QObject::connect(historyRecorder, &HistoryRecorder::statesKnown, window,
        [run = std::weak_ptr<RunRecords>(records)](
            const QList<CheckResult> &, const QList<LineState> &states) {
            if (const std::shared_ptr<RunRecords> kept = run.lock())
                kept->states = states;
        });
    QElapsedTimer took;
    took.start();
    recorders->begin(lines, currentTime());
    CheckRunner runner;
    runner.setParallel(parallelChecks);
    runner.setBounds(commandBoundMs, pageBoundMs);
    QObject::connect(&runner, &CheckRunner::ended,
        [&](int index, const CheckResult &result) { results.show(index, result); });
    QObject::connect(&runner, &CheckRunner::checked, [&](int index, const CheckResult &result) {
        results.add(index, result);
        if (result.verdict != Verdict::Passed && ui->chkSpack->isChecked())
            speakText(result.line.alias + QStringLiteral("发现异常！"));
        pictures.mark(records, records->results.size() - 1);
        recorders->record(result);
    });

    QEventLoop loop;
    QObject::connect(&runner, &CheckRunner::finished, &loop, &QEventLoop::quit);
    const CloseWatch closing(window, &runner, &loop);
    runner.start(lines);
    // The window takes every input meanwhile: other tabs, scrolling, copying.
    loop.exec();
    runner.cancel();
    underWay = false;
    // Told once the run is over; what a recorder still has to do goes on without the window
    // waiting for it.
    QPointer<QWidget> shown = window;
    QObject::connect(
        recorders, &RunRecorders::trouble, recorders, [shown](RunTrouble kind, const QString &text) {
            if (shown && shown->isVisible())
                warnOnce(shown, kind, text);
        });
    if (!metricsNamed)
        warnOnce(
            window, RunTrouble::Metrics, QStringLiteral("指标文件名必须以 .prom 结尾：%1").arg(metricsFile));
    QObject::connect(recorders, &RunRecorders::done, recorders, &QObject::deleteLater);
    recorders->finish(took.elapsed());
}
