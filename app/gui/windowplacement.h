#ifndef GUI_WINDOWPLACEMENT_H
#define GUI_WINDOWPLACEMENT_H

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

// The window's geometry (without its frame) at start: the form's size where it fits, else no
// larger than fits, so that the window with its frame lies within the screen's available area,
// centred in it.
QRect windowPlacement(const QRect &available, const QMargins &frame, const QSize &form);

// Places the window so on its screen before it is shown, and once more when the window manager
// has framed it: the frame is known only then.
void placeOnScreen(QWidget *window);

#endif
