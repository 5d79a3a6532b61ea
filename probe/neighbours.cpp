#include "probe/neighbours.h"
#include "probe/command.h"
#include "probe/commandrun.h"
#include "probe/platform.h"

#include <QAtomicPointer>
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

// Linux keeps its neighbour table in a file: read at once, no command to wait for.
static QString procNetArpMac(const QString &address)
{
    QFile file(QStringLiteral("/proc/net/arp"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    return macFromProcNetArp(QString::fromLatin1(file.readAll()), address);
}

QString hostNameFromLookup(const QString &address, const QHostInfo &info)
{
    if (info.error() != QHostInfo::NoError || info.hostName() == address)
        return QString();
    return info.hostName();
}

namespace
{
// One host's details: the hardware address from the neighbour table, then the name.
class HostLookup : public QObject
{
public:
    HostLookup(
        const QString &address, int boundMs, std::function<void(const HostDetails &)> done, QObject *context)
        : QObject(context)
        , address(address)
        , done(std::move(done))
    {
        QTimer::singleShot(boundMs, this, [this] { finish(); });
        const PlatformKind platform = currentPlatform();
        if (platform.windows) {
            auto *arp = new CommandRun(QStringLiteral("arp -a %1").arg(address), boundMs, this);
            connect(arp, &CommandRun::finished, this, [this, arp] {
                details.mac = macFromArpListing(commandOutputText(arp->output()), this->address);
                lookUpName();
            });
            arp->start();
        } else {
            if (platform.linuxKernel)
                details.mac = procNetArpMac(address);
            lookUpName();
        }
    }
    ~HostLookup() override
    {
        if (lookupId >= 0)
            QHostInfo::abortHostLookup(lookupId);
    }

private:
    void lookUpName()
    {
        if (NameLookup lookup = nameLookupOverride.loadAcquire()) {
            details.name = lookup(address);
            finish();
            return;
        }
        lookupId = QHostInfo::lookupHost(address, this, [this](const QHostInfo &info) {
            lookupId = -1;
            details.name = hostNameFromLookup(address, info);
            finish();
        });
    }
    void finish()
    {
        if (finished)
            return;
        finished = true;
        done(details);
        deleteLater();
    }

    QString address;
    std::function<void(const HostDetails &)> done;
    HostDetails details;
    int lookupId = -1;
    bool finished = false;
};
} // namespace

void lookUpHostDetailsLater(
    const QString &address, QObject *context, std::function<void(const HostDetails &)> done, int boundMs)
{
    new HostLookup(address, boundMs, std::move(done), context);
}

void setNameLookupOverride(NameLookup lookup)
{
    nameLookupOverride.storeRelease(lookup);
}
