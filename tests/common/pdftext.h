#ifndef PDFTEXT_H
#define PDFTEXT_H

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

// The text of every page as poppler reads it back, runs of white space as one blank.
inline QStringList pageTexts(const QString &pdf)
{
    QProcess tool;
    tool.start("pdftotext", { pdf, "-" });
    tool.waitForFinished(30000);
    QStringList pages = QString::fromUtf8(tool.readAllStandardOutput()).split('\f');
    pages.removeLast(); // after the last page's form feed
    return pages.replaceInStrings(QRegularExpression("\\s+"), " ");
}
#endif
