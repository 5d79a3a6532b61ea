#ifndef GUI_DURATIONCHART_H
#define GUI_DURATIONCHART_H

#include "check/chartpoints.h"

#include <qwt_plot.h>

#include <QList>

class QwtPlotCurve;

// A line's check durations over a span as a line chart, at most one point per pixel column of
// its canvas, broken where nothing was checked for a while; a column with a failed check is
// marked by a red line across the chart (a failed check's duration is its bound more often
// than a response time, so it does not scale the chart). Drawn again for its new width when
// resized.
class DurationChart : public QwtPlot
{
public:
    explicit DurationChart(QWidget *parent = nullptr);

    // The checks, oldest first; those outside fromMs to toMs are left out.
    void setChecks(const QVector<CheckPoint> &checks, qint64 fromMs, qint64 toMs);
    // What is drawn: the points of the last drawing.
    const QVector<ChartPoint> &points() const { return drawn; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void draw();

    QVector<CheckPoint> checks;
    qint64 fromMs = 0;
    qint64 toMs = 0;
    int columns = 0; // of the last drawing
    QVector<ChartPoint> drawn;
    QwtPlotCurve *line; // the first part of the line, named in the legend
    QList<QwtPlotCurve *> parts; // its other parts, after pauses
    QwtPlotCurve *failures;
};

#endif
