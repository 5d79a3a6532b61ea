#ifndef WEBPAGE_H
#define WEBPAGE_H

#include <QByteArray>
#include <QString>

class QTextEdit;

// The web page tab renders at most this much of a page: the toolkit takes many
// seconds to lay out a large page, holding up the window.
constexpr int kPageShowMaxBytes = 2 * 1024 * 1024;
// The line above the rendering of a page that was cut.
const QString kPageCutNote = QStringLiteral("<p><b>页面超过 2 MiB，只显示前 2 MiB。</b></p>");

// The part of a body the web page tab shows: UTF-8 up to the first zero byte, at most
// kPageShowMaxBytes (cut between characters); cut tells whether it was cut there.
QString pageTabText(const QByteArray &body, bool *cut);
// Shows that part as source text and rendered, loading nothing it names, with the note
// above the rendering when it was cut. A null edit is skipped.
void showPage(QTextEdit *source, QTextEdit *rendered, const QByteArray &body);

#endif
