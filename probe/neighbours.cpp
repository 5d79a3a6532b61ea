#include "neighbours.h"
#include "command.h"
#include "platform.h"

#include <QAtomicPointer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHostInfo>
#include <QRegularExpression>
#include <QTimer>

static QAtomicPointer<std::remove_pointer_t<NameLookup>> nameLookupOverride;

static QStringList fieldsOf(const QString &line)
{
    return line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

static bool looksLikeMac(const QString &text)
{
    static const QRegularExpression mac(QStringLiteral("^[0-9A-Fa-f]{2}([-:][0-9A-Fa-f]{2}){5}$"));
    return mac.match(text).hasMatch();
}

QString macFromProcNetArp(const QString &table, const QString &address)
{
    // Columns: IP address, HW type, Flags, HW address, Mask, Device.
    const QStringList lines = table.split(QLatin1Char('\n'));
    for (int i = 1; i < lines.size(); ++i) {
        const QStringList fields = fieldsOf(lines.at(i));
        if (fields.size() < 4 || fields.at(0) != address || !looksLikeMac(fields.at(3)))
            continue;
        const bool complete = fields.at(2).toInt(nullptr, 0) & 0x2;
        if (complete && fields.at(3) != QLatin1String("00:00:00:00:00:00"))
            return fields.at(3);
    }
    return QString();
}

QString macFromArpListing(const QString &listing, const QString &address)
{
    // Entry lines read "  <address>  <physical address>  <type>", in every language.
    for (const QString &line : listing.split(QLatin1Char('\n'))) {
        const QStringList fields = fieldsOf(line);
        if (fields.size() >= 2 && fields.at(0) == address && looksLikeMac(fields.at(1)))
            return fields.at(1);
    }
    return QString();
}

QString neighbourMac(const PlatformKind &platform, const QString &address, int timeoutMs)
{
    if (platform.linuxKernel) {
        QFile file(QStringLiteral("/proc/net/arp"));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return QString();
        return macFromProcNetArp(QString::fromLatin1(file.readAll()), address);
    }
    if (platform.windows && timeoutMs > 0)
        return macFromArpListing(runCommand(QStringLiteral("arp -a %1").arg(address), timeoutMs), address);
    return QString();
}

QString hostNameFromLookup(const QString &address, const QHostInfo &info)
{
    if (info.error() != QHostInfo::NoError || info.hostName() == address)
        return QString();
    return info.hostName();
}

QString reverseHostName(const QString &address, int timeoutMs)
{
    if (timeoutMs <= 0)
        return QString();
    QEventLoop loop;
    QString name;
    bool done = false;
    // The answer goes to the loop's thread; once the loop is gone a late answer is dropped.
    const int id = QHostInfo::lookupHost(address, &loop, [&](const QHostInfo &info) {
        name = hostNameFromLookup(address, info);
        done = true;
        loop.quit();
    });
    if (!done) {
        QTimer bound;
        bound.setSingleShot(true);
        QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
        bound.start(timeoutMs);
        loop.exec();
    }
    if (!done)
        QHostInfo::abortHostLookup(id);
    return name;
}

HostDetails lookUpHostDetails(const QString &address, int boundMs)
{
    QElapsedTimer clock;
    clock.start();
    HostDetails details;
    // The table is read first: on Linux that is a file read, and the name lookup,
    // which may wait on a slow name server, gets what is left of the bound.
    details.mac = neighbourMac(currentPlatform(), address, boundMs);
    if (NameLookup lookup = nameLookupOverride.loadAcquire())
        details.name = lookup(address);
    else
        details.name = reverseHostName(address, int(boundMs - clock.elapsed()));
    return details;
}

void setNameLookupOverride(NameLookup lookup)
{
    nameLookupOverride.storeRelease(lookup);
}
