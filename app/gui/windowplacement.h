#ifndef GUI_WINDOWPLACEMENT_H
#define GUI_WINDOWPLACEMENT_H

#include <QPoint>
#include <QSize>

// Top-left corner that centres a window on the desktop. Plain int division
// (truncating toward zero); the desktop origin and the window frame are ignored.
QPoint centredPosition(const QSize &desktop, const QSize &window);

#endif
