#ifndef GUI_WEBPAGETAB_H
#define GUI_WEBPAGETAB_H

#include <QString>

class PageText;
class QTextEdit;
class QWidget;
class Ui_fromlanrik;

// The web page tab renders at most this much of a page: the toolkit holds up the window for half
// a second with 256 KiB of table rows, a third with 128 KiB on a busy machine. The source box shows
// up to kShownTextBytes.
constexpr int kPageRenderMaxBytes = 64 * 1024;
// The line above the rendering of a page that was cut.
const QString kPageCutNote = QStringLiteral("<p><b>页面超过 64 KiB，只显示前 64 KiB。</b></p>");

// Shows a page's text as source text (within the bounds of TextFeed, filled in steps) and
// rendered (at most kPageRenderMaxBytes of it, with the note above where it was cut), loading
// nothing it names. A null edit is skipped.
void showPage(QTextEdit *source, QTextEdit *rendered, const PageText &page);
// A page that could not be fetched: the reason in the rendered box, the source box empty.
void showPageFailure(QTextEdit *source, QTextEdit *rendered, const QString &reason);

// The page "网站查阅": fetches the address typed and shows the page; the button stays off meanwhile.
class WebPageTab
{
public:
    WebPageTab(QWidget *window, Ui_fromlanrik *ui);
    void fetch();

private:
    QWidget *window;
    Ui_fromlanrik *ui;
};

#endif
