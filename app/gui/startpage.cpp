#include "app/gui/startpage.h"
#include "app/gui/richtext.h"
#include "check/appdir.h"
#include "check/textfile.h"
#include "probe/command.h"
#include "probe/platform.h"
#include "probe/regularfile.h"
#include "probe/sysinfo.h"
#include "probe/webfetch.h"
#include "startupsettings.h"
#include "ui_fromlanrik.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QMovie>
#include <QUrl>

StartupAddresses builtInStartupAddresses()
{
    StartupAddresses addresses;
    addresses.banner = QStringLiteral(NETCHECK_BANNER_URL);
    addresses.about = QStringLiteral(NETCHECK_ABOUT_URL);
    addresses.advertisement = QStringLiteral(NETCHECK_AD_URL);
    return addresses;
}

static StartupAddresses &chosenAddresses()
{
    static StartupAddresses addresses = builtInStartupAddresses();
    return addresses;
}

StartupAddresses startupAddresses()
{
    return chosenAddresses();
}

void setStartupAddresses(const StartupAddresses &addresses)
{
    chosenAddresses() = addresses;
}

QString bottomBarLine(const QString &linkUrl, const QString &linkText, const QString &mail, const QString &im)
{
    QStringList items;
    if (!linkUrl.isEmpty())
        items << QStringLiteral("<a href=\"%1\">%2</a>")
                     .arg(linkUrl.toHtmlEscaped(), (linkText.isEmpty() ? linkUrl : linkText).toHtmlEscaped());
    else if (!linkText.isEmpty())
        items << linkText.toHtmlEscaped();
    if (!mail.isEmpty())
        items << QCoreApplication::translate("fromlanrik", "邮箱：%1").arg(mail.toHtmlEscaped());
    if (!im.isEmpty())
        items << QCoreApplication::translate("fromlanrik", "即时通讯：%1").arg(im.toHtmlEscaped());
    return items.join(QStringLiteral("　"));
}

QString aboutPageNamingFolder(const QString &page, const QString &folder)
{
    static const QString marker = QStringLiteral("<!--netcheck-folder-->");
    const QString named = QDir::toNativeSeparators(folder).toHtmlEscaped();
    if (page.contains(marker))
        return QString(page).replace(marker, named);
    // A deployer's own page knows nothing of the marker; a page that never came stays empty.
    if (page.isEmpty())
        return page;
    return page + QStringLiteral("<p>文件目录：%1</p>").arg(named);
}

void openLink(const QString &link)
{
    QDesktopServices::openUrl(QUrl(link, QUrl::TolerantMode));
}

QString basicInformationPage()
{
    const QString table = QStringLiteral("<table border='1' cellspacing='0' width='100%' >%1</table>");
    QString page;
    if (currentPlatform().windows)
        page += QStringLiteral("<h1>系统信息</h1>") + table.arg(systemInfoTable());
    if (currentPlatform().linuxKernel) {
        // Command output is text, not markup: a "<" in it must not start a tag.
        page += QStringLiteral("<h1>系统信息</h1>") + runCommand(QStringLiteral("uname -a")).toHtmlEscaped();
        page += QStringLiteral("<h1>网络</h1>") + table.arg(interfaceTable());
    }
    return page;
}

void startShell(QWidget *window, Ui_fromlanrik *ui)
{
    window->setWindowTitle(QStringLiteral("网络检测工具 1.0 "));
    ui->labelWeb->setText(bottomBarLine(QStringLiteral(NETCHECK_LINK_URL), QStringLiteral(NETCHECK_LINK_TEXT),
        QStringLiteral(NETCHECK_CONTACT_MAIL), QStringLiteral(NETCHECK_CONTACT_IM)));
    QObject::connect(ui->labelWeb, &QLabel::linkActivated, window, &openLink);
    QDir().mkdir(QStringLiteral("%1/log").arg(appDir()));
}

void showStartupPages(Ui_fromlanrik *ui, const StartupAddresses &addresses)
{
    // Both pages may come from a deployer's server: what they name is not loaded.
    setInertHtml(
        ui->txtAbout, aboutPageNamingFolder(httpGet(addresses.about, addresses.timeoutMs), appDir()));
    setInertLabelText(ui->labelAD, httpGet(addresses.advertisement, addresses.timeoutMs));
}

void playPicture(QLabel *label, const QString &path)
{
    // Opened here, and only a regular file: the toolkit would open whatever the path names.
    auto *file = new QFile(label);
    if (!openRegularFile(*file, path, QIODevice::ReadOnly)) {
        delete file;
        label->clear();
        return;
    }
    auto *movie = new QMovie(file, QByteArray(), label);
    file->setParent(movie);
    movie->setScaledSize(label->size());
    label->setMovie(movie);
    movie->start();
}

bool playCachedBanner(QLabel *label)
{
    // Fetched once, then kept beside the program.
    const QString banner = QStringLiteral("%1/logo.gif").arg(appDir());
    if (!fileExists(banner))
        return false;
    playPicture(label, banner);
    return true;
}

void fetchBanner(QLabel *label, const QString &address, int timeoutMs)
{
    const HttpDownload download = httpDownload(address, timeoutMs);
    // Start-up only asks whether the file exists, so a failed or empty download
    // must leave none behind, or the banner would never be fetched again.
    if (!download.complete || download.body.isEmpty()) {
        label->clear();
        return;
    }
    // Written aside and renamed into place: a half-written picture is never left, and a link
    // standing there is replaced, never written through.
    const QString path = QStringLiteral("%1/logo.gif").arg(appDir());
    const bool saved = replaceFile(path, FileOwner::Program,
        [&](QIODevice &file) { return file.write(download.body) == download.body.size(); });
    if (!saved) {
        label->clear(); // no banner this time; the program goes on
        return;
    }
    playPicture(label, path);
}
