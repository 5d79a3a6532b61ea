#ifndef SPEECH_H
#define SPEECH_H

#include <QString>

#include <functional>

// Speaks the text with the platform's speech engine; returns at once. Where there is
// no engine nothing is spoken.
void speakText(const QString &text);
// Test seam: while set, speakText hands the text to the observer instead of the engine.
void setSpeechObserver(std::function<void(const QString &)> observer);

#endif
