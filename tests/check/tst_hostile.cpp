#include "batchwindow.h"
#include "testrunner.h"

#include <QLabel>
#include <QTest>

class TstHostileCheck : public QObject
{
    Q_OBJECT

private slots:
    void deviceLabelsRenderWhenShown();
};

// Labels built while the picture panel is hidden show their pictures once it is shown;
// labels built while it is shown show them at once.
void TstHostileCheck::deviceLabelsRenderWhenShown()
{
    BatchWindow w;
    w.setScript({ { "网站", "CMD", "true", "", "机房" } });
    w.invoke("RefPIcture");
    for (const char *slot : { "on_cmdScripShow_clicked", "RefPIcture" }) {
        w.invoke(slot);
        QCOMPARE(w.pictures->findChild<QLabel *>()->textFormat(), Qt::RichText);
    }
}

NETCHECK_TEST(TstHostileCheck)
#include "tst_hostile.moc"
