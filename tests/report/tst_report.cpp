#include "pdftext.h"
#include "report/pdflayout.h"
#include "report/pdfreport.h"

#include <QtTest>

class TstReport : public QObject
{
    Q_OBJECT

private slots:
    // Each row on the page the numbering promises, 19 to a landscape page, so a 20th row opens a
    // page and a 38th does not; the header row on every page. A long output shows its beginning
    // only, clipped to its row.
    void pages()
    {
        QTemporaryDir dir;
        ReportTable table { { "名称", "检测结果" }, { 200, 500 }, {} };
        for (int rows : { 20, 38 }) {
            table.rows.clear();
            for (int r = 0; r < rows; ++r)
                table.rows.append({ QStringLiteral("设备%1").arg(r + 1), QString() });
            table.rows[0][1] = "输出甲\n输出乙\n输出丙\n输出丁\n输出戊";
            QFile pdf(dir.filePath("r.pdf"));
            QVERIFY(pdf.open(QIODevice::WriteOnly) && writeReportPdf(pdf, "标题", {}, {}, "横向", table));
            pdf.close();
            const QStringList pages = pageTexts(dir.filePath("r.pdf"));
            QCOMPARE(pages.size(), 2);
            for (int r = 1; r <= rows; ++r)
                QVERIFY(pages.at((r - 1) / 19).contains(QStringLiteral(" 设备%1 ").arg(r)));
            for (int p = 0; p < 2; ++p) {
                QVERIFY2(pages.at(p).startsWith("标题 名称") && pages.at(p).contains(" 检测结果 "),
                    qPrintable(pages.at(p)));
                QVERIFY(pages.at(p).contains(QStringLiteral("第 %1 页 共 2 页").arg(p + 1)));
            }
            QVERIFY(pages.first().contains("输出甲") && !pages.first().contains("输出戊"));
        }
        QFile folder(dir.path());
        QVERIFY(!writeReportPdf(folder, "标题", {}, {}, "横向", table));
    }
};

QTEST_MAIN(TstReport)
#include "tst_report.moc"
