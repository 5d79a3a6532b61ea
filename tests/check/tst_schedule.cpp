#include "batchwindow.h"
#include "schedule.h"
#include "testrunner.h"

#include <QTest>
#include <QThread>

class TstSchedule : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { setScheduleSecondMs(0); }
    void entries_data();
    void entries();
    void countdownFollowsTheTimer();
    void automaticRuns();
};

void TstSchedule::entries_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("seconds");
    QTest::newRow("manual") << 0 << "手动执行" << -1;
    QTest::newRow("5 hours") << 7 << "5小时自动执行" << 18000;
    QTest::newRow("6 hours") << 8 << "6小时自动执行" << 21600;
    QTest::newRow("8 hours") << 9 << "8小时自动执行" << 28800;
}

// An entry waits as long as its text says, on the display and on the timer.
void TstSchedule::entries()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(int, seconds);
    BatchWindow w;
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
    setScheduleSecondMs(20); // one minute lasts 1.2 s
    w.keep->setCurrentIndex(1);
    // The window is blocked for 20 "seconds" and misses every tick meanwhile.
    QThread::msleep(400);
    w.invoke("DJS");
    QVERIFY2(
        w.lcd->intValue() >= 1 && w.lcd->intValue() <= 40, qPrintable(QString::number(w.lcd->intValue())));
    w.keep->setCurrentIndex(2); // restarts with the new interval
    w.invoke("DJS");
    QVERIFY(w.lcd->intValue() > 590 && w.lcd->intValue() <= 600);
    w.keep->setCurrentIndex(0);
    w.invoke("DJS");
    QCOMPARE(w.lcd->intValue(), -1);
}

void TstSchedule::automaticRuns()
{
    BatchWindow w;
    w.setScript({ { "甲", "CMD", "echo x", "y", "A" }, { "乙", "CMD", "true", "", "A" } });
    w.speech->setChecked(true);
    setScheduleSecondMs(5); // one minute lasts 300 ms
    w.keep->setCurrentIndex(1);
    QTRY_VERIFY(w.spoken.size() >= 2);
    w.keep->setCurrentIndex(0);
    QCOMPARE(w.spoken.mid(0, 2), (QStringList { "1分钟自动执行", "甲发现异常！" }));
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
