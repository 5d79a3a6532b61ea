#ifndef GUI_TEXTFEED_H
#define GUI_TEXTFEED_H

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

class QTextEdit;
class QTimer;

// What an edit shows of text from outside (a command's output, a page's source): the toolkit
// takes seconds to lay out megabytes, and minutes for a long line.
constexpr int kShownTextBytes = 2 * 1024 * 1024; // of all the outside text, in UTF-8
constexpr int kShownLineBytes = 64 * 1024; // of one line of it
// Lines of it: adding a line to an edit of 100,000 costs milliseconds, of a million seconds.
constexpr int kShownLines = 100 * 1000;

// Fills a plain-text edit as text comes: outside text within the bounds above, each cut ended by
// the cut note, the program's own text (a command line, an exit status) as it is. The edit is
// updated at most four times a second, and filled a slice at a time, so that the window never
// waits long for it. Words wrap; a word too long for a line scrolls sideways.
class TextFeed : public QObject
{
    Q_OBJECT

public:
    // The edit's feed, made the first time (a child of the edit).
    static TextFeed *of(QTextEdit *edit);

    // Empties the edit and forgets what was shown.
    void clear();
    void addOwn(const QString &text);
    void addOutside(const QString &text);
    // The end of one outside text (an output, a page) of which bytesRead were read: a line or the
    // text cut here gets its note; so does a text cut before it came (cutBefore).
    void endOutside(qint64 bytesRead, bool cutBefore = false);
    // Everything added is in the edit.
    bool isIdle() const { return at >= pending.size(); }

signals:
    void idle();

private:
    explicit TextFeed(QTextEdit *edit);
    void add(const QString &text);
    void schedule();
    void fillSlice();

    QPointer<QTextEdit> edit;
    QTimer *timer;
    QElapsedTimer lastUpdate;
    QString pending; // added, not yet in the edit, from at
    int at = 0;
    qint64 shownBytes = 0; // of outside text since the last clear
    int shownLines = 0; // of outside text since the last clear
    qint64 lineBytes = 0; // of the outside line under way, shown or not
    bool lineCut = false;
    bool textCut = false; // the outside text under way lost its rest to the bound
};

#endif
