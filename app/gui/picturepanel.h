#ifndef GUI_PICTUREPANEL_H
#define GUI_PICTUREPANEL_H

#include "check/runrecords.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QTimer>

#include <memory>

class DeviceGrid;
class QHBoxLayout;
class QLabel;
class QObject;
class QScrollArea;
class QVBoxLayout;
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
// first occur, with a device label per row of that location, the labels of a location in as many
// columns and rows as they need, the whole scrolling where it does not fit. Labels are made only
// while the panel is shown, a few at a time, so a script of thousands of devices never holds the
// window up; what a run said of a device is kept until its label is made.
class PicturePanel
{
public:
    PicturePanel(QWidget *panel, QHBoxLayout *layout);

    // The devices to show from now on; a run's marks of the former ones are dropped.
    void rebuild(const QList<PanelDevice> &devices);
    // A run's result on the label of its script row: the pass or fail mark, and as tooltip, made
    // again whenever it is shown, the result and how long its line has held its verdict.
    void mark(const std::shared_ptr<const RunRecords> &run, int index);
    // The panel has been shown: its labels are made, the first ones at once, the rest in steps.
    // Called by rebuild too, which has the labels made only if the panel is shown.
    void shown();
    // Whether every device has its label, and the former ones are gone.
    bool complete() const;
    // The script row of a device label, or -1 for any other widget.
    int scriptRowOf(const QWidget *label) const;

private:
    // A location's box, and what its cell was measured from.
    struct Location
    {
        DeviceGrid *grid = nullptr;
        QSize cell;
        QHash<int, int> widest; // by label shape: the widest name measured
    };
    struct Label
    {
        QPointer<QLabel> label;
        QString location;
    };

    void buildStep();
    void showMark(QLabel *label, int index);
    // Adds the device's label to its location's box, hidden until the step ends; the box.
    QWidget *addLabel(const PanelDevice &device);
    // Widens the location's cell to the label's size where the label may need more.
    void fit(Location &location, QLabel *label, const QString &alias, int shape);

    QWidget *panel;
    QScrollArea *scroll;
    QVBoxLayout *boxes;
    QList<PanelDevice> devices; // one location after another
    QHash<int, int> marks; // by script row: the index of its result in the run
    QObject *toolTips; // makes a marked label's tooltip before it shows
    std::shared_ptr<const RunRecords> run; // of the marks
    QHash<const QLabel *, int> marked; // the index of each marked label's result in the run
    QHash<int, Label> labels; // by script row
    QHash<QString, Location> locations;
    QList<QPointer<QWidget>> retired; // boxes of former devices, hidden, to be deleted
    int built = 0; // devices that have their label
    QTimer builder;
};

#endif
