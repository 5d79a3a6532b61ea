#include "probe/outputtext.h"

OutputText::OutputText(const QString &needle, int keepBytes)
    : capture(needle, keepBytes)
    , keepBytes(keepBytes)
{
}

void OutputText::take(const char *data, int size)
{
    read += size;
    const QString piece = decoder.decode(data, size);
    int first = 0;
    if (!started) {
        while (first < piece.size() && piece.at(first).isSpace())
            ++first;
        started = first < piece.size();
    }
    int last = piece.size() - 1;
    while (last >= first && piece.at(last).isSpace())
        --last;
    if (last >= first) {
        capture.add(blanks + piece.mid(first, last + 1 - first));
        blanks.clear();
    }
    // Blanks longer than what is kept cannot be part of a match (the needle has single
    // blanks only) and are cut anyway if anything follows.
    if (blanks.size() <= keepBytes)
        blanks += piece.midRef(qMax(first, last + 1), keepBytes + 1 - blanks.size());
}

QString OutputText::text() const
{
    return cut() ? capture.kept() + cutNote(read) : capture.kept();
}
