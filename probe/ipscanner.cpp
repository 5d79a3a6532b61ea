#include "ipscan.h"

#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

IpScanner::IpScanner(QTreeWidget *tree, QTextEdit *log, const QList<QWidget *> &busyWidgets, QObject *parent)
    : QObject(parent)
    , tree(tree)
    , log(log)
{
    for (QWidget *widget : busyWidgets)
        this->busyWidgets.append(widget);
    connect(&engine, &ScanEngine::probed, this, &IpScanner::show);
    connect(&engine, &ScanEngine::finished, this, &IpScanner::finish);
}

void IpScanner::start(const ScanRange &range)
{
    if (engine.isRunning())
        return;
    prefix = range.prefix;
    logText.clear();
    if (log)
        log->setPlainText(logText);
    for (const QPointer<QWidget> &widget : qAsConst(busyWidgets)) {
        if (widget)
            widget->setEnabled(false);
    }
    engine.start(range);
}

void IpScanner::show(const ProbeOutcome &outcome)
{
    logText.prepend(scanLogLine(outcome.address, outcome.verdict));
    if (outcome.verdict == QStringLiteral("成功") && tree)
        addAnsweringHost(tree, prefix, outcome);
    // Results that arrive together share one update of the log: setting the whole
    // text again for each of them would hold up the event loop.
    if (!logUpdatePending) {
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
    if (engine.isRunning())
        afterScan.append(action);
    else
        action();
}
