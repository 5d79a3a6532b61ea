#ifndef INFLATER_H
#define INFLATER_H

#include <QByteArray>

#include <zlib.h>

class ByteSink;

// Inflates a compressed body (gzip, or deflate with or without its zlib wrapper) as it
// arrives, a bounded step at a time, keeping at most a given size: a small body that
// inflates to gigabytes never exists whole.
class BodyInflater
{
public:
    enum Step {
        More, // all input taken, the stream goes on
        Ended, // the stream is complete (anything after it is ignored)
        Overflow, // it inflates to more than the room given, which out has had
        Broken, // not a valid stream
    };

    BodyInflater();
    ~BodyInflater();
    BodyInflater(const BodyInflater &) = delete;
    BodyInflater &operator=(const BodyInflater &) = delete;

    // Hands what the input inflates to on to out, a step at a time, at most room bytes of it.
    Step inflate(const QByteArray &input, ByteSink *out, qint64 room);
    // A stream that stops before its end was cut or broken.
    bool hasEnded() const { return ended; }

private:
    z_stream stream {};
    bool raw = false; // no zlib or gzip wrapper after all
    bool ended = false;
};

#endif
