#include "pdflayout.h"
#include "pdfreport.h"
#include "testwindow.h"

#include <QtTest>
#include <QtWidgets>

namespace
{
// The text of every page as poppler reads it back, runs of white space as one blank.
QStringList pageTexts(const QString &pdf)
{
    QProcess tool;
    tool.start("pdftotext", { pdf, "-" });
    tool.waitForFinished(30000);
    QStringList pages = QString::fromUtf8(tool.readAllStandardOutput()).split('\f');
    pages.removeLast(); // after the last page's form feed
    return pages.replaceInStrings(QRegularExpression("\\s+"), " ");
}

} // namespace

class TstReport : public QObject
{
    Q_OBJECT

public slots:
    void open(const QUrl &url) { opened.append(url); } // in the PDF viewer's place

private slots:
    void initTestCase() { QDesktopServices::setUrlHandler("file", this, "open"); }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler("file"); }

    // The button prints the results table beside the program, landscape, titled with the date
    // of the print, replacing the last print: each row on the page the numbering promises, 19
    // to a page, so a 20th row opens a page and a 38th does not. A long output shows its
    // beginning only, clipped to its row.
    void printButton()
    {
        TestWindow w;
        auto *table = w.find<QTableWidget>("tableWidget");
        table->setItem(0, 4, new QTableWidgetItem("输出甲\n输出乙\n输出丙\n输出丁\n输出戊"));
        for (int rows : { 20, 38 }) {
            table->setRowCount(rows);
            for (int r = 0; r < rows; ++r)
                table->setItem(r, 0, new QTableWidgetItem(QStringLiteral("设备%1").arg(r + 1)));
            const QString before = PdfLayout::reportTitle(QDateTime::currentDateTime());
            w.click("cmdScripPrint");
            const QString after = PdfLayout::reportTitle(QDateTime::currentDateTime());
            const QStringList pages = pageTexts(w.path("tmpPDF.pdf"));
            QCOMPARE(pages.size(), 2);
            for (int r = 1; r <= rows; ++r)
                QVERIFY(pages.at((r - 1) / 19).contains(QStringLiteral(" 设备%1 ").arg(r)));
            for (int p = 0; p < 2; ++p) {
                QVERIFY2(pages.at(p).startsWith(before + " 名称") || pages.at(p).startsWith(after + " 名称"),
                    qPrintable(pages.at(p)));
                QVERIFY(pages.at(p).contains(QStringLiteral("第 %1 页 共 2 页").arg(p + 1)));
            }
            QVERIFY(pages.first().contains("输出甲") && !pages.first().contains("输出戊"));
        }
        const QUrl pdf = QUrl::fromLocalFile(w.path("tmpPDF.pdf"));
        QCOMPARE(opened, QList<QUrl>({ pdf, pdf }));
    }

private:
    QList<QUrl> opened;
};

QTEST_MAIN(TstReport)
#include "tst_report.moc"
