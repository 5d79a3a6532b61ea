#ifndef GUI_PICTUREPANEL_H
#define GUI_PICTUREPANEL_H

#include "check/runrecords.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>

#include <memory>

class QHBoxLayout;
class QLabel;
class QObject;
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
    // A run's result on the label of its script row: the pass or fail mark, and as tooltip,
    // made again whenever it is shown, the result and how long its line has held its verdict.
    void mark(const std::shared_ptr<const RunRecords> &run, int index);
    // Device labels render their pictures once the panel is first shown.
    void renderPictures();
    // The script row of a device label, or -1 for any other widget.
    int scriptRowOf(const QWidget *label) const;

private:
    QWidget *panel;
    QHBoxLayout *layout;
    QHash<int, QPointer<QLabel>> labels; // by script row
    QObject *toolTips; // makes a marked label's tooltip before it shows
    std::shared_ptr<const RunRecords> run; // of the marks
    QHash<const QLabel *, int> marked; // the index of each marked label's result in the run
};

#endif
