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

private slots:
    // A fake xdg-open first on PATH notes each file handed to the viewer; it waits, as
    // xdg-open without a desktop does, until the viewer is closed, then exits as told.
    void initTestCase()
    {
        QFile opener(tools.filePath("xdg-open"));
        QVERIFY(opener.open(QIODevice::WriteOnly)
            && opener.write(
                "#!/bin/sh\necho \"$1\" >> \"$0.log\"\nwhile [ ! -e \"$0.closed\" ]; do sleep 0.05; done\n"
                "exit $(cat \"$0.exit\")\n"));
        opener.close();
        opener.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        qputenv("PATH", tools.path().toLocal8Bit() + ':' + path);
        viewer(true, 0);
    }
    void cleanupTestCase() { qputenv("PATH", path); }

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
        QTRY_COMPARE(opened(), (w.path("tmpPDF.pdf") + '\n').repeated(2));
        QCOMPARE(w.boxes(), QStringList());
    }

    // Where no viewer takes the report, a box says where it is; the window never waits for
    // the opener.
    void viewerMissing_data()
    {
        QTest::addColumn<int>("exit"); // of the fake xdg-open; -1: none on PATH
        QTest::newRow("viewer opens it") << 0;
        QTest::newRow("no viewer") << 3;
        QTest::newRow("no xdg-open") << -1;
    }
    void viewerMissing()
    {
        QFETCH(int, exit);
        TestWindow w;
        viewer(false, exit);
        if (exit < 0)
            qputenv("PATH", "/nowhere");
        w.click("cmdScripPrint");
        qputenv("PATH", tools.path().toLocal8Bit() + ':' + path);
        QVERIFY(exit < 0 || w.boxes().isEmpty()); // the opener still waits
        viewer(true, exit);
        QTRY_VERIFY(w.window->findChildren<QProcess *>().isEmpty());
        QCOMPARE(w.boxes(),
            exit == 0 ? QStringList()
                      : QStringList {
                          "提示信息: 没有找到打开PDF文件的程序，报告已保存在：\n" + w.path("tmpPDF.pdf") });
        // The window closed while the opener waits: nothing is said.
        viewer(false, exit);
        w.click("cmdScripPrint");
        w.window.reset();
        QCOMPARE(w.boxes(), QStringList());
    }

private:
    void viewer(bool closed, int exit)
    {
        QFile code(tools.filePath("xdg-open.exit"));
        code.open(QIODevice::WriteOnly);
        code.write(QByteArray::number(qMax(exit, 0)));
        if (closed)
            QFile(tools.filePath("xdg-open.closed")).open(QIODevice::WriteOnly);
        else
            QFile::remove(tools.filePath("xdg-open.closed"));
    }
    QString opened() const
    {
        QFile log(tools.filePath("xdg-open.log"));
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
    }
    QTemporaryDir tools;
    const QByteArray path = qgetenv("PATH");
};

QTEST_MAIN(TstReport)
#include "tst_report.moc"
