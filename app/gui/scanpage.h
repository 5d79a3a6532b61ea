#ifndef GUI_SCANPAGE_H
#define GUI_SCANPAGE_H

#include "probe/scanengine.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QTextEdit;
class QTreeWidget;
class QWidget;
class Ui_fromlanrik;

// Lists an answering address under every subnet item of the prefix (a new subnet item at the end
// when there is none). An address already listed there stays once; details learnt now fill its
// columns.
void addAnsweringHost(QTreeWidget *tree, const QString &prefix, const ProbeOutcome &outcome);
// Empties the tree and sets its header.
void resetIpTree(QTreeWidget *tree);

// Runs one scan at a time and shows it in the window: the log newest first, the answering hosts
// in the tree, in ascending address order as the probes come in. The busy widgets are disabled
// while a scan runs.
class IpScanner : public QObject
{
    Q_OBJECT

public:
    IpScanner(
        QTreeWidget *tree, QTextEdit *log, const QList<QWidget *> &busyWidgets, QObject *parent = nullptr);

    bool isRunning() const { return engine.isRunning(); }
    // Returns at once; finished() follows when every address has been shown.
    void start(const ScanRange &range);
    // Runs the action now when idle, else right after the running scan.
    void whenIdle(const std::function<void()> &action);

signals:
    void finished();

private:
    void show(const ProbeOutcome &outcome);
    void showLog();
    void finish();

    ScanEngine engine;
    QPointer<QTreeWidget> tree;
    QPointer<QTextEdit> log;
    QList<QPointer<QWidget>> busyWidgets;
    QString prefix;
    QString logText;
    bool logUpdatePending = false;
    QList<std::function<void()>> afterScan;
};

// The page "IP搜索": the range fields, the scan and clear buttons, the tree and the log.
class ScanPage
{
public:
    ScanPage(QWidget *window, Ui_fromlanrik *ui);
    void scan();
    // Clearing in the middle of a scan would leave a tree half of this scan only: it waits.
    void clear();

private:
    QWidget *window;
    Ui_fromlanrik *ui;
    IpScanner scanner;
};

#endif
