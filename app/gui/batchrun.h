#ifndef GUI_BATCHRUN_H
#define GUI_BATCHRUN_H

#include <QString>

class HistoryThread;
class PicturePanel;
class ResultsView;
class ScriptPage;
class Ui_fromlanrik;
class QWidget;

// Test seams for the window's runs: the bounds of a check (a command, a page; 0 or less restores
// the runner's and the fetch's own) and how many checks go on at once (0 or less: the default).
void setCheckBounds(int commandMs, int pageMs);
void setParallelChecks(int checks);

// A batch run in the window: every check line of the script table as it is now, each result
// shown in its row as soon as its check ends; on its device label, in the day's log, in the
// history (whose states then show in the tooltips), in the metrics file when one is set and, when
// it failed and speech is on, spoken in script order, whatever order the checks end in. The window
// takes every input meanwhile; closing it ends the run.
class BatchRun
{
public:
    BatchRun(QWidget *window, Ui_fromlanrik *ui, ScriptPage &script, ResultsView &results,
        PicturePanel &pictures, HistoryThread &history);

    // Returns once the run is over; a run asked for while one is under way is refused.
    void run();
    bool running() const { return underWay; }
    // Runs started so far, refused ones not counted.
    int runsStarted() const { return started; }

private:
    QWidget *window;
    Ui_fromlanrik *ui;
    ScriptPage &script;
    ResultsView &results;
    PicturePanel &pictures;
    HistoryThread &history;
    bool underWay = false;
    int started = 0;
};

#endif
