#include "app/gui/historywindows.h"
#include "app/gui/historywindow.h"
#include "app/gui/picturepanel.h"
#include "app/gui/resultsview.h"
#include "app/gui/scriptpage.h"

#include <QChildEvent>
#include <QTableWidget>

#include <functional>

namespace
{
// Calls back on a double-click on a watched widget, and watches every widget added into one:
// the picture panel makes its labels anew with each run.
class DoubleClickWatch : public QObject
{
public:
    DoubleClickWatch(QWidget *area, std::function<void(QWidget *)> clicked)
        : QObject(area)
        , clicked(std::move(clicked))
    {
        watch(area);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ChildAdded) {
            QObject *child = static_cast<QChildEvent *>(event)->child();
            if (child->isWidgetType())
                watch(static_cast<QWidget *>(child));
        } else if (event->type() == QEvent::MouseButtonDblClick && watched->isWidgetType()) {
            clicked(static_cast<QWidget *>(watched));
        }
        return false;
    }

private:
    void watch(QWidget *widget)
    {
        widget->installEventFilter(this); // again only moves it
        for (QWidget *child : widget->findChildren<QWidget *>())
            child->installEventFilter(this);
    }

    std::function<void(QWidget *)> clicked;
};

QList<CheckLine> linesOf(const QList<CheckResult> &results)
{
    QList<CheckLine> lines;
    for (const CheckResult &result : results)
        lines << result.line;
    return lines;
}

int indexOfRow(const QList<CheckLine> &lines, int scriptRow)
{
    for (int i = 0; i < lines.size(); ++i) {
        if (lines.at(i).scriptRow == scriptRow)
            return i;
    }
    return -1;
}
} // namespace

HistoryWindows::HistoryWindows(QWidget *window, HistoryThread &history, const ScriptPage &script,
    const ResultsView &results, const PicturePanel &pictures)
    : window(window)
    , history(history)
    , script(script)
    , results(results)
    , pictures(pictures)
{
}

void HistoryWindows::watch(QTableWidget *table, QWidget *panel)
{
    connect(table, &QTableWidget::cellDoubleClicked, this, [this](int row) { openRow(row); });
    new DoubleClickWatch(panel, [this](QWidget *label) { openPicture(label); });
}

HistoryWindow *HistoryWindows::open(const QList<CheckLine> &lines, int index)
{
    if (index < 0 || index >= lines.size())
        return nullptr;
    const LineKey key = lineKeysOf(lines).at(index);
    HistoryWindow *shown = opened.value(key);
    if (shown) {
        shown->read(); // a run of another process (from cron) may have come since
    } else {
        shown = new HistoryWindow(&history, lines.at(index), key, window);
        opened.insert(key, shown);
    }
    shown->setWindowState(shown->windowState() & ~Qt::WindowMinimized);
    shown->show();
    shown->raise();
    shown->activateWindow();
    return shown;
}

void HistoryWindows::openRow(int row)
{
    open(linesOf(results.records()), results.recordOfRow(row));
}

void HistoryWindows::openPicture(QWidget *label)
{
    const int scriptRow = pictures.scriptRowOf(label);
    if (scriptRow < 0)
        return;
    // The line as the last run checked it; a label of a panel made before any run, as the
    // script has it now.
    const QList<CheckLine> checked = linesOf(results.records());
    if (indexOfRow(checked, scriptRow) >= 0) {
        open(checked, indexOfRow(checked, scriptRow));
        return;
    }
    const QList<CheckLine> lines = script.checkLines();
    open(lines, indexOfRow(lines, scriptRow));
}
