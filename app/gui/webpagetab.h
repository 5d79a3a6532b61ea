#ifndef GUI_WEBPAGETAB_H
#define GUI_WEBPAGETAB_H

#include <QByteArray>
#include <QString>

class QTextEdit;
class QWidget;
class Ui_fromlanrik;

// The web page tab renders at most this much of a page: the toolkit takes many seconds to lay
// out a large page, holding up the window.
constexpr int kPageShowMaxBytes = 2 * 1024 * 1024;
// The line above the rendering of a page that was cut.
const QString kPageCutNote = QStringLiteral("<p><b>页面超过 2 MiB，只显示前 2 MiB。</b></p>");

// Shows a page's text (at most kPageShowMaxBytes of it) as source text and rendered, loading
// nothing it names, with the note above the rendering when it was cut. A null edit is skipped.
void showPage(QTextEdit *source, QTextEdit *rendered, const QByteArray &body);

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
