#ifndef GUI_PICTUREPANEL_H
#define GUI_PICTUREPANEL_H

#include "check/result.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>

class QHBoxLayout;
class QLabel;
class QWidget;

// A row of the script that has a location, as the picture panel shows it.
struct PanelDevice
{
    int scriptRow = -1;
    QString location;
    QString alias;
    bool pictured = false; // the row has an alias cell
};

// The picture panel of the page "批量检测": a group box per location, in the order the locations
// first occur, with a device label per row of that location.
class PicturePanel
{
public:
    PicturePanel(QWidget *panel, QHBoxLayout *layout);

    void rebuild(const QList<PanelDevice> &devices);
    // A run's result on the label of its script row: the pass or fail mark, and the result as tooltip.
    void mark(const CheckResult &result);
    // Device labels render their pictures once the panel is first shown.
    void renderPictures();

private:
    QWidget *panel;
    QHBoxLayout *layout;
    QHash<int, QPointer<QLabel>> labels; // by script row
};

#endif
