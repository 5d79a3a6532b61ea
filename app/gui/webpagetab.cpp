#include "app/gui/webpagetab.h"
#include "app/gui/buttonoff.h"
#include "app/gui/richtext.h"
#include "probe/busy.h"
#include "probe/webfetch.h"
#include "ui_fromlanrik.h"

#include <QPointer>

void showPage(QTextEdit *source, QTextEdit *rendered, const QByteArray &body)
{
    bool cut = false;
    const QString page = bodyText(body, kPageShowMaxBytes, &cut);
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

WebPageTab::WebPageTab(QWidget *window, Ui_fromlanrik *ui)
    : window(window)
    , ui(ui)
{
}

void WebPageTab::fetch()
{
    if (window->findChild<QObject *>(QLatin1String(PageTabFetch::kName), Qt::FindDirectChildrenOnly))
        return;
    new PageTabFetch(ui->txtUrl->text(), ui, window);
}
