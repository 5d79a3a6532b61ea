#include "app/gui/durationchart.h"

#include <qwt_date.h>
#include <qwt_date_scale_draw.h>
#include <qwt_date_scale_engine.h>
#include <qwt_legend.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_scale_engine.h>

namespace
{
// The height of an empty chart, and the least a chart of short durations shows.
constexpr double kLeastTopMs = 10;
constexpr QSize kLeastSize(320, 200);
// Room above the longest duration drawn.
constexpr double kHeadroom = 1.15;

const QColor kLineColour(0x1f, 0x6f, 0xb5);
// Above the grid, the line, and above it the failures.
constexpr double kLineZ = 20, kFailureZ = 25;

void lineStyle(QwtPlotCurve *curve)
{
    curve->setPen(kLineColour, 1.5);
    curve->setRenderHint(QwtPlotItem::RenderAntialiased);
    curve->setZ(kLineZ);
}

QwtDateScaleDraw *timeScale()
{
    auto *draw = new QwtDateScaleDraw(Qt::LocalTime);
    draw->setDateFormat(QwtDate::Minute, QStringLiteral("hh:mm"));
    draw->setDateFormat(QwtDate::Hour, QStringLiteral("hh:mm"));
    draw->setDateFormat(QwtDate::Day, QStringLiteral("MM-dd"));
    draw->setDateFormat(QwtDate::Week, QStringLiteral("MM-dd"));
    draw->setDateFormat(QwtDate::Month, QStringLiteral("yyyy-MM"));
    return draw;
}
} // namespace

DurationChart::DurationChart(QWidget *parent)
    : QwtPlot(parent)
    , line(new QwtPlotCurve(QStringLiteral("检测耗时")))
    , failures(new QwtPlotCurve(QStringLiteral("检测失败")))
{
    // A month's time scale asks for more room than a small window has; it takes what it gets.
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMinimumSize(kLeastSize);
    setCanvasBackground(Qt::white);
    if (auto *canvas = qobject_cast<QwtPlotCanvas *>(this->canvas()))
        canvas->setFrameStyle(QFrame::NoFrame);
    setAxisScaleDraw(xBottom, timeScale());
    setAxisScaleEngine(xBottom, new QwtDateScaleEngine(Qt::LocalTime));
    setAxisTitle(yLeft, QStringLiteral("耗时（毫秒）"));
    setAxisMaxMajor(xBottom, 8);
    setAxisMaxMajor(yLeft, 6);

    auto *grid = new QwtPlotGrid;
    grid->setMajorPen(QColor(0xe3, 0xe6, 0xea), 1, Qt::SolidLine);
    grid->attach(this);

    lineStyle(line);
    line->attach(this);

    failures->setStyle(QwtPlotCurve::Sticks);
    failures->setPen(QColor(0xd9, 0x3a, 0x33, 190), 2);
    failures->setBaseline(0);
    failures->setItemAttribute(QwtPlotItem::AutoScale, false);
    failures->setZ(kFailureZ);
    failures->attach(this);

    insertLegend(new QwtLegend, BottomLegend);
    setAutoReplot(false);
}

void DurationChart::setChecks(const QVector<CheckPoint> &checks, qint64 fromMs, qint64 toMs)
{
    this->checks = checks;
    this->fromMs = fromMs;
    this->toMs = toMs;
    draw();
}

void DurationChart::resizeEvent(QResizeEvent *event)
{
    QwtPlot::resizeEvent(event);
    if (canvas()->contentsRect().width() != columns)
        draw();
}

void DurationChart::draw()
{
    columns = canvas()->contentsRect().width();
    drawn = thinnedPoints(checks, fromMs, toMs, columns);
    QVector<QVector<QPointF>> passed(1);
    QVector<QPointF> failed;
    double longest = 0;
    bool paused = false;
    for (const ChartPoint &p : qAsConst(drawn)) {
        paused |= p.gapBefore;
        if (p.failed) {
            failed.append(QPointF(p.atMs, 0));
            continue;
        }
        if (paused && !passed.last().isEmpty())
            passed.append(QVector<QPointF>());
        paused = false;
        passed.last().append(QPointF(p.atMs, p.durationMs));
        longest = qMax(longest, double(p.durationMs));
    }
    double low = 0, top = qMax(kLeastTopMs, longest * kHeadroom), step = 0;
    QwtLinearScaleEngine().autoScale(axisMaxMajor(yLeft), low, top, step);
    setAxisScale(yLeft, 0, top, step);
    for (QPointF &p : failed)
        p.setY(top);
    qDeleteAll(parts);
    parts.clear();
    line->setSamples(passed.first());
    for (int i = 1; i < passed.size(); ++i) {
        parts << new QwtPlotCurve;
        lineStyle(parts.last());
        parts.last()->setItemAttribute(QwtPlotItem::Legend, false);
        parts.last()->setSamples(passed.at(i));
        parts.last()->attach(this);
    }
    failures->setSamples(failed);
    setAxisScale(xBottom, fromMs, toMs);
    replot();
}
