#include "ipscan.h"
#include "fromlanrik.h"
#include "messagebox.h"
#include "ui_fromlanrik.h"

#include <QHeaderView>
#include <QIcon>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

void splitScanAddress(const QString &text, QString *prefix, int *number)
{
    const QString trimmed = text.trimmed();
    const int dot = trimmed.lastIndexOf(QLatin1Char('.'));
    *prefix = dot < 0 ? trimmed : trimmed.left(dot);
    *number = trimmed.mid(dot + 1).toInt();
}

bool isPlainIPv4(const QString &text)
{
    // ping reads "010" as octal and "0x10" as hexadecimal, and accepts short forms
    // such as "127.1": only the plain form means to it what it means to the user.
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (const QString &part : parts) {
        if (part.isEmpty() || part.size() > 3 || (part.size() > 1 && part.at(0) == QLatin1Char('0')))
            return false;
        for (const QChar c : part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
        }
        if (part.toInt() > kMaxScanNumber)
            return false;
    }
    return true;
}

QString checkScanRange(const QString &startText, const QString &endText, ScanRange *range)
{
    if (!isPlainIPv4(startText))
        return QStringLiteral("起始IP地址错误！");
    if (!isPlainIPv4(endText))
        return QStringLiteral("结束IP地址错误！");
    QString startPrefix, endPrefix;
    int first = 0, last = 0;
    splitScanAddress(startText, &startPrefix, &first);
    splitScanAddress(endText, &endPrefix, &last);
    if (startPrefix != endPrefix)
        return QStringLiteral("起始和结束IP地址不在一个网段里！");
    *range = { startPrefix, first, last };
    return QString();
}

QString scanLogLine(const QString &address, const QString &verdict)
{
    return QStringLiteral("Ping %1 >> %2\n").arg(address, verdict);
}

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

// The window's scanner lives as its child from the first scan on.
static IpScanner *scannerOf(fromlanrik *window, Ui_fromlanrik *ui)
{
    if (auto *scanner = window->findChild<IpScanner *>(QString(), Qt::FindDirectChildrenOnly))
        return scanner;
    return new IpScanner(ui->treeWidgetIpScan, ui->txtJG, { ui->cmdScanIP, ui->cmdClearTree }, window);
}

void fromlanrik::on_cmdScanIP_clicked()
{
    IpScanner *scanner = scannerOf(this, ui);
    if (scanner->isRunning())
        return;
    ScanRange range;
    const QString problem = checkScanRange(ui->txtSIPadd->text(), ui->txtEIPadd->text(), &range);
    if (!problem.isEmpty()) {
        MessageBox::information(this, QStringLiteral("提示信息"), problem);
        return;
    }
    scanner->start(range);
}

void fromlanrik::on_cmdClearTree_clicked()
{
    // Clearing in the middle of a scan would leave a tree half of this scan only.
    QTreeWidget *tree = ui->treeWidgetIpScan;
    scannerOf(this, ui)->whenIdle([tree] { resetIpTree(tree); });
}
