#include "app/gui/stripview.h"
#include "check/clock.h"
#include "check/historytext.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace
{
constexpr int kStripHeight = 22;
// A gap between spans while each keeps at least this many pixels.
constexpr qreal kGapFrom = 4;
} // namespace

StripView::StripView(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void StripView::setStrip(const StatusStrip &strip)
{
    shown = strip;
    update();
}

QSize StripView::sizeHint() const
{
    return { 4 * qMax(1, shown.shape.spans), kStripHeight };
}

QSize StripView::minimumSizeHint() const
{
    return { qMax(1, shown.shape.spans), kStripHeight };
}

QColor StripView::colourOf(StripSpan::Look look)
{
    switch (look) {
    case StripSpan::Look::Passed:
        return QColor(0x3c, 0xa8, 0x5b);
    case StripSpan::Look::Failed:
        return QColor(0xd9, 0x3a, 0x33);
    case StripSpan::Look::Unchecked:
        break;
    }
    return QColor(0xd4, 0xd7, 0xdb);
}

QRectF StripView::spanRect(int index) const
{
    const qreal each = qreal(width()) / qMax(1, shown.spans.size());
    const qreal gap = each >= kGapFrom ? 1 : 0;
    return QRectF(index * each, 0, each - gap, height());
}

void StripView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    for (int i = 0; i < shown.spans.size(); ++i)
        painter.fillRect(spanRect(i), colourOf(shown.spans.at(i).look()));
}

bool StripView::event(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const int count = shown.spans.size();
    const int index = count == 0 ? -1 : qBound(0, int(help->pos().x() * count / qMax(1, width())), count - 1);
    if (index < 0) {
        QToolTip::hideText();
        return true;
    }
    const StripSpan &span = shown.spans.at(index);
    const QDateTime now = currentTime();
    const QString when = QStringLiteral("%1 – %2").arg(momentText(span.startMs, now),
        QDateTime::fromMSecsSinceEpoch(span.startMs + shown.shape.spanMs).toString(QStringLiteral("hh:mm")));
    const QString checks = span.checks == 0
        ? QStringLiteral("无检测")
        : QStringLiteral("检测 %1 次，异常 %2 次").arg(span.checks).arg(span.failures);
    QToolTip::showText(help->globalPos(), when + QLatin1Char('\n') + checks, this, spanRect(index).toRect());
    return true;
}
