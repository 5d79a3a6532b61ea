#include "app/gui/scanpage.h"
#include "app/gui/messagebox.h"
#include "ui_fromlanrik.h"

#include <QHeaderView>
#include <QIcon>
#include <QTreeWidgetItemIterator>

#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

static QIcon treeIcon(const QString &path)
{
    const QPixmap picture(path);
    QIcon icon;
    icon.addPixmap(picture, QIcon::Normal, QIcon::Off);
    icon.addPixmap(picture, QIcon::Selected, QIcon::Off);
    return icon;
}

static QTreeWidgetItem *newTreeItem(const QStringList &texts, const QString &iconPath)
{
    auto *item = new QTreeWidgetItem(texts);
    item->setIcon(0, treeIcon(iconPath));
    return item;
}

void addAnsweringHost(QTreeWidget *tree, const QString &prefix, const ProbeOutcome &outcome)
{
    // Collect first: the children added below must not take part in the walk.
    QList<QTreeWidgetItem *> subnets;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if ((*it)->text(0) == prefix)
            subnets.append(*it);
    }
    if (subnets.isEmpty()) {
        subnets.append(newTreeItem({ prefix, QString(), QString() }, QStringLiteral(":/tree/DRIVENET.ICO")));
        tree->addTopLevelItem(subnets.constFirst());
        // Open, so the answering hosts are in sight without a click.
        subnets.constFirst()->setExpanded(true);
    }
    const HostDetails &details = outcome.details;
    for (QTreeWidgetItem *subnet : qAsConst(subnets)) {
        QTreeWidgetItem *host = nullptr;
        for (int i = 0; i < subnet->childCount() && !host; ++i) {
            if (subnet->child(i)->text(0) == outcome.address)
                host = subnet->child(i);
        }
        if (!host) {
            subnet->addChild(newTreeItem(
                { outcome.address, details.name, details.mac }, QStringLiteral(":/tree/MYCOMP.ICO")));
            continue;
        }
        if (!details.name.isEmpty())
            host->setText(1, details.name);
        if (!details.mac.isEmpty())
            host->setText(2, details.mac);
    }
}

void resetIpTree(QTreeWidget *tree)
{
    tree->clear();
    tree->setHeaderLabels({ QStringLiteral("IP"), QStringLiteral("计算机名"), QStringLiteral("MAC") });
    tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

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
    logText.prepend(scanLogLine(outcome.address, pingWord(outcome.verdict)));
    if (outcome.verdict == PingVerdict::Answered && tree)
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

ScanPage::ScanPage(QWidget *window, Ui_fromlanrik *ui)
    : window(window)
    , ui(ui)
    , scanner(ui->treeWidgetIpScan, ui->txtJG, { ui->cmdScanIP, ui->cmdClearTree })
{
}

void ScanPage::scan()
{
    if (scanner.isRunning())
        return;
    ScanRange range;
    const QString problem = checkScanRange(ui->txtSIPadd->text(), ui->txtEIPadd->text(), &range);
    if (!problem.isEmpty()) {
        MessageBox::information(window, QStringLiteral("提示信息"), problem);
        return;
    }
    scanner.start(range);
}

void ScanPage::clear()
{
    QTreeWidget *tree = ui->treeWidgetIpScan;
    scanner.whenIdle([tree] { resetIpTree(tree); });
}
