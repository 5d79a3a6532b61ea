#include "ipscan.h"
#include "ping.h"

#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

ProbeOutcome probeAddress(const QString &address)
{
    ProbeOutcome outcome;
    outcome.address = address;
    outcome.verdict = pingHost(address);
    if (outcome.verdict == QStringLiteral("成功"))
        outcome.details = lookUpHostDetails(address);
    return outcome;
}

IpScanner::IpScanner(QTreeWidget *tree, QTextEdit *log, const QList<QWidget *> &busyWidgets, QObject *parent)
    : QObject(parent)
    , lookahead(kScanLookahead)
    , tree(tree)
    , log(log)
{
    for (QWidget *widget : busyWidgets)
        this->busyWidgets.append(widget);
    pool.setMaxThreadCount(kMaxProbesInFlight);
    launcher.setMaxThreadCount(1);
}

IpScanner::~IpScanner()
{
    // Results still on their way are dropped with this object's pending events.
    running = false;
    stopping.storeRelease(1);
    lookahead.release();
    launcher.waitForDone();
    pool.clear();
    pool.waitForDone();
}

void IpScanner::start(const ScanRange &scanRange)
{
    if (running)
        return;
    range = scanRange;
    nextToShow = range.first;
    heldBack.clear();
    logText.clear();
    if (log)
        log->setPlainText(logText);
    if (range.first > range.last) {
        finish();
        return;
    }
    running = true;
    for (const QPointer<QWidget> &widget : qAsConst(busyWidgets)) {
        if (widget)
            widget->setEnabled(false);
    }
    // Starting a hundred threads that each start a process stalls the thread that
    // does it for a noticeable time, so the GUI thread leaves that to a launcher.
    launcher.start([this, scanRange] { launchProbes(scanRange); });
}

void IpScanner::launchProbes(const ScanRange &scanRange)
{
    for (int number = scanRange.first; number <= scanRange.last; ++number) {
        lookahead.acquire();
        if (stopping.loadAcquire())
            return;
        const QString address = QStringLiteral("%1.%2").arg(scanRange.prefix).arg(number);
        pool.start([this, number, address] {
            const ProbeOutcome outcome = probeAddress(address);
            QMetaObject::invokeMethod(
                this, [this, number, outcome] { received(number, outcome); }, Qt::QueuedConnection);
        });
    }
}

void IpScanner::received(int number, const ProbeOutcome &outcome)
{
    if (!running)
        return;
    heldBack.insert(number, outcome);
    bool shown = false;
    while (heldBack.contains(nextToShow)) {
        const ProbeOutcome next = heldBack.take(nextToShow++);
        logText.prepend(scanLogLine(next.address, next.verdict));
        if (next.verdict == QStringLiteral("成功") && tree)
            addAnsweringHost(tree, range.prefix, next);
        shown = true;
        lookahead.release();
    }
    if (nextToShow > range.last) {
        finish();
    } else if (shown && !logUpdatePending) {
        // Results that arrive together share one update of the log: setting the whole
        // text again for each of them would hold up the event loop.
        logUpdatePending = true;
        QTimer::singleShot(0, this, &IpScanner::showLog);
    }
}

void IpScanner::showLog()
{
    logUpdatePending = false;
    if (log)
        log->setPlainText(logText);
}

void IpScanner::finish()
{
    running = false;
    showLog();
    for (const QPointer<QWidget> &widget : qAsConst(busyWidgets)) {
        if (widget)
            widget->setEnabled(true);
    }
    const QList<std::function<void()>> actions = afterScan;
    afterScan.clear();
    for (const auto &action : actions)
        action();
    emit finished();
}

void IpScanner::whenIdle(const std::function<void()> &action)
{
    if (running)
        afterScan.append(action);
    else
        action();
}
