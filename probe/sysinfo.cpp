#include "probe/sysinfo.h"
#include "probe/command.h"

#include <QNetworkInterface>
#include <QRegularExpression>

namespace
{
QString infoRow(const QString &key, const QString &value)
{
    return QStringLiteral("<tr>") + QStringLiteral("<td>%1</td>").arg(key)
        + QStringLiteral("<td>%1</td>").arg(value) + QStringLiteral("</tr>");
}

QString joinedLines(const QString &first, const QString &second)
{
    return QStringLiteral("%1<br>%2").arg(first, second);
}

// Linux gives its loopback interface an all-zero hardware address.
bool isZeroAddress(const QString &hardwareAddress)
{
    for (const QChar c : hardwareAddress) {
        if (c != QLatin1Char('0') && c != QLatin1Char(':') && c != QLatin1Char('-'))
            return false;
    }
    return true;
}
} // namespace

QString systemInfoRows(const QString &report)
{
    QString text = report;
    text.remove(QLatin1Char('\r'));
    text.replace(QRegularExpression(QStringLiteral(" {2,}")), QStringLiteral(" "));
    // The report writes some labels as "OS" and a word; joined, they survive the split at the first blank.
    text.replace(QLatin1String("OS "), QLatin1String("OS"));

    QString rows;
    QString key;
    QString value;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (line.trimmed().isEmpty())
            continue;
        const int blank = line.indexOf(QLatin1Char(' '));
        const QString k = (blank < 0 ? line : line.left(blank)).trimmed().toHtmlEscaped();
        const QString v = (blank < 0 ? line : line.mid(blank)).trimmed().toHtmlEscaped();
        if (k == key) {
            value = joinedLines(value, v);
        } else if (key.isEmpty()) {
            key = k;
            value = v;
        } else if (k.isEmpty()) {
            // An indented line continues the label above; the key cell keeps pace line for line.
            key += QStringLiteral("<br>");
            value = joinedLines(value, v);
        } else {
            rows += infoRow(key, value);
            key = k;
            value = v;
        }
    }
    rows += infoRow(key, value);
    return rows;
}

QString systemInfoTable()
{
    return systemInfoRows(runCommand(QStringLiteral("systeminfo")));
}

QString interfaceRows(const QList<InterfaceFacts> &interfaces)
{
    QString rows = QStringLiteral("<tr><th>IP地址</th><th>子网掩码</th><th>MAC</th></tr>");
    for (const InterfaceFacts &facts : interfaces) {
        if (facts.loopback || facts.hardwareAddress.isEmpty() || isZeroAddress(facts.hardwareAddress))
            continue;
        QString address;
        QString netmask;
        for (const QNetworkAddressEntry &entry : facts.addresses) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol) {
                address = entry.ip().toString();
                netmask = entry.netmask().toString();
            }
        }
        if (address.isEmpty())
            continue;
        rows += QLatin1Char('\n');
        rows += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td></tr>")
                    .arg(address, netmask, facts.hardwareAddress);
    }
    return rows;
}

QString interfaceTable()
{
    QList<InterfaceFacts> interfaces;
    for (const QNetworkInterface &networkInterface : QNetworkInterface::allInterfaces()) {
        InterfaceFacts facts;
        facts.hardwareAddress = networkInterface.hardwareAddress();
        facts.loopback = networkInterface.flags().testFlag(QNetworkInterface::IsLoopBack);
        facts.addresses = networkInterface.addressEntries();
        interfaces.append(facts);
    }
    return interfaceRows(interfaces);
}
