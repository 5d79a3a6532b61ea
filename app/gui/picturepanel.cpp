#include "app/gui/picturepanel.h"
#include "app/gui/richtext.h"
#include "check/clock.h"
#include "check/device.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <functional>

namespace
{
// Calls back before a watched label's tooltip shows, which the label then shows as usual.
class ToolTipWatch : public QObject
{
public:
    ToolTipWatch(QObject *parent, std::function<void(QLabel *)> before)
        : QObject(parent)
        , before(std::move(before))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ToolTip)
            before(static_cast<QLabel *>(watched));
        return false;
    }

private:
    std::function<void(QLabel *)> before;
};
} // namespace

PicturePanel::PicturePanel(QWidget *panel, QHBoxLayout *layout)
    : panel(panel)
    , layout(layout)
    , toolTips(new ToolTipWatch(panel, [this](QLabel *label) {
        // The time a line has held its verdict counts to the moment it is read.
        const auto found = marked.constFind(label);
        if (found != marked.constEnd())
            label->setToolTip(plainToolTip(run->toolTipText(*found, currentTime())));
    }))
{
}

void PicturePanel::rebuild(const QList<PanelDevice> &devices)
{
    // Delete at once, so a second rebuild finds no boxes left over. A box nested
    // in another one dies with its parent; the guard skips it.
    QList<QPointer<QGroupBox>> old;
    for (QGroupBox *box : panel->findChildren<QGroupBox *>())
        old << box;
    for (const QPointer<QGroupBox> &box : qAsConst(old))
        delete box.data();
    labels.clear();
    marked.clear();
    run.reset();

    // A device label renders its picture once the panel is shown: a rich label holds a text
    // document of its own, and 100,000 of them took 2 GB and seconds to build and tear down
    // in a panel nobody looked at.
    const bool shown = !panel->isHidden();
    QStringList locations;
    for (const PanelDevice &device : devices) {
        if (!locations.contains(device.location))
            locations << device.location;
    }
    for (const QString &location : qAsConst(locations)) {
        auto *box = new QGroupBox(location);
        layout->addWidget(box);
        auto *column = new QVBoxLayout;
        for (const PanelDevice &device : devices) {
            if (device.location != location)
                continue;
            auto *label = new QLabel;
            label->setTextFormat(shown ? Qt::RichText : Qt::PlainText);
            label->setText(deviceLabelText(device.alias, device.pictured));
            label->setToolTip(QString::number(device.scriptRow));
            labels.insert(device.scriptRow, label);
            column->addWidget(label);
        }
        box->setLayout(column);
    }
}

void PicturePanel::mark(const std::shared_ptr<const RunRecords> &of, int index)
{
    const CheckResult &result = of->results.at(index);
    if (QLabel *label = labels.value(result.line.scriptRow)) {
        if (run != of) {
            run = of;
            marked.clear();
        }
        label->setText(deviceLabelText(result.line.alias, true, deviceMark(result.verdict)));
        label->setToolTip(plainToolTip(run->toolTipText(index, currentTime())));
        label->installEventFilter(toolTips); // once: a filter installed again only moves
        marked.insert(label, index);
    }
}

void PicturePanel::renderPictures()
{
    for (const QPointer<QLabel> &label : qAsConst(labels)) {
        if (label)
            label->setTextFormat(Qt::RichText);
    }
}

int PicturePanel::scriptRowOf(const QWidget *label) const
{
    for (auto it = labels.constBegin(); it != labels.constEnd(); ++it) {
        if (it.value() == label)
            return it.key();
    }
    return -1;
}
