#include "speech.h"

#include <QCoreApplication>
#include <QTextToSpeech>
#include <QThread>

namespace
{
std::function<void(const QString &)> &speechObserver()
{
    static std::function<void(const QString &)> observer;
    return observer;
}

} // namespace

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

struct Speaker
{
    QThread *thread = nullptr;
    QObject *context = nullptr; // lives in thread
    QTextToSpeech *engine = nullptr; // touched only in thread
};
Speaker *speaker = nullptr;

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
    // A thread still stuck connecting is left behind; the process ends it.
    if (s->thread->wait(kSpeechStopWaitMs)) {
        delete s->thread;
        delete s;
    }
    speaker = nullptr;
}

Speaker *startSpeaker()
{
    auto *s = new Speaker;
    s->thread = new QThread;
    s->thread->setObjectName(QStringLiteral("speech"));
    s->context = new QObject;
    s->context->moveToThread(s->thread);
    s->thread->start();
    QMetaObject::invokeMethod(
        s->context,
        [s] {
            auto *engine = new QTextToSpeech;
            if (engine->state() == QTextToSpeech::BackendError)
                delete engine;
            else
                s->engine = engine;
        },
        Qt::QueuedConnection);
    qAddPostRoutine(stopSpeaker);
    return s;
}
} // namespace

// One engine for the whole program, made on first use, so it outlives every
// announcement. Without a working engine nothing is spoken.
void speakText(const QString &text)
{
    if (speechObserver()) {
        speechObserver()(text);
        return;
    }
    if (!qApp)
        return;
    if (!speaker)
        speaker = startSpeaker();
    Speaker *s = speaker;
    QMetaObject::invokeMethod(
        s->context,
        [s, text] {
            if (s->engine)
                s->engine->say(text);
        },
        Qt::QueuedConnection);
}
