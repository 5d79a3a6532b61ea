#include "app/gui/windowplacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace
{
// A window manager frames a new window within moments of its showing; a move after that is the
// user's, and stays.
constexpr int kFramingMs = 3000;

QMargins frameOf(const QWidget *window)
{
    const QRect inner = window->geometry();
    const QRect outer = window->frameGeometry();
    return { inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
        outer.bottom() - inner.bottom() };
}

QRect availableArea(const QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// Places the window again the first time it has a frame.
class FrameWatch : public QObject
{
public:
    FrameWatch(QWidget *window, const QSize &form)
        : QObject(window)
        , window(window)
        , form(form)
    {
        window->installEventFilter(this);
        QTimer::singleShot(kFramingMs, this, &QObject::deleteLater);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const bool moved = event->type() == QEvent::Move || event->type() == QEvent::Resize;
        if (watched != window || !moved || frameOf(window).isNull())
            return false;
        window->removeEventFilter(this);
        deleteLater();
        const QRect placed = windowPlacement(availableArea(window), frameOf(window), form);
        if (placed != window->geometry())
            window->setGeometry(placed);
        return false;
    }

private:
    QWidget *window;
    QSize form;
};
} // namespace

QRect windowPlacement(const QRect &available, const QMargins &frame, const QSize &form)
{
    const QSize frameSize(frame.left() + frame.right(), frame.top() + frame.bottom());
    const QSize size = form.boundedTo(available.size() - frameSize).expandedTo(QSize(1, 1));
    const QSize outer = size + frameSize;
    const QPoint corner(available.left() + (available.width() - outer.width()) / 2,
        available.top() + (available.height() - outer.height()) / 2);
    return QRect(corner + QPoint(frame.left(), frame.top()), size);
}

void placeOnScreen(QWidget *window)
{
    const QSize form = window->size();
    const QRect available = availableArea(window);
    if (available.isEmpty())
        return;
    window->setGeometry(windowPlacement(available, frameOf(window), form));
    new FrameWatch(window, form);
}
