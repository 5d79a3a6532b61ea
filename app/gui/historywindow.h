#ifndef GUI_HISTORYWINDOW_H
#define GUI_HISTORYWINDOW_H

#include "check/historyrecords.h"

#include <QPointer>
#include <QQueue>
#include <QWidget>

class DurationChart;
class HistoryThread;
class QButtonGroup;
class QLabel;
class QStackedWidget;
class QTreeWidget;
class StripView;

// One line's history, beside the main window and not holding it: its status over the last
// day, week and month with the uptime over each, its check durations over the span picked,
// and the turns of its verdict, newest first. It reads through the window's history thread,
// when opened and whenever a run of this program has recorded its line; what other processes
// recorded meanwhile shows with the next reading.
class HistoryWindow : public QWidget
{
    Q_OBJECT

public:
    HistoryWindow(
        HistoryThread *history, const CheckLine &line, const LineKey &key, QWidget *parent = nullptr);

    const LineKey &key() const { return lineKey; }
    // Reads the line's history again: what other processes recorded since shows.
    void read();
    // The chart's span: 1, 7 or 30 days (as its buttons pick).
    void showSpan(int days);
    int span() const { return spanDays; }

signals:
    // A reading has been shown.
    void historyShown();

private:
    void readIn(const LineKey &key, const LineHistory &history, const QString &problem);
    void recorded(const QList<LineState> &states);
    void showHistory();
    void showMessage(const QString &text);
    void showChanges();

    QPointer<HistoryThread> history;
    LineKey lineKey;
    QQueue<qint64> asked; // the moments of the readings asked for and not answered yet
    qint64 readAtMs = 0; // of the reading shown
    LineHistory shown;
    int spanDays = 1;

    QLabel *lamp;
    QLabel *stateText;
    QStackedWidget *pages;
    QLabel *message;
    QVector<StripView *> strips;
    QVector<QLabel *> uptimes;
    QButtonGroup *spans;
    QLabel *figures;
    DurationChart *chart;
    QTreeWidget *changes;
};

#endif
