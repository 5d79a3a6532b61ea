#include "appdir.h"
#include "buttonoff.h"
#include "fromlanrik.h"
#include "startup.h"
#include "ui_fromlanrik.h"
#include "webfetch.h"

#include <QSaveFile>

void fetchBanner(QLabel *label, const QString &address, int timeoutMs)
{
    const HttpDownload download = httpDownload(address, timeoutMs);
    // Start-up only asks whether the file exists, so a failed or empty download
    // must leave none behind, or the banner would never be fetched again.
    if (!download.complete || download.body.isEmpty()) {
        label->clear();
        return;
    }
    const QString path = QStringLiteral("%1/logo.gif").arg(appDir());
    // Written aside and renamed into place: a half-written picture is never left.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(download.body) != download.body.size()
        || !file.commit()) {
        label->clear(); // no banner this time; the program goes on
        return;
    }
    playPicture(label, path);
}

void fromlanrik::setNetworkGIF(QString GifUrl)
{
    // Only start-up asks for the banner, so it waits no longer than the other start-up fetches.
    fetchBanner(ui->labGif, GifUrl, startupAddresses().timeoutMs);
}

void fromlanrik::on_cmdUrl_clicked()
{
    QString page;
    {
        const ButtonOff off(ui->cmdUrl);
        page = httpGet(ui->txtUrl->text());
    }
    ui->txtUrlTxt->setPlainText(page);
    ui->txtUrlHtml->setHtml(page);
}
