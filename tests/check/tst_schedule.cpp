#include "batchwindow.h"
#include "schedule.h"
#include "testrunner.h"

#include <QTest>
#include <QThread>

class TstSchedule : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void entries_data();
    void entries();
    void countdownFollowsTheTimer();
    void automaticRuns();
};

void TstSchedule::cleanup()
{
    setScheduleSecondMs(0);
}

void TstSchedule::entries_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("seconds");
    const QStringList texts = { "手动执行", "1分钟自动执行", "10分钟自动执行", "30分钟自动执行",
        "1小时自动执行", "2小时自动执行", "3小时自动执行", "5小时自动执行", "6小时自动执行", "8小时自动执行",
        "12小时自动执行", "24小时自动执行" };
    const int seconds[] = { -1, 60, 600, 1800, 3600, 7200, 10800, 18000, 21600, 28800, 43200, 86400 };
    for (int i = 0; i < texts.size(); ++i)
        QTest::newRow(qPrintable(texts.at(i))) << i << texts.at(i) << seconds[i];
}

// Every entry waits as long as its text says, on the display and on the timer.
void TstSchedule::entries()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(int, seconds);

    BatchWindow w;
    QCOMPARE(w.keep->count(), 12);
    QCOMPARE(w.keep->itemText(index), text);
    w.keep->setCurrentIndex(index == 0 ? 1 : 0);
    w.keep->setCurrentIndex(index);
    QCOMPARE(w.lcd->intValue(), seconds);
    w.invoke("DJS"); // read back from the running timer
    QCOMPARE(w.lcd->intValue(), seconds);
}

void TstSchedule::countdownFollowsTheTimer()
{
    BatchWindow w;
    QCOMPARE(w.lcd->intValue(), -1);
    setScheduleSecondMs(20); // one minute lasts 1.2 s

    w.keep->setCurrentIndex(1);
    QCOMPARE(w.lcd->intValue(), 60);
    // The window is blocked for 20 "seconds" and misses every tick meanwhile.
    QThread::msleep(400);
    w.invoke("DJS");
    QVERIFY2(
        w.lcd->intValue() >= 1 && w.lcd->intValue() <= 40, qPrintable(QString::number(w.lcd->intValue())));

    w.keep->setCurrentIndex(2); // restarts with the new interval
    QCOMPARE(w.lcd->intValue(), 600);
    w.invoke("DJS");
    QVERIFY(w.lcd->intValue() > 590 && w.lcd->intValue() <= 600);

    w.keep->setCurrentIndex(0);
    QCOMPARE(w.lcd->intValue(), -1);
    w.invoke("DJS");
    QCOMPARE(w.lcd->intValue(), -1);
}

void TstSchedule::automaticRuns()
{
    BatchWindow w;
    w.setScript({ { QStringLiteral("甲"), "CMD", "echo x", "y", "A" },
        { QStringLiteral("乙"), "CMD", "true", "", "A" } });
    w.speech->setChecked(true);
    setScheduleSecondMs(5); // one minute lasts 300 ms

    w.keep->setCurrentIndex(1);
    QTRY_VERIFY(w.spoken.size() >= 2);
    w.keep->setCurrentIndex(0);
    QCOMPARE(w.spoken.mid(0, 2),
        (QStringList { QStringLiteral("1分钟自动执行"), QStringLiteral("甲发现异常！") }));
    QCOMPARE(w.filledRows(), 2);
    QVERIFY(w.logLines().size() >= 2);

    // Back on manual, a timeout starts nothing.
    w.spoken.clear();
    w.results->clearContents();
    w.invoke("AutoKeep");
    QVERIFY(w.spoken.isEmpty());
    QCOMPARE(w.filledRows(), 0);
}

NETCHECK_TEST(TstSchedule)
#include "tst_schedule.moc"
