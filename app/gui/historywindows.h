#ifndef GUI_HISTORYWINDOWS_H
#define GUI_HISTORYWINDOWS_H

#include "check/historyrecords.h"

#include <QHash>
#include <QObject>
#include <QPointer>

class HistoryThread;
class HistoryWindow;
class PicturePanel;
class QTableWidget;
class QWidget;
class ResultsView;
class ScriptPage;

// The main window's history windows, one per line: a double-click on a results row or on a
// device picture opens its line's window, or raises it, read again, when it is open already.
class HistoryWindows : public QObject
{
public:
    HistoryWindows(QWidget *window, HistoryThread &history, const ScriptPage &script,
        const ResultsView &results, const PicturePanel &pictures);

    // Watches the results table and the picture panel (its labels, now and as they are made).
    void watch(QTableWidget *table, QWidget *panel);
    // The window of lines[index], where lines are a script's check lines in order (same lines
    // are numbered among them, as the history numbers them).
    HistoryWindow *open(const QList<CheckLine> &lines, int index);

private:
    void openRow(int row);
    void openPicture(QWidget *label);

    QWidget *window;
    HistoryThread &history;
    const ScriptPage &script;
    const ResultsView &results;
    const PicturePanel &pictures;
    QHash<LineKey, QPointer<HistoryWindow>> opened;
};

#endif
