#include "app/gui/webpagetab.h"
#include "app/gui/buttonoff.h"
#include "app/gui/richtext.h"
#include "app/gui/textfeed.h"
#include "check/verdict.h"
#include "probe/busy.h"
#include "probe/pagetext.h"
#include "probe/webfetch.h"
#include "ui_fromlanrik.h"

#include <QPointer>
#include <QTextEdit>

void showPage(QTextEdit *source, QTextEdit *rendered, const PageText &page)
{
    if (source) {
        TextFeed *feed = TextFeed::of(source);
        feed->clear();
        feed->addOutside(page.kept());
        feed->endOutside(page.bytesRead(), page.cut());
    }
    if (rendered) {
        const QString shown = utf8Left(page.kept(), kPageRenderMaxBytes);
        setInertHtml(
            rendered, shown.size() < page.kept().size() || page.cut() ? kPageCutNote + shown : shown);
    }
}

void showPageFailure(QTextEdit *source, QTextEdit *rendered, const QString &reason)
{
    if (source)
        TextFeed::of(source)->clear();
    if (rendered)
        rendered->setPlainText(reason);
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
        , page(QString(), kShownTextBytes)
        , buttonOff(ui->cmdUrl)
        , source(ui->txtUrlTxt)
        , rendered(ui->txtUrlHtml)
    {
        setObjectName(kName);
        setBodySink(&page);
        connect(this, &WebFetch::finished, this, [this] {
            page.finish();
            const QString reason = pageFailure(result(), kHttpTimeoutMs);
            if (reason.isEmpty())
                showPage(source, rendered, page);
            else
                showPageFailure(source, rendered, reason);
            deleteLater();
        });
        start();
    }

private:
    PageText page;
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
