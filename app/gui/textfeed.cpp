#include "app/gui/textfeed.h"
#include "app/gui/richtext.h"
#include "probe/textcapture.h"

#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

namespace
{
// An update of the edit comes at most this often.
constexpr int kUpdateMs = 250;
// One slice of filling: the window gets its turn again after this much.
constexpr int kSliceMs = 20;
// Characters inserted at once; a line that ends within is inserted whole.
constexpr int kInsertChars = 4 * 1024;
} // namespace

TextFeed::TextFeed(QTextEdit *edit)
    : QObject(edit)
    , edit(edit)
    , timer(new QTimer(this))
{
    edit->setUndoRedoEnabled(false); // an undo copy of megabytes helps nobody here
    edit->setWordWrapMode(kOutsideTextWrap);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, &TextFeed::fillSlice);
}

TextFeed *TextFeed::of(QTextEdit *edit)
{
    if (auto *feed = edit->findChild<TextFeed *>(QString(), Qt::FindDirectChildrenOnly))
        return feed;
    return new TextFeed(edit);
}

void TextFeed::clear()
{
    pending.clear();
    at = 0;
    shownBytes = lineBytes = 0;
    shownLines = 0;
    lineCut = textCut = false;
    timer->stop();
    if (edit)
        edit->clear();
}

void TextFeed::addOwn(const QString &text)
{
    add(text);
}

void TextFeed::addOutside(const QString &text)
{
    if (textCut || text.isEmpty())
        return;
    QString kept;
    for (int from = 0; from <= text.size();) {
        if (shownLines >= kShownLines) {
            textCut = from < text.size(); // more than the lines shown
            break;
        }
        int end = text.indexOf(QLatin1Char('\n'), from);
        const bool lineEnd = end >= 0;
        if (!lineEnd)
            end = text.size();
        // The next part of the line under way.
        const QStringRef part = text.midRef(from, end - from);
        const qint64 partBytes = utf8Size(part.toString());
        if (!lineCut) {
            const qint64 lineRoom = kShownLineBytes - lineBytes;
            const qint64 textRoom = kShownTextBytes - shownBytes;
            if (partBytes > textRoom && textRoom <= lineRoom) {
                textCut = true; // nothing more of this text is shown
                kept += utf8Left(part.toString(), textRoom);
                break;
            }
            lineCut = partBytes > lineRoom;
            const QString shown = lineCut ? utf8Left(part.toString(), lineRoom) : part.toString();
            kept += shown;
            shownBytes += utf8Size(shown);
        }
        lineBytes += partBytes;
        if (!lineEnd)
            break;
        if (lineCut)
            kept += cutNote(lineBytes);
        kept += QLatin1Char('\n');
        ++shownBytes;
        lineBytes = 0;
        lineCut = false;
        from = end + 1;
        ++shownLines;
    }
    // Control characters (the zero bytes of a binary output) are shown as replacement characters:
    // having no glyph in any font, each sends the toolkit looking through every font, six times
    // as slow.
    for (QChar &c : kept) {
        const ushort u = c.unicode();
        if ((u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0x7f)
            c = QChar::ReplacementCharacter;
    }
    add(kept);
}

void TextFeed::endOutside(qint64 bytesRead, bool cutBefore)
{
    if (textCut || cutBefore)
        add(cutNote(bytesRead));
    else if (lineCut)
        add(cutNote(lineBytes));
    lineBytes = 0;
    lineCut = textCut = false;
}

void TextFeed::add(const QString &text)
{
    if (text.isEmpty())
        return;
    if (at > 0 && at >= pending.size() / 2) { // drop what is in the edit already
        pending.remove(0, at);
        at = 0;
    }
    pending += text;
    schedule();
}

void TextFeed::schedule()
{
    if (timer->isActive())
        return;
    const qint64 since = lastUpdate.isValid() ? lastUpdate.elapsed() : kUpdateMs;
    timer->start(int(qMax<qint64>(0, kUpdateMs - since)));
}

void TextFeed::fillSlice()
{
    if (!edit)
        return;
    lastUpdate.start();
    QTextCursor cursor(edit->document());
    cursor.movePosition(QTextCursor::End);
    QElapsedTimer slice;
    slice.start();
    while (at < pending.size() && slice.elapsed() < kSliceMs) {
        int size = qMin(kInsertChars, pending.size() - at);
        const int lineEnd = pending.lastIndexOf(QLatin1Char('\n'), at + size - 1);
        if (at + size < pending.size() && lineEnd >= at)
            size = lineEnd + 1 - at;
        cursor.insertText(pending.mid(at, size));
        at += size;
    }
    if (at < pending.size()) {
        timer->start(0); // the rest once the window has had its turn
        return;
    }
    pending.clear();
    at = 0;
    emit idle();
}
