#include "app/gui/devicegrid.h"

#include <QWidget>

namespace
{
constexpr int kGap = 8; // between two cells, either way
constexpr int kHintColumns = 4; // the preferred shape; the real one follows the width
} // namespace

DeviceGrid::DeviceGrid(QWidget *parent)
    : QLayout(parent)
{
}

DeviceGrid::~DeviceGrid()
{
    qDeleteAll(items);
}

void DeviceGrid::setCell(const QSize &size)
{
    if (size == cell)
        return;
    cell = size;
    invalidate();
}

void DeviceGrid::addItem(QLayoutItem *item)
{
    items.append(item);
    invalidate();
}

int DeviceGrid::count() const
{
    return items.size();
}

QLayoutItem *DeviceGrid::itemAt(int index) const
{
    return items.value(index);
}

QLayoutItem *DeviceGrid::takeAt(int index)
{
    if (index < 0 || index >= items.size())
        return nullptr;
    QLayoutItem *item = items.takeAt(index);
    invalidate();
    return item;
}

QSize DeviceGrid::sizeHint() const
{
    return gridSize(qMin(int(items.size()), kHintColumns));
}

QSize DeviceGrid::minimumSize() const
{
    // One cell: the height the width asks for comes from heightForWidth.
    const QMargins m = contentsMargins();
    return cell + QSize(m.left() + m.right(), m.top() + m.bottom());
}

Qt::Orientations DeviceGrid::expandingDirections() const
{
    return {};
}

bool DeviceGrid::hasHeightForWidth() const
{
    return true;
}

int DeviceGrid::heightForWidth(int width) const
{
    return gridSize(columnsFor(width)).height();
}

void DeviceGrid::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    const QRect inner = rect.marginsRemoved(contentsMargins());
    const QSize size = cell;
    const int columns = columnsFor(rect.width());
    for (int i = 0; i < items.size(); ++i) {
        const QPoint at(inner.left() + i % columns * (size.width() + kGap),
            inner.top() + i / columns * (size.height() + kGap));
        // Labels come a step at a time: those in place stay untouched. Each gets its cell as it is,
        // not through its layout item, which would ask the label's size all over again.
        QWidget *widget = items.at(i)->widget();
        if (!widget)
            items.at(i)->setGeometry(QRect(at, size));
        else if (widget->geometry() != QRect(at, size))
            widget->setGeometry(QRect(at, size));
    }
}

int DeviceGrid::columnsFor(int width) const
{
    const QMargins m = contentsMargins();
    const int fit = (width - m.left() - m.right() + kGap) / (cell.width() + kGap);
    return qBound(1, fit, qMax(1, int(items.size())));
}

QSize DeviceGrid::gridSize(int columns) const
{
    const QMargins m = contentsMargins();
    const QSize size = cell;
    columns = qMax(1, columns);
    const int rows = (int(items.size()) + columns - 1) / columns;
    const auto span
        = [](int cells, int extent) { return cells > 0 ? cells * extent + (cells - 1) * kGap : 0; };
    return QSize(span(qMin(columns, int(items.size())), size.width()) + m.left() + m.right(),
        span(rows, size.height()) + m.top() + m.bottom());
}
