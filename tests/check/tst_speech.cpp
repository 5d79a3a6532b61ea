#include "appdir.h"
#include "fromlanrik.h"
#include "speech.h"
#include "testrunner.h"

#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>
#include <optional>

Q_DECLARE_METATYPE(QVector<SpeechEngineVoices>)

namespace
{
constexpr int kAnswerBoundMs = 20000; // a fake engine answers at once
constexpr int kServiceBoundMs = 120000; // the real service lists some 13,000 voices first

// Voices as "locale:name".
SpeechEngineVoices engine(const QString &name, const QStringList &voices)
{
    SpeechEngineVoices offer { name, {} };
    for (const QString &voice : voices)
        offer.voices.append({ voice.section(':', 1), QLocale(voice.section(':', 0, 0)) });
    return offer;
}

const SpeechEngineVoices kSpeechd = engine("speechd",
    { "en_US:English (America)", "C:Sindarin+grandma", "C:Chinese (Mandarin, latin as Pinyin)",
        "C:Chinese (Mandarin, latin as English)+Adam", "C:Hakka Chinese",
        "C:Chinese (Mandarin, latin as English)", "yue_HK:Chinese (Cantonese)" });

// The language espeak-ng's own voice file gives a voice (its first "language" line).
QString espeakLanguageOf(const QString &voiceName)
{
    QStringList roots = { "/usr/share/espeak-ng-data/lang" };
    for (const QString &arch : QDir("/usr/lib").entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        roots << QStringLiteral("/usr/lib/%1/espeak-ng-data/lang").arg(arch);
    const QString nameLine = "name " + voiceName.section('+', 0, 0);
    for (const QString &root : roots) {
        for (QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
            QFile file(it.next());
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
            if (lines.contains(nameLine))
                for (const QString &line : lines)
                    if (line.startsWith("language "))
                        return line.mid(9).trimmed();
        }
    }
    return QString();
}
} // namespace

class TstSpeech : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { setSpeechEnginesOverride(nullptr); }
    void chineseVoice_data();
    void chineseVoice();
    void boxFollowsTheAnswer_data();
    void boxFollowsTheAnswer();
};

void TstSpeech::chineseVoice_data()
{
    QTest::addColumn<QVector<SpeechEngineVoices>>("engines");
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("voice");
    QTest::newRow("espeak-ng Mandarin under C: plain, Latin as English")
        << QVector<SpeechEngineVoices> { kSpeechd } << "speechd"
        << "Chinese (Mandarin, latin as English)";
    QTest::newRow("English-only engine listed first")
        << QVector<SpeechEngineVoices> { engine("flite", { "en_US:kal16", "en_US:slt" }), kSpeechd }
        << "speechd"
        << "Chinese (Mandarin, latin as English)";
    QTest::newRow("mainland voice first") << QVector<SpeechEngineVoices> { engine("sapi",
        { "en_US:Microsoft David Desktop", "zh_TW:Microsoft Hanhan Desktop",
            "zh_CN:Microsoft Huihui Desktop" }) }
                                          << "sapi"
                                          << "Microsoft Huihui Desktop";
    QTest::newRow("a Chinese locale before a name")
        << QVector<SpeechEngineVoices> { kSpeechd, engine("sapi", { "zh_TW:Microsoft Hanhan Desktop" }) }
        << "sapi"
        << "Microsoft Hanhan Desktop";
    QTest::newRow("Cantonese and Hakka only") << QVector<SpeechEngineVoices> { engine(
        "speechd", { "yue_HK:Chinese (Cantonese)", "C:Hakka Chinese" }) }
                                              << ""
                                              << "";
    QTest::newRow("no engine") << QVector<SpeechEngineVoices>() << ""
                               << "";
}

void TstSpeech::chineseVoice()
{
    QFETCH(QVector<SpeechEngineVoices>, engines);
    QFETCH(QString, engine);
    QFETCH(QString, voice);
    const SpeechChoice choice = chineseVoiceOf(engines);
    QCOMPARE(choice.engine, engine);
    QCOMPARE(choice.voice, voice);
    QCOMPARE(choice.isValid(), !voice.isEmpty());
}

void TstSpeech::boxFollowsTheAnswer_data()
{
    QTest::addColumn<QVector<SpeechEngineVoices>>("engines");
    QTest::addColumn<bool>("offered");
    QTest::newRow("Mandarin") << QVector<SpeechEngineVoices> { kSpeechd } << true;
    QTest::newRow("English only") << QVector<SpeechEngineVoices> { engine("flite", { "en_US:kal16" }) }
                                  << false;
}

// The engine is asked off the GUI thread and start-up does not wait for its answer.
void TstSpeech::boxFollowsTheAnswer()
{
    QFETCH(QVector<SpeechEngineVoices>, engines);
    QFETCH(bool, offered);
    auto release = std::make_shared<QSemaphore>();
    auto askedOn = std::make_shared<Qt::HANDLE>(nullptr);
    auto releasedByTest = std::make_shared<bool>(false);
    setSpeechEnginesOverride([=] {
        *askedOn = QThread::currentThreadId();
        *releasedByTest = release->tryAcquire(1, kAnswerBoundMs);
        return engines;
    });
    QTemporaryDir dir;
    setAppDirOverride(dir.path());
    fromlanrik window;
    setAppDirOverride(QString());
    window.show();
    auto *box = window.findChild<QCheckBox *>("chkSpack");
    QVERIFY(box->isHidden());

    std::optional<SpeechSurvey> answer;
    whenSpeechReady(&window, [&](const SpeechSurvey &survey) { answer = survey; });
    release->release();
    QTRY_VERIFY_WITH_TIMEOUT(answer.has_value(), kAnswerBoundMs);
    QCOMPARE(!box->isHidden(), offered);
    QVERIFY(*askedOn != QThread::currentThreadId());
    QVERIFY(*releasedByTest); // not given up while start-up waited for it
}

// The real engines: under a C locale the alerts speak with a Mandarin voice.
class TstSpeechVoice : public QObject
{
    Q_OBJECT

private slots:
    void mandarinUnderCLocale();
};

void TstSpeechVoice::mandarinUnderCLocale()
{
    if (qgetenv("LANG") != "C" || !qEnvironmentVariableIsEmpty("LC_ALL"))
        QSKIP("run alone under LANG=C by the speech test");
    QCOMPARE(QLocale::system().language(), QLocale::C);
    QObject context;
    std::optional<SpeechSurvey> answer;
    whenSpeechReady(&context, [&](const SpeechSurvey &survey) { answer = survey; });
    // A service that never answers, or none at all, is the machine's, not the program's fault.
    if (!QTest::qWaitFor([&] { return answer.has_value(); }, kServiceBoundMs))
        QSKIP("the speech service did not answer in time");
    int voices = 0;
    for (const SpeechEngineVoices &offer : answer->offers)
        voices += offer.voices.size();
    if (voices == 0)
        QSKIP("no speech engine started here");

    const SpeechChoice &choice = answer->choice;
    qInfo("speaking with %s / %s", qPrintable(choice.engine), qPrintable(choice.voice));
    QCOMPARE(choice.engine, QStringLiteral("speechd"));
    QVERIFY2(espeakLanguageOf(choice.voice).startsWith("cmn"), qPrintable(choice.voice));
}

NETCHECK_TEST(TstSpeech)
NETCHECK_TEST(TstSpeechVoice)
#include "tst_speech.moc"
