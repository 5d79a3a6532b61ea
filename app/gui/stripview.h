#ifndef GUI_STRIPVIEW_H
#define GUI_STRIPVIEW_H

#include "check/statusstrip.h"

#include <QWidget>

// A status strip drawn as a row of coloured spans, oldest on the left: green, red or grey.
// Pointing at a span tells its time and checks.
class StripView : public QWidget
{
public:
    explicit StripView(QWidget *parent = nullptr);

    void setStrip(const StatusStrip &strip);
    const StatusStrip &strip() const { return shown; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    static QColor colourOf(StripSpan::Look look);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    QRectF spanRect(int index) const;

    StatusStrip shown;
};

#endif
