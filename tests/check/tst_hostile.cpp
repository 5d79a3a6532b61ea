#include "batchwindow.h"
#include "httptestserver.h"
#include "richtext.h"
#include "stuckfifo.h"
#include "testrunner.h"

#include <QLabel>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>

class TstHostileCheck : public QObject
{
    Q_OBJECT

private slots:
    void resultToolTips();
};

// A page naming a FIFO (checked by a URL line) and a long output become tooltips shown
// as typed, at once. Labels render their pictures once the panel is shown, whenever built.
void TstHostileCheck::resultToolTips()
{
    HttpTestServer server;
    QVERIFY(server.start());
    BatchWindow w;
    QList<QLabel *> labels;
    bool richOnShow = false;
    const bool waited = waitsOnFifo([&](const QString &fifo) {
        server.serve("/fifo", "<b>hi</b> <img src=\"" + fifo.toUtf8() + "\">");
        w.setScript({ { "网站", "URL", server.url("/fifo"), "hi", "机房" },
            { "长", "CMD", "seq 1 3000", "", "机房" } });
        w.invoke("RefPIcture");
        w.invoke("on_cmdScripShow_clicked");
        richOnShow = w.pictures->findChild<QLabel *>()->textFormat() == Qt::RichText;
        w.start->click();
        labels = w.pictures->findChildren<QLabel *>();
        QToolTip::showText(labels.at(0)->mapToGlobal(QPoint()), labels.at(0)->toolTip(), labels.at(0));
    });
    QVERIFY(!waited && richOnShow);
    QVERIFY(labels.at(0)->toolTip().contains("&lt;img src="));
    QTextDocument shown;
    shown.setHtml(labels.at(1)->toolTip());
    QCOMPARE(shown.toPlainText().size(), kToolTipMaxChars + 1);
    QVERIFY(shown.toPlainText().startsWith("1\n2\n3\n") && shown.toPlainText().endsWith("…"));
    for (QLabel *device : labels)
        QCOMPARE(device->textFormat(), Qt::RichText);
}

NETCHECK_TEST(TstHostileCheck)
#include "tst_hostile.moc"
