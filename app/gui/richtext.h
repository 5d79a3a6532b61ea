#ifndef GUI_RICHTEXT_H
#define GUI_RICHTEXT_H

#include <QString>
#include <QTextDocument>
#include <QTextOption>

class QLabel;
class QTextEdit;

// A tooltip shows at most this much of a result.
constexpr int kToolTipMaxChars = 4000;

// Rich text from outside (a page, a command's output) must never make the toolkit
// open what it names: an image on a FIFO blocks the window for ever, /dev/zero eats
// the memory. This document loads nothing; images get the toolkit's placeholder (an
// image left without one is opened by the toolkit directly).
class InertTextDocument : public QTextDocument
{
    Q_OBJECT

public:
    using QTextDocument::QTextDocument;
    // Whether the markup so far asked for any resource (a picture, a style sheet).
    bool askedForResources() const { return asked; }

protected:
    QVariant loadResource(int type, const QUrl &name) override;

private:
    bool asked = false;
};

// How an edit wraps text from outside: breaking a word anywhere once it does not fit
// takes time growing with the square of its length (minutes for 2 MiB without a blank);
// a word that long scrolls sideways instead.
constexpr QTextOption::WrapMode kOutsideTextWrap = QTextOption::WordWrap;

// Shows the HTML in the edit, whose document from now on loads nothing the HTML names.
void setInertHtml(QTextEdit *edit, const QString &html);

// Shows the text in the label: as rich text when it is markup that names no resource (no
// picture, sized or not, no background picture, no style sheet), otherwise as the plain text
// it renders to (a label's document cannot be replaced).
void setInertLabelText(QLabel *label, const QString &text);

// A tooltip for text from outside: shown as typed (markup as text, line breaks kept),
// cut at kToolTipMaxChars.
QString plainToolTip(const QString &text);

#endif
