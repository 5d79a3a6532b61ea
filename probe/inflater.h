#ifndef INFLATER_H
#define INFLATER_H

#include <QByteArray>

#include <zlib.h>

// Inflates a compressed body (gzip, or deflate with or without its zlib wrapper) as it
// arrives, a bounded step at a time, keeping at most a given size: a small body that
// inflates to gigabytes never exists whole.
class BodyInflater
{
public:
    enum Step {
        More, // all input taken, the stream goes on
        Ended, // the stream is complete (anything after it is ignored)
        Overflow, // it inflates to more than the room given; out is full
        Broken, // not a valid stream
    };

    BodyInflater();
    ~BodyInflater();
    BodyInflater(const BodyInflater &) = delete;
    BodyInflater &operator=(const BodyInflater &) = delete;

    // Appends what the input inflates to, out growing to at most maxSize bytes.
    Step inflate(const QByteArray &input, QByteArray *out, int maxSize);
    // A stream that stops before its end was cut or broken.
    bool hasEnded() const { return ended; }

private:
    z_stream stream {};
    bool raw = false; // no zlib or gzip wrapper after all
    bool ended = false;
};

#endif
