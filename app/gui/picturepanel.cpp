#include "app/gui/picturepanel.h"
#include "app/gui/devicegrid.h"
#include "app/gui/richtext.h"
#include "check/clock.h"
#include "check/device.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QTextDocument>
#include <QTextFrame>
#include <QUrl>
#include <QVBoxLayout>
#include <QtMath>
#include <algorithm>
#include <functional>

namespace
{
// Labels are made for at most this long before the window handles its input again: a rich
// label lays out a document of its own, and thousands of them take seconds.
constexpr int kBuildStepMs = 40;

// The pictures a label names, decoded once at the size they are shown at and shared by every
// label: a label's own document would decode each again at full size (a megabyte a mark) and keep it.
void sharePictures(QLabel *label)
{
    static const QList<QPair<QUrl, QPixmap>> shared = [] {
        QList<QPair<QUrl, QPixmap>> pictures;
        const qreal ratio = qApp->devicePixelRatio();
        for (const QPair<QString, int> &picture : devicePictures()) {
            QPixmap pixmap(picture.first);
            if (pixmap.isNull())
                continue; // the toolkit's own placeholder, as for any picture missing
            pixmap = pixmap.scaled(
                QSize(picture.second, picture.second) * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            pixmap.setDevicePixelRatio(ratio);
            pictures.append({ QUrl(QStringLiteral("qrc") + picture.first), pixmap });
        }
        return pictures;
    }();
    auto *document = label->findChild<QTextDocument *>();
    for (const QPair<QUrl, QPixmap> &picture : shared) {
        if (document && label->text().contains(picture.first.path()))
            document->addResource(QTextDocument::ImageResource, picture.first, picture.second);
    }
}

// The size a device label needs to show all of itself, laid out the way it lays itself out to paint
// (no wrapping, no frame margin) at the width its content takes side by side. Not its size hint: with
// the picture floating left, that can be too narrow for picture, mark and name, which then overlap.
QSize neededSize(const QLabel *label)
{
    InertTextDocument document;
    document.setDefaultFont(label->font());
    QTextOption option = document.defaultTextOption();
    option.setWrapMode(QTextOption::ManualWrap);
    document.setDefaultTextOption(option);
    document.setHtml(label->text());
    QTextFrameFormat frame = document.rootFrame()->frameFormat();
    frame.setMargin(0);
    document.rootFrame()->setFrameFormat(frame);
    document.setTextWidth(QWIDGETSIZE_MAX);
    document.setTextWidth(qCeil(document.idealWidth()));
    return QSize(qCeil(document.idealWidth()), qCeil(document.size().height()));
}

// What a label's size follows besides its name: a picture, a mark.
enum LabelShape { Plain = 0, Pictured = 1, Marked = 3 };

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
    , scroll(new QScrollArea(panel))
    , toolTips(new ToolTipWatch(panel, [this](QLabel *label) {
        // The time a line has held its verdict counts to the moment it is read.
        const auto found = marked.constFind(label);
        if (found != marked.constEnd() && run)
            label->setToolTip(plainToolTip(run->toolTipText(*found, currentTime())));
    }))
{
    scroll->setObjectName(QStringLiteral("scrollPic"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto *content = new QWidget;
    content->setObjectName(QStringLiteral("widgetPicContent"));
    boxes = new QVBoxLayout(content);
    boxes->addStretch();
    scroll->setWidget(content);
    layout->addWidget(scroll);
    builder.setInterval(0);
    QObject::connect(&builder, &QTimer::timeout, [this] { buildStep(); });
}

void PicturePanel::rebuild(const QList<PanelDevice> &newDevices)
{
    // The former boxes leave the view at once and are deleted in steps too: thousands of labels
    // take as long to delete as to make.
    for (const Location &location : qAsConst(locations)) {
        location.grid->parentWidget()->hide();
        retired << location.grid->parentWidget();
    }
    locations.clear();
    labels.clear();
    marks.clear();
    marked.clear();
    run.reset();
    // Built one location after another, each box filled out of sight and shown once a step:
    // a label shown in a shown box lays out its whole box again.
    QHash<QString, int> rank;
    for (const PanelDevice &device : newDevices) {
        if (!rank.contains(device.location))
            rank.insert(device.location, rank.size());
    }
    devices = newDevices;
    std::stable_sort(devices.begin(), devices.end(), [&rank](const PanelDevice &a, const PanelDevice &b) {
        return rank.value(a.location) < rank.value(b.location);
    });
    built = 0;
    builder.stop();
    shown();
}

void PicturePanel::mark(const std::shared_ptr<const RunRecords> &of, int index)
{
    if (run != of) {
        run = of;
        marked.clear();
    }
    const CheckResult &result = run->results.at(index);
    marks.insert(result.line.scriptRow, index);
    const Label shown = labels.value(result.line.scriptRow);
    if (shown.label) {
        showMark(shown.label, index);
        fit(locations[shown.location], shown.label, result.line.alias, Marked);
    }
}

void PicturePanel::showMark(QLabel *label, int index)
{
    const CheckResult &result = run->results.at(index);
    label->setText(deviceLabelText(result.line.alias, true, deviceMark(result.verdict)));
    label->setToolTip(plainToolTip(run->toolTipText(index, currentTime())));
    label->installEventFilter(toolTips); // once: a filter installed again only moves
    marked.insert(label, index);
    sharePictures(label);
}

void PicturePanel::shown()
{
    if (!builder.isActive())
        buildStep();
}

bool PicturePanel::complete() const
{
    return built == devices.size() && retired.isEmpty();
}

void PicturePanel::buildStep()
{
    QElapsedTimer step;
    step.start();
    while (!retired.isEmpty() && step.elapsed() < kBuildStepMs) {
        if (!retired.last()) {
            retired.removeLast();
            continue;
        }
        const QList<QLabel *> gone
            = retired.last()->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
        for (int i = gone.size() - 1; i >= 0 && step.elapsed() < kBuildStepMs; --i)
            delete gone.at(i);
        if (gone.isEmpty())
            delete retired.takeLast().data();
    }
    // Labels are made only while they can be seen.
    const bool seen = !panel->isHidden();
    QList<QWidget *> filled;
    while (seen && built < devices.size() && step.elapsed() < kBuildStepMs) {
        QWidget *box = addLabel(devices.at(built++));
        if (!filled.contains(box))
            filled << box;
    }
    for (QWidget *box : qAsConst(filled))
        box->show();
    const bool more = !retired.isEmpty() || (seen && built < devices.size());
    if (!more)
        builder.stop();
    else if (!builder.isActive())
        builder.start();
}

QWidget *PicturePanel::addLabel(const PanelDevice &device)
{
    Location &location = locations[device.location];
    if (!location.grid) {
        auto *box = new QGroupBox(device.location);
        location.grid = new DeviceGrid(box);
        boxes->insertWidget(boxes->count() - 1, box); // above the stretch
    }
    QWidget *box = location.grid->parentWidget();
    box->hide();
    auto *label = new QLabel;
    label->setTextFormat(Qt::RichText);
    labels.insert(device.scriptRow, { label, device.location });
    const auto marked = marks.constFind(device.scriptRow);
    if (marked == marks.constEnd()) {
        label->setText(deviceLabelText(device.alias, device.pictured));
        label->setToolTip(QString::number(device.scriptRow));
        fit(location, label, device.alias, device.pictured ? Pictured : Plain);
        sharePictures(label);
    } else {
        showMark(label, *marked);
        fit(location, label, run->results.at(*marked).line.alias, Marked);
    }
    location.grid->addWidget(label);
    return box;
}

void PicturePanel::fit(Location &location, QLabel *label, const QString &alias, int shape)
{
    // Of labels of one shape, the one with the widest name is the largest: only it is measured.
    const int width = label->fontMetrics().horizontalAdvance(alias);
    const auto widest = location.widest.constFind(shape);
    if (widest != location.widest.constEnd() && *widest >= width)
        return;
    location.widest.insert(shape, width);
    location.cell = location.cell.expandedTo(neededSize(label));
    location.grid->setCell(location.cell);
}

int PicturePanel::scriptRowOf(const QWidget *label) const
{
    for (auto it = labels.constBegin(); it != labels.constEnd(); ++it) {
        if (it.value().label == label)
            return it.key();
    }
    return -1;
}
