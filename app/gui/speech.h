#ifndef GUI_SPEECH_H
#define GUI_SPEECH_H

#include <QLocale>
#include <QString>
#include <QVector>

#include <functional>

class QObject;

// One voice as an engine reports it: its name and the locale it is listed under.
struct SpeechVoice
{
    QString name;
    QLocale locale;
};

// What one engine that started offers.
struct SpeechEngineVoices
{
    QString engine;
    QVector<SpeechVoice> voices;
};

// The engine and voice that speak; empty when no engine offers a Chinese voice.
struct SpeechChoice
{
    QString engine;
    QString voice;
    QLocale locale;
    bool isValid() const { return !engine.isEmpty() && !voice.isEmpty(); }
};

// What the engines offered and the voice that speaks from now on.
struct SpeechSurvey
{
    QVector<SpeechEngineVoices> offers;
    SpeechChoice choice;
};

// The Chinese voice to speak with, whatever the system locale: a voice listed under a
// Chinese locale (mainland first), else a voice whose language maps to no locale and
// whose name says Mandarin (speech-dispatcher lists espeak-ng's "cmn" voices that way),
// a plain voice before its variants and Latin read as English before Pinyin. Among equals
// the first engine, then the first voice, wins.
SpeechChoice chineseVoiceOf(const QVector<SpeechEngineVoices> &engines);

// Calls ready on the context's thread once the speech engine has answered: the engines are
// asked off the GUI thread (connecting to a speech service can block), so this returns at once.
// The engine is asked once per program; later callers get the same answer.
void whenSpeechReady(QObject *context, std::function<void(const SpeechSurvey &)> ready);

// Speaks the text with the chosen Chinese voice; returns at once. Without one nothing is spoken.
void speakText(const QString &text);

// Test seam: while set, speakText hands the text to the observer instead of the engine.
void setSpeechObserver(std::function<void(const QString &)> observer);

#endif
