#include "app/gui/historywindow.h"
#include "app/gui/durationchart.h"
#include "app/gui/resultsview.h"
#include "app/gui/stripview.h"
#include "check/clock.h"
#include "check/historystore.h"
#include "check/historytext.h"
#include "check/historythread.h"
#include "check/statusstrip.h"
#include "check/verdictturns.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace
{
// Fits beside the main window on a 1366×768 screen.
constexpr QSize kFirstSize(1100, 700);
constexpr int kLampSize = 14;
constexpr int kLeastListWidth = 280;
// The chart's spans, as the buttons pick them, in days.
constexpr int kSpanDays[] = { 1, 7, 30 };
constexpr int kLongestSpanDays = 30;
// A line that turns every run turns tens of thousands of times a month; the list shows the
// newest this many, so filling it never holds the main window.
constexpr int kMostChangesShown = 500;

QLabel *plainLabel(const QString &text = QString())
{
    auto *label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QString changeText(const VerdictTurn &change)
{
    if (change.from == Verdict::Pending)
        return QStringLiteral("首次检测：%1").arg(verdictWord(change.to));
    return QStringLiteral("%1 → %2").arg(verdictWord(change.from), verdictWord(change.to));
}
} // namespace

HistoryWindow::HistoryWindow(
    HistoryThread *history, const CheckLine &line, const LineKey &key, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , history(history)
    , lineKey(key)
    , lamp(new QLabel)
    , stateText(plainLabel())
    , pages(new QStackedWidget)
    , message(plainLabel())
    , spans(new QButtonGroup(this))
    , figures(plainLabel())
    , chart(new DurationChart)
    , changes(new QTreeWidget)
{
    setAttribute(Qt::WA_DeleteOnClose);
    const QString name = line.alias.isEmpty() ? shownTarget(line) : line.alias;
    setWindowTitle(QStringLiteral("历史记录 - %1").arg(name));
    resize(kFirstSize);

    auto *title = plainLabel(name);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    title->setFont(big);
    QString where = QStringLiteral("%1　%2").arg(line.type.toUpper(), shownTarget(line));
    if (!line.location.isEmpty())
        where += QStringLiteral("　位置：%1").arg(line.location);
    auto *detail = plainLabel(where);
    detail->setStyleSheet(QStringLiteral("color: #5f6b7a"));
    auto *state = new QHBoxLayout;
    state->addWidget(lamp);
    state->addWidget(stateText, 1);
    setLed(lamp, LedGrey, kLampSize);

    auto *stripBox = new QGroupBox(QStringLiteral("可用状态"));
    auto *stripGrid = new QGridLayout(stripBox);
    const QStringList stripNames
        = { QStringLiteral("最近 24 小时"), QStringLiteral("最近 7 天"), QStringLiteral("最近 30 天") };
    for (int i = 0; i < stripNames.size(); ++i) {
        strips << new StripView;
        uptimes << plainLabel(QStringLiteral("-"));
        QFont bold = uptimes.last()->font();
        bold.setBold(true);
        uptimes.last()->setFont(bold);
        uptimes.last()->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        uptimes.last()->setMinimumWidth(
            uptimes.last()->fontMetrics().horizontalAdvance(QStringLiteral("100.0%")) + 8);
        stripGrid->addWidget(plainLabel(stripNames.at(i)), i, 0);
        stripGrid->addWidget(strips.last(), i, 1);
        stripGrid->addWidget(uptimes.last(), i, 2);
    }
    auto *legend = new QLabel(
        QStringLiteral("<span style='color:%1'>■</span> 全部正常　<span style='color:%2'>■</span> 有异常　"
                       "<span style='color:%3'>■</span> 无检测　　右侧为可用率（正常次数 ÷ 检测次数）")
            .arg(StripView::colourOf(StripSpan::Look::Passed).name(),
                StripView::colourOf(StripSpan::Look::Failed).name(),
                StripView::colourOf(StripSpan::Look::Unchecked).name()));
    legend->setStyleSheet(QStringLiteral("color: #5f6b7a"));
    stripGrid->addWidget(legend, stripNames.size(), 1, 1, 2);
    stripGrid->setColumnStretch(1, 1);

    auto *chartBox = new QGroupBox(QStringLiteral("响应时间"));
    // The figures give way to the chart's buttons in a narrow window.
    figures->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto *chartTop = new QHBoxLayout;
    chartTop->addWidget(figures, 1);
    for (const int days : kSpanDays) {
        auto *button
            = new QPushButton(days == 1 ? QStringLiteral("24 小时") : QStringLiteral("%1 天").arg(days));
        button->setObjectName(QStringLiteral("span%1").arg(days));
        button->setCheckable(true);
        button->setChecked(days == spanDays);
        spans->addButton(button, days);
        chartTop->addWidget(button);
    }
    connect(spans, &QButtonGroup::idClicked, this, &HistoryWindow::showSpan);
    auto *chartColumn = new QVBoxLayout(chartBox);
    chartColumn->addLayout(chartTop);
    chartColumn->addWidget(chart, 1);

    auto *changeBox = new QGroupBox(QStringLiteral("变化记录（最近 %1 天，最新在前）").arg(kLongestSpanDays));
    changes->setHeaderLabels({ QStringLiteral("时间"), QStringLiteral("变化"), QStringLiteral("原因") });
    changes->setRootIsDecorated(false);
    changes->setAlternatingRowColors(true);
    changes->setUniformRowHeights(true);
    changes->setSelectionMode(QAbstractItemView::SingleSelection);
    changes->header()->setStretchLastSection(true);
    changes->setMinimumWidth(kLeastListWidth);
    (new QVBoxLayout(changeBox))->addWidget(changes);

    auto *split = new QSplitter(Qt::Horizontal);
    split->addWidget(chartBox);
    split->addWidget(changeBox);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setSizes({ 2 * kFirstSize.width() / 3, kFirstSize.width() / 3 });
    split->setChildrenCollapsible(false);

    auto *content = new QWidget;
    auto *contentColumn = new QVBoxLayout(content);
    contentColumn->setContentsMargins(0, 0, 0, 0);
    contentColumn->addWidget(stripBox);
    contentColumn->addWidget(split, 1);
    pages->addWidget(content);
    message->setAlignment(Qt::AlignCenter);
    QFont large = message->font();
    large.setPointSizeF(large.pointSizeF() * 1.4);
    message->setFont(large);
    message->setStyleSheet(QStringLiteral("color: #5f6b7a"));
    pages->addWidget(message);

    auto *column = new QVBoxLayout(this);
    column->addWidget(title);
    column->addWidget(detail);
    column->addLayout(state);
    column->addWidget(pages, 1);

    showMessage(QStringLiteral("正在读取历史记录…"));
    if (history) {
        connect(history, &HistoryThread::lineRead, this, &HistoryWindow::readIn);
        connect(history, &HistoryThread::recorded, this, &HistoryWindow::recorded);
    }
    read();
}

void HistoryWindow::showSpan(int days)
{
    spanDays = days;
    if (QAbstractButton *button = spans->button(days))
        button->setChecked(true);
    if (pages->currentIndex() != 0)
        return;
    const qint64 fromMs = readAtMs - days * kDayMs;
    chart->setChecks(shown.checks, fromMs, readAtMs);
    qint64 made = 0, failed = 0, passed = 0, sumMs = 0, longestMs = 0;
    for (const CheckPoint &check : qAsConst(shown.checks)) {
        if (check.atMs < fromMs || check.atMs > readAtMs)
            continue;
        ++made;
        if (check.verdict != Verdict::Passed) {
            ++failed;
            continue;
        }
        ++passed;
        sumMs += check.durationMs;
        longestMs = qMax(longestMs, check.durationMs);
    }
    figures->setText(passed == 0 ? QStringLiteral("检测 %1 次，异常 %2 次").arg(made).arg(failed)
                                 : QStringLiteral("检测 %1 次，异常 %2 次　正常时平均 %3 毫秒，最长 %4 毫秒")
                                       .arg(made)
                                       .arg(failed)
                                       .arg(sumMs / passed)
                                       .arg(longestMs));
}

void HistoryWindow::read()
{
    if (!history) {
        showMessage(QStringLiteral("暂无历史记录"));
        return;
    }
    const qint64 now = currentTime().toMSecsSinceEpoch();
    asked.enqueue(now);
    // Up to the end of the month strip's last span: a check stamped a little ahead (another
    // process's clock) still counts.
    history->readLine(lineKey, now - kLongestSpanDays * kDayMs, now + kMonthStrip.spanMs, true);
}

void HistoryWindow::readIn(const LineKey &key, const LineHistory &read, const QString &problem)
{
    if (!(key == lineKey) || asked.isEmpty())
        return;
    const qint64 at = asked.dequeue();
    if (!asked.isEmpty())
        return; // a later reading is on its way
    readAtMs = at;
    shown = read;
    if (!problem.isEmpty())
        showMessage(QStringLiteral("无法读取历史记录：%1").arg(problem));
    else if (!shown.state.known())
        showMessage(QStringLiteral("暂无历史记录"));
    else
        showHistory();
    emit historyShown();
}

void HistoryWindow::recorded(const QList<LineState> &states)
{
    // A line never read before may have just had its first check.
    const bool ours = std::any_of(states.begin(), states.end(), [this](const LineState &state) {
        return !shown.state.known() || state.lineId == shown.state.lineId;
    });
    if (ours)
        read();
}

void HistoryWindow::showMessage(const QString &text)
{
    message->setText(text);
    pages->setCurrentIndex(1);
    setLed(lamp, LedGrey, kLampSize);
    stateText->clear();
}

void HistoryWindow::showHistory()
{
    pages->setCurrentIndex(0);
    const QDateTime now = QDateTime::fromMSecsSinceEpoch(readAtMs);
    const LineState &state = shown.state;
    setLed(lamp, state.verdict == Verdict::Passed ? LedGreen : LedRed, kLampSize);
    const QString since = sinceText(state, now);
    stateText->setText(since.isEmpty() ? QStringLiteral("%1（%2 首次检测）")
                                             .arg(verdictWord(state.verdict), momentText(state.firstMs, now))
                                       : since);

    const qint64 offsetMs = now.offsetFromUtc() * qint64(1000);
    const auto endOf = [&](const StripShape &shape) { return stripEndMs(shape, readAtMs, offsetMs); };
    const StatusStrip made[] = { stripOfChecks(kDayStrip, endOf(kDayStrip), shown.checks),
        stripOfHours(kWeekStrip, endOf(kWeekStrip), shown.hours),
        stripOfHours(kMonthStrip, endOf(kMonthStrip), shown.hours) };
    for (int i = 0; i < strips.size(); ++i) {
        strips.at(i)->setStrip(made[i]);
        uptimes.at(i)->setText(uptimeText(made[i].passed, made[i].made));
    }
    showSpan(spanDays);
    showChanges();
}

void HistoryWindow::showChanges()
{
    const QDateTime now = QDateTime::fromMSecsSinceEpoch(readAtMs);
    const QList<VerdictTurn> all = verdictTurns(shown, readAtMs - kLongestSpanDays * kDayMs);
    changes->clear();
    QList<QTreeWidgetItem *> items;
    for (const VerdictTurn &change : all.mid(0, kMostChangesShown)) {
        auto *item = new QTreeWidgetItem(
            { momentText(change.atMs, now), changeText(change), change.reason.simplified() });
        item->setForeground(
            1, change.to == Verdict::Passed ? QColor(0x1e, 0x7b, 0x3a) : QColor(0xc0, 0x2b, 0x25));
        item->setToolTip(2, change.reason);
        items << item;
    }
    if (all.size() > kMostChangesShown)
        items << new QTreeWidgetItem(
            { QString(), QStringLiteral("更早的 %1 次变化未列出").arg(all.size() - kMostChangesShown) });
    if (all.isEmpty())
        items << new QTreeWidgetItem(
            { QString(), QStringLiteral("最近 %1 天没有变化").arg(kLongestSpanDays) });
    changes->addTopLevelItems(items);
    changes->resizeColumnToContents(0);
    changes->resizeColumnToContents(1);
}
