#include "appdir.h"
#include "command.h"
#include "fromlanrik.h"
#include "testrunner.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QThread>
#include <QTimer>

class TstCommand : public QObject
{
    Q_OBJECT

private slots:
    void normalise_data();
    void normalise();
    void runs_data();
    void runs();
    void boundKillsAndKeepsPartialOutput();
    void worksOnAWorkerThread();
    void commandTab_data();
    void commandTab();
};

void TstCommand::normalise_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("expected");
    // clang-format off
    QTest::newRow("CR LF pairs") << "a\r\n\r\n\r\nb" << "a\nb";
    QTest::newRow("single line feed stays") << "a\nb\n" << "a\nb\n";
    QTest::newRow("five become two") << "a\n\n\n\n\nb" << "a\n\nb";
    QTest::newRow("nine become three") << "a\n\n\n\n\n\n\n\n\nb" << "a\n\n\nb";
    QTest::newRow("blanks kept, not trimmed") << "  x  \n" << "  x  \n";
    // clang-format on
}

void TstCommand::normalise()
{
    QFETCH(QString, raw);
    QFETCH(QString, expected);
    QCOMPARE(normaliseCommandOutput(raw), expected);
}

void TstCommand::runs_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("expected");
    // clang-format off
    QTest::newRow("quotes group arguments") << "printf \"%s|\" \"a b\" c" << "a b|c|";
    QTest::newRow("utf-8 output") << "printf 网关" << QStringLiteral("网关");
    QTest::newRow("standard error left out") << "sh -c \"echo out; echo err >&2\"" << "out\n";
    QTest::newRow("exit code ignored") << "sh -c \"echo partial; exit 3\"" << "partial\n";
    QTest::newRow("missing program") << "no-such-program-netcheck --x" << "";
    QTest::newRow("no shell in between") << "echo a | cat" << "a | cat\n";
    QTest::newRow("empty line") << "" << "";
    // clang-format on
}

void TstCommand::runs()
{
    QFETCH(QString, command);
    QFETCH(QString, expected);
    QCOMPARE(runCommand(command), expected);
}

// The bound kills the command and keeps what it printed; timers fire meanwhile.
void TstCommand::boundKillsAndKeepsPartialOutput()
{
    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(20);
    QElapsedTimer clock;
    clock.start();
    bool timedOut = false;
    QCOMPARE(runCommand(QStringLiteral("sh -c \"echo early; exec sleep 30\""), 500, &timedOut),
        QStringLiteral("early\n"));
    QVERIFY2(clock.elapsed() < 10000, "the bound did not end the command");
    QVERIFY(timedOut);
    QCOMPARE(runCommand(QStringLiteral("echo quick"), 500, &timedOut), QStringLiteral("quick\n"));
    QVERIFY(!timedOut);
    QVERIFY(ticks > 0);
}

void TstCommand::worksOnAWorkerThread()
{
    QString out;
    QScopedPointer<QThread> thread(QThread::create([&] { out = runCommand(QStringLiteral("echo worker")); }));
    thread->start();
    QVERIFY(thread->wait(10000));
    QCOMPARE(out, QStringLiteral("worker\n"));
}

void TstCommand::commandTab_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    const QString sep = QString(49, QLatin1Char('-')) + QLatin1Char('\n');
    QTest::newRow("only blank lines clear") << "  \n\n \t\n" << QString();
    QTest::newRow("trimmed echo") << "   echo hi   "
                                  << "echo hi\n" + sep + "hi\n\n";
    QTest::newRow("markup is shown as text") << "echo <b>x</b>"
                                             << "echo <b>x</b>\n" + sep + "<b>x</b>\n\n";
    QTest::newRow("three blocks in order")
        << "echo 1\n\nprintf two\nno-such-program-netcheck"
        << "echo 1\n" + sep + "1\n\nprintf two\n" + sep + "two\nno-such-program-netcheck\n" + sep + "\n";
}

void TstCommand::commandTab()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    setAppDirOverride(dir.path());
    {
        fromlanrik window;
        auto *textCMD = window.findChild<QTextEdit *>(QStringLiteral("textCMD"));
        textCMD->setPlainText(QStringLiteral("old output"));
        window.findChild<QTextEdit *>(QStringLiteral("txtCMD"))->setPlainText(input);
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("cmdCMD")), Qt::LeftButton);
        QTRY_COMPARE(textCMD->toPlainText(), expected);
    }
    setAppDirOverride(QString());
}

NETCHECK_TEST(TstCommand)
#include "tst_command.moc"
