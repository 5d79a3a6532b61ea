#include "app/gui/picturepanel.h"
#include "app/gui/richtext.h"
#include "check/device.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

PicturePanel::PicturePanel(QWidget *panel, QHBoxLayout *layout)
    : panel(panel)
    , layout(layout)
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

void PicturePanel::mark(const CheckResult &result)
{
    if (QLabel *label = labels.value(result.line.scriptRow)) {
        label->setText(deviceLabelText(result.line.alias, true, deviceMark(result.verdict)));
        label->setToolTip(plainToolTip(resultText(result).trimmed()));
    }
}

void PicturePanel::renderPictures()
{
    for (const QPointer<QLabel> &label : qAsConst(labels)) {
        if (label)
            label->setTextFormat(Qt::RichText);
    }
}
