#include "batchwindow.h"
#include "httptestserver.h"
#include "richtext.h"
#include "stuckfifo.h"
#include "testrunner.h"

#include <QLabel>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>

// Results from outside reach the device labels: shown as text, never loading anything.
class TstHostileCheck : public QObject
{
    Q_OBJECT

private slots:
    void toolTipText_data();
    void toolTipText();
    void resultToolTipLoadsNothing();
};

void TstHostileCheck::toolTipText_data()
{
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("shown");
    const QString x(kToolTipMaxChars - 1, 'x');
    // clang-format off
    QTest::newRow("markup as typed") << "<b>hi</b> <img src=\"a.png\"> &amp;" << "<b>hi</b> <img src=\"a.png\"> &amp;";
    QTest::newRow("line breaks kept") << "ping\nreply\nreply" << "ping\nreply\nreply";
    QTest::newRow("cut") << x + "yz" << x + "y…";
    QTest::newRow("not cut inside a character") << x + "😀z" << x + "…";
    QTest::newRow("nothing: no tooltip") << "" << "";
    // clang-format on
}

void TstHostileCheck::toolTipText()
{
    QFETCH(QString, result);
    QFETCH(QString, shown);
    const QString tip = plainToolTip(result);
    QTextDocument rendered;
    rendered.setHtml(tip);
    QCOMPARE(rendered.toPlainText(), shown);
    QCOMPARE(tip.isEmpty(), shown.isEmpty());
}

// A page naming a FIFO, checked by a URL line: its label's tooltip shows at once. The
// labels render their pictures once the panel is shown, whenever they were built.
void TstHostileCheck::resultToolTipLoadsNothing()
{
    StuckFifo fifo;
    QVERIFY(fifo.isMade());
    HttpTestServer server;
    QVERIFY(server.start());
    server.serve("/fifo", "<b>hi</b> <img src=\"" + fifo.path.toUtf8() + "\">");
    BatchWindow w;
    w.setScript({ { "网站", "URL", server.url("/fifo"), "hi", "机房" } });
    w.invoke("RefPIcture");
    w.invoke("on_cmdScripShow_clicked");
    auto *label = w.pictures->findChild<QLabel *>();
    QVERIFY(label && label->textFormat() == Qt::RichText);
    w.start->click();
    QCOMPARE(w.cell(0, 1), QStringLiteral("正常"));
    label = w.pictures->findChild<QLabel *>();
    QVERIFY(label && label->textFormat() == Qt::RichText);
    QVERIFY(label->toolTip().contains("&lt;img src="));
    QToolTip::showText(label->mapToGlobal(QPoint()), label->toolTip(), label);
    QToolTip::hideText();
    QVERIFY(!fifo.waited());
}

NETCHECK_TEST(TstHostileCheck)
#include "tst_hostile.moc"
