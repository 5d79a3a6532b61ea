#ifndef IPSCAN_H
#define IPSCAN_H

#include "neighbours.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSemaphore>
#include <QString>
#include <QThreadPool>

#include <functional>

class QTextEdit;
class QTreeWidget;
class QWidget;

// At most this many probes run at once.
constexpr int kMaxProbesInFlight = 128;
// Probes are started at most this far ahead of the lowest address not yet shown,
// which bounds the results held back for the ascending order.
constexpr int kScanLookahead = 4 * kMaxProbesInFlight;

// The highest last number of a scanned address.
constexpr int kMaxScanNumber = 255;

// The addresses prefix + "." + n for n from first to last (none when first > last).
struct ScanRange
{
    QString prefix;
    int first = 0;
    int last = -1;
};

struct ProbeOutcome
{
    QString address;
    QString verdict; // "成功" or "失败"
    HostDetails details; // only looked up for an address that answered
};

// Splits trimmed text at its last "."; the number is 0 when the part after it is no number.
void splitScanAddress(const QString &text, QString *prefix, int *number);
// Checks the two address texts. Empty and the range filled in when they make a range,
// otherwise the message for the user.
QString checkScanRange(const QString &startText, const QString &endText, ScanRange *range);
// One log line; the log holds them newest first.
QString scanLogLine(const QString &address, const QString &verdict);

// Pings the address; looks up its name and hardware address when it answered.
ProbeOutcome probeAddress(const QString &address);

// Lists an answering address under every subnet item of the prefix (a new subnet item at
// the end when there is none). An address already listed there stays once; details
// learnt now fill its columns.
void addAnsweringHost(QTreeWidget *tree, const QString &prefix, const ProbeOutcome &outcome);
// Empties the tree and sets its header.
void resetIpTree(QTreeWidget *tree);

// Runs one scan at a time: probes on worker threads, results shown on the GUI thread
// in ascending address order. The busy widgets are disabled while a scan runs.
class IpScanner : public QObject
{
    Q_OBJECT

public:
    IpScanner(
        QTreeWidget *tree, QTextEdit *log, const QList<QWidget *> &busyWidgets, QObject *parent = nullptr);
    ~IpScanner() override; // waits for the probes still running

    bool isRunning() const { return running; }
    // Returns at once; finished() follows when every address has been shown (at once
    // for an empty range).
    void start(const ScanRange &range);
    // Runs the action now when idle, else right after the running scan.
    void whenIdle(const std::function<void()> &action);

signals:
    void finished();

private:
    void launchProbes(const ScanRange &scanRange); // on the launcher thread
    void received(int number, const ProbeOutcome &outcome);
    void showLog();
    void finish();

    QThreadPool pool;
    QThreadPool launcher;
    QSemaphore lookahead; // probes the launcher may still start ahead of the log
    QAtomicInt stopping;
    QPointer<QTreeWidget> tree;
    QPointer<QTextEdit> log;
    QList<QPointer<QWidget>> busyWidgets;
    ScanRange range;
    bool running = false;
    int nextToShow = 0;
    QHash<int, ProbeOutcome> heldBack;
    QString logText;
    bool logUpdatePending = false;
    QList<std::function<void()>> afterScan;
};

#endif
