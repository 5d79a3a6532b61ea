#include "batchwindow.h"
#include "testrunner.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <optional>

class TstDesktop : public QObject
{
    Q_OBJECT

private slots:
    void chineseVoice_data();
    void chineseVoice();
    void mandarinUnderCLocale();
    void closing_data();
    void closing();
};

void TstDesktop::chineseVoice_data()
{
    // Each engine as "engine: locale/voice;locale/voice".
    QTest::addColumn<QStringList>("offers");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("espeak-ng's plain Mandarin under C, after an English-only engine")
        << QStringList { "flite: en_US/kal16",
               "speechd: C/Chinese (Mandarin, latin as Pinyin);C/Chinese (Mandarin, latin as English)+Adam;"
               "C/Chinese (Mandarin, latin as English);yue_HK/Chinese (Cantonese)" }
        << "speechd/Chinese (Mandarin, latin as English)";
    QTest::newRow("a mainland locale, before a name")
        << QStringList { "speechd: C/Mandarin", "sapi: en_US/David;zh_TW/Hanhan;zh_CN/Huihui" }
        << "sapi/Huihui";
    QTest::newRow("Cantonese and Hakka only")
        << QStringList { "speechd: yue_HK/Cantonese;C/Hakka Chinese" } << "";
}

void TstDesktop::chineseVoice()
{
    QFETCH(QStringList, offers);
    QVector<SpeechEngineVoices> engines;
    for (const QString &offer : offers) {
        engines.append({ offer.section(": ", 0, 0), {} });
        for (const QString &voice : offer.section(": ", 1).split(';'))
            engines.last().voices.append({ voice.section('/', 1), QLocale(voice.section('/', 0, 0)) });
    }
    const SpeechChoice choice = chineseVoiceOf(engines);
    QTEST(choice.isValid() ? choice.engine + '/' + choice.voice : QString(), "chosen");
}

// The real service, asked by the speech test alone: the box appears once it has answered, and
// the alerts speak with espeak-ng's voice for the language cmn.
void TstDesktop::mandarinUnderCLocale()
{
    if (qgetenv("LANG") != "C" || !qEnvironmentVariableIsEmpty("LC_ALL"))
        QSKIP("run under LANG=C by the speech test");
    BatchWindow w;
    QVERIFY(w.speech->isHidden()); // start-up did not wait
    std::optional<SpeechSurvey> answer;
    whenSpeechReady(w.window, [&](const SpeechSurvey &survey) { answer = survey; });
    // A service that never answers, or none at all, is the machine's fault, not the program's.
    if (!QTest::qWaitFor([&] { return answer.has_value(); }, 120000)
        || answer->offers.value(0).voices.isEmpty())
        QSKIP("no speech service answered here within two minutes");
    QCOMPARE(answer->choice.engine + '/' + answer->choice.voice,
        QStringLiteral("speechd/Chinese (Mandarin, latin as English)"));
    QVERIFY(!w.speech->isHidden());
}

void TstDesktop::closing_data()
{
    QTest::addColumn<bool>("edit");
    QTest::addColumn<bool>("saveFirst");
    QTest::addColumn<int>("answer"); // 0: no question expected
    QTest::addColumn<bool>("writable");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("written");
    const int save = QMessageBox::Save;
    QTest::newRow("as loaded") << false << false << 0 << true << true << false;
    QTest::newRow("saved by the button") << true << true << 0 << true << true << true;
    QTest::newRow("保存") << true << false << save << true << true << true;
    QTest::newRow("不保存") << true << false << int(QMessageBox::Discard) << true << true << false;
    QTest::newRow("取消") << true << false << int(QMessageBox::Cancel) << true << false << false;
    QTest::newRow("保存 fails") << true << false << save << false << false << false;
}

// Closed while a batch run waits for its slow line: the run ends only if the window closes.
void TstDesktop::closing()
{
    QFETCH(bool, edit);
    QFETCH(bool, saveFirst);
    QFETCH(int, answer);
    QFETCH(bool, writable);
    QTemporaryDir dir;
    QFile script(dir.filePath("chkScript.txt"));
    QVERIFY(script.open(QIODevice::WriteOnly)
        && script.write("CMD|true|首||\nCMD|sleep 1|慢||\nCMD|true|后||\n"));
    script.close();
    setAppDirOverride(dir.path());
    MessageBox::startRecording();
    fromlanrik window;
    window.show();
    qApp->setQuitOnLastWindowClosed(false);
    QTimer::singleShot(300, &window, [&] {
        if (edit)
            window.findChild<QTableWidget *>("tableScript")->item(2, 0)->setText("新");
        if (saveFirst)
            window.findChild<QPushButton *>("cmdSet_SaveScript")->click();
        if (!writable) // a folder in the file's place cannot be replaced
            script.remove() && QDir(dir.path()).mkdir("chkScript.txt");
        MessageBox::takeRecorded();
        MessageBox::setNextAnswer(QMessageBox::StandardButton(answer));
        window.close();
    });
    window.findChild<QPushButton *>("cmdScriptStart")->click();
    qApp->setQuitOnLastWindowClosed(true);
    setAppDirOverride(QString());
    QStringList boxes;
    for (const MessageBox::Shown &box : MessageBox::takeRecorded())
        boxes << box.title + ": " + box.text;
    MessageBox::stopRecording();
    QCOMPARE(boxes.contains("提示信息: 脚本已修改，是否保存？"), answer != 0);
    QCOMPARE(boxes.contains("警告: 文件保存失败！"), !writable);
    QTEST(!window.isVisible(), "closes");
    QTEST(!window.findChild<QTableWidget *>("tableWidget")->item(2, 0), "closes");
    QTEST(script.open(QIODevice::ReadOnly) && script.readAll().contains("|新|"), "written");
}

NETCHECK_TEST(TstDesktop)
#include "tst_desktop.moc"
