#include "app/gui/richtext.h"
#include "app/gui/shallowhtml.h"

#include <QAbstractTextDocumentLayout>
#include <QLabel>
#include <QPixmap>
#include <QTextEdit>

QVariant InertTextDocument::loadResource(int type, const QUrl &)
{
    asked = true;
    // Given no picture, or an empty one, the toolkit opens the file the page names by itself.
    if (type == QTextDocument::ImageResource) {
        static const QPixmap placeholder = [] {
            QPixmap picture(QStringLiteral(":/qt-project.org/styles/commonstyle/images/file-16.png"));
            if (picture.isNull()) {
                picture = QPixmap(16, 16);
                picture.fill(Qt::lightGray);
            }
            return picture;
        }();
        return placeholder;
    }
    return QVariant();
}

void setInertHtml(QTextEdit *edit, const QString &html)
{
    if (!qobject_cast<InertTextDocument *>(edit->document()))
        edit->setDocument(new InertTextDocument(edit));
    edit->setWordWrapMode(kOutsideTextWrap);
    edit->setHtml(shallowHtml(html));
}

void setInertLabelText(QLabel *label, const QString &text)
{
    if (!Qt::mightBeRichText(text)) {
        label->setTextFormat(Qt::PlainText);
        label->setText(text);
        return;
    }
    const QString shallow = shallowHtml(text);
    InertTextDocument probe;
    probe.setHtml(shallow);
    probe.documentLayout()->documentSize(); // pictures are asked for while laying out
    // A picture with a given size, or a background picture, is asked for only when painted:
    // any format naming one is enough.
    bool names = probe.askedForResources();
    for (const QTextFormat &format : probe.allFormats())
        names = names || format.isImageFormat() || format.hasProperty(QTextFormat::BackgroundImageUrl);
    label->setTextFormat(names ? Qt::PlainText : Qt::RichText);
    label->setText(names
            ? probe.toPlainText().remove(QChar::ObjectReplacementCharacter) // where pictures stood
            : shallow);
}

QString plainToolTip(const QString &text)
{
    if (text.isEmpty())
        return text; // no tooltip at all, not an empty one
    if (text.size() <= kToolTipMaxChars)
        return Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
    int cut = kToolTipMaxChars;
    if (text.at(cut - 1).isHighSurrogate())
        --cut;
    return Qt::convertFromPlainText(text.left(cut) + QStringLiteral("…"), Qt::WhiteSpaceNormal);
}
