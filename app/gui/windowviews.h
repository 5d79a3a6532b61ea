#ifndef GUI_WINDOWVIEWS_H
#define GUI_WINDOWVIEWS_H

#include "app/gui/batchrun.h"
#include "app/gui/commandpage.h"
#include "app/gui/historywindows.h"
#include "app/gui/picturepanel.h"
#include "app/gui/resultsview.h"
#include "app/gui/scanpage.h"
#include "app/gui/scheduleview.h"
#include "app/gui/scriptpage.h"
#include "app/gui/webpagetab.h"
#include "check/historythread.h"

#include <QObject>

struct StartupAddresses;
class Ui_fromlanrik;

// The views of the window's pages, made with the window as a child of it. The window's slots
// are short calls into these; the views keep what the window shows (the last run's records),
// the widgets only show it.
class WindowViews : public QObject
{
    Q_OBJECT

public:
    WindowViews(QWidget *window, Ui_fromlanrik *ui);
    static WindowViews *of(const QWidget *window);

    // What start-up shows on the pages: the scan tree's header, the basic information page and
    // the host name, the script, the results table's first layout, the tab texts, the about and
    // advertisement pages, the schedule list and, once speech answers, its box.
    void start(const StartupAddresses &addresses);
    // Switches between the results table and the picture panel.
    void switchResultsView();
    void showResultsTable();

    // The history of the window's runs, kept on a thread of its own while the window lives.
    HistoryThread history;
    ScriptPage script;
    ResultsView results;
    PicturePanel pictures;
    BatchRun batch;
    ScheduleView schedule;
    ScanPage scan;
    CommandPage command;
    WebPageTab page;
    HistoryWindows histories;

private:
    QWidget *window;
    Ui_fromlanrik *ui;
};

#endif
