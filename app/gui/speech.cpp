#include "app/gui/speech.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTextToSpeech>
#include <QThread>
#include <QTimer>
#include <QVoice>

#include <memory>
#include <utility>
#include <vector>

namespace
{
std::function<void(const QString &)> &speechObserver()
{
    static std::function<void(const QString &)> observer;
    return observer;
}

// Lower is better; -1 for a voice that does not speak Mandarin.
int chineseRank(const SpeechVoice &voice)
{
    if (voice.locale.language() == QLocale::Chinese)
        return voice.locale.country() == QLocale::China ? 0 : 1;
    if (voice.locale.language() != QLocale::C
        || !voice.name.contains(QLatin1String("Mandarin"), Qt::CaseInsensitive))
        return -1;
    const bool variant = voice.name.contains(QLatin1Char('+'));
    const bool pinyin = voice.name.contains(QLatin1String("Pinyin"), Qt::CaseInsensitive);
    return 2 + (variant ? 2 : 0) + (pinyin ? 1 : 0);
}
} // namespace

SpeechChoice chineseVoiceOf(const QVector<SpeechEngineVoices> &engines)
{
    SpeechChoice best;
    int bestRank = -1;
    for (const SpeechEngineVoices &engine : engines) {
        for (const SpeechVoice &voice : engine.voices) {
            const int rank = chineseRank(voice);
            if (rank >= 0 && (bestRank < 0 || rank < bestRank)) {
                best = { engine.engine, voice.name, voice.locale };
                bestRank = rank;
            }
        }
    }
    return best;
}

void setSpeechObserver(std::function<void(const QString &)> observer)
{
    speechObserver() = std::move(observer);
}

namespace
{
// Connecting to the platform's speech service can block indefinitely (a service that
// was spawned but never answers), so the engine lives on a thread of its own and the
// window never waits for it.
constexpr unsigned long kSpeechStopWaitMs = 1000;

// Lives on the GUI thread: keeps the answer and hands it to whoever waits for it.
class SpeechAnswer : public QObject
{
public:
    void give(const SpeechSurvey &answer)
    {
        known = true;
        survey = answer;
        const auto callers = std::exchange(waiting, {});
        for (const auto &caller : callers)
            if (caller.first)
                caller.second(survey);
    }

    bool known = false;
    SpeechSurvey survey;
    QVector<QPair<QPointer<QObject>, std::function<void(const SpeechSurvey &)>>> waiting;
};

struct Speaker
{
    QThread *thread = nullptr;
    QObject *context = nullptr; // lives in thread
    QTextToSpeech *engine = nullptr; // touched only in thread
    SpeechAnswer *answer = nullptr;
};
Speaker *speaker = nullptr;

// Every voice under every locale the engine lists.
QVector<SpeechVoice> voicesOf(QTextToSpeech *engine)
{
    QVector<SpeechVoice> voices;
    for (const QLocale &locale : engine->availableLocales()) {
        engine->setLocale(locale);
        for (const QVoice &voice : engine->availableVoices())
            voices.append({ voice.name(), locale });
    }
    return voices;
}

// The voice is selected by name under its locale; true when the engine took it.
bool selectVoice(QTextToSpeech *engine, const SpeechChoice &choice)
{
    engine->setLocale(choice.locale);
    for (const QVoice &voice : engine->availableVoices()) {
        if (voice.name() == choice.voice) {
            engine->setVoice(voice);
            break;
        }
    }
    return engine->voice().name() == choice.voice;
}

// On the speech thread: starts every engine, keeps the one with the Chinese voice.
SpeechSurvey surveyEngines(Speaker *s)
{
    SpeechSurvey survey;
    std::vector<std::unique_ptr<QTextToSpeech>> started;
    for (const QString &name : QTextToSpeech::availableEngines()) {
        auto engine = std::make_unique<QTextToSpeech>(name);
        if (engine->state() == QTextToSpeech::BackendError)
            continue;
        survey.offers.append({ name, voicesOf(engine.get()) });
        started.push_back(std::move(engine));
    }
    const SpeechChoice choice = chineseVoiceOf(survey.offers);
    for (int i = 0; i < survey.offers.size(); ++i) {
        if (survey.offers.at(i).engine == choice.engine && selectVoice(started.at(i).get(), choice)) {
            s->engine = started.at(i).release();
            survey.choice = { choice.engine, s->engine->voice().name(), choice.locale };
        }
    }
    return survey;
}

void stopSpeaker()
{
    if (!speaker)
        return;
    Speaker *s = speaker;
    QMetaObject::invokeMethod(
        s->context,
        [s] {
            delete s->engine;
            s->engine = nullptr;
            delete s->context;
            QThread::currentThread()->quit();
        },
        Qt::QueuedConnection);
    // A thread still stuck connecting is left behind, with the answer it may still give;
    // the process ends it.
    if (s->thread->wait(kSpeechStopWaitMs)) {
        delete s->answer;
        delete s->thread;
        delete s;
    }
    speaker = nullptr;
}

Speaker *startSpeaker()
{
    static const bool stopsAtExit = (qAddPostRoutine(stopSpeaker), true);
    Q_UNUSED(stopsAtExit)
    auto *s = new Speaker;
    s->answer = new SpeechAnswer;
    s->thread = new QThread;
    s->thread->setObjectName(QStringLiteral("speech"));
    s->context = new QObject;
    s->context->moveToThread(s->thread);
    s->thread->start();
    QMetaObject::invokeMethod(
        s->context,
        [s] {
            const SpeechSurvey survey = surveyEngines(s);
            SpeechAnswer *answer = s->answer;
            QMetaObject::invokeMethod(
                answer, [answer, survey] { answer->give(survey); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
    return s;
}

// One engine for the whole program, made on first use, so it outlives every announcement.
Speaker *theSpeaker()
{
    if (!speaker)
        speaker = startSpeaker();
    return speaker;
}
} // namespace

void whenSpeechReady(QObject *context, std::function<void(const SpeechSurvey &)> ready)
{
    if (!qApp)
        return;
    SpeechAnswer *answer = theSpeaker()->answer;
    if (answer->known)
        QTimer::singleShot(0, context, [ready, survey = answer->survey] { ready(survey); });
    else
        answer->waiting.append({ context, std::move(ready) });
}

// Said only once the engine has answered, and only with the Chinese voice: the default
// voice of an English or C locale reads Chinese text as a string of "Chinese letter".
void speakText(const QString &text)
{
    if (speechObserver()) {
        speechObserver()(text);
        return;
    }
    if (!qApp)
        return;
    Speaker *s = theSpeaker();
    QMetaObject::invokeMethod(
        s->context,
        [s, text] {
            if (s->engine)
                s->engine->say(text);
        },
        Qt::QueuedConnection);
}
