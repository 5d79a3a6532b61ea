#include "webpage.h"
#include "appdir.h"
#include "busy.h"
#include "buttonoff.h"
#include "fromlanrik.h"
#include "richtext.h"
#include "startup.h"
#include "ui_fromlanrik.h"
#include "webfetch.h"

#include <QFileInfo>
#include <QPointer>
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
    // Written aside and renamed into place: a half-written picture is never left. A
    // buffered write that fails on the way out does not stop a commit, hence the flush
    // first and the size after.
    QSaveFile file(path);
    bool saved = file.open(QIODevice::WriteOnly) && file.write(download.body) == download.body.size()
        && file.flush() && file.commit();
    if (saved && QFileInfo(path).size() != download.body.size()) {
        QFile::remove(path);
        saved = false;
    }
    if (!saved) {
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

QString pageTabText(const QByteArray &body, bool *cut)
{
    const int zero = body.indexOf('\0');
    int end = zero < 0 ? body.size() : zero;
    *cut = end > kPageShowMaxBytes;
    if (*cut) {
        end = kPageShowMaxBytes;
        while (end > 0 && (uchar(body.at(end)) & 0xc0) == 0x80) // not inside a character
            --end;
    }
    return QString::fromUtf8(body.constData(), end);
}

void showPage(QTextEdit *source, QTextEdit *rendered, const QByteArray &body)
{
    bool cut = false;
    const QString page = pageTabText(body, &cut);
    if (source) {
        source->setWordWrapMode(kOutsideTextWrap);
        source->setPlainText(page);
    }
    if (rendered)
        setInertHtml(rendered, cut ? kPageCutNote + page : page);
}

namespace
{
// The web page tab's fetch: the button stays off until the page is shown. Dies with
// the window, which aborts it.
class PageTabFetch : public WebFetch
{
public:
    static constexpr const char *kName = "pageTabFetch";

    PageTabFetch(const QString &address, Ui_fromlanrik *ui, QObject *window)
        : WebFetch(address, kHttpTimeoutMs, window)
        , buttonOff(ui->cmdUrl)
        , source(ui->txtUrlTxt)
        , rendered(ui->txtUrlHtml)
    {
        setObjectName(kName);
        connect(this, &WebFetch::finished, this, [this] {
            showPage(source, rendered, result().body);
            deleteLater();
        });
        start();
    }

private:
    const ButtonOff buttonOff;
    QPointer<QTextEdit> source;
    QPointer<QTextEdit> rendered;
    const BusyScope busy;
};
} // namespace

void fromlanrik::on_cmdUrl_clicked()
{
    if (findChild<QObject *>(QLatin1String(PageTabFetch::kName), Qt::FindDirectChildrenOnly))
        return;
    new PageTabFetch(ui->txtUrl->text(), ui, this);
}
