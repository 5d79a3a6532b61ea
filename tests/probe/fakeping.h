#ifndef FAKEPING_H
#define FAKEPING_H

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

// Puts the fake ping of data/fake-ping first on PATH while it lives, so probes of
// the addresses it is given reply without any packet being sent.
class FakePing
{
public:
    explicit FakePing(const QStringList &answering, int silentSeconds = 1)
    {
        qputenv("PATH", QFile::encodeName(fakeDir) + ':' + oldPath);
        qputenv("NETCHECK_FAKE_PING_ANSWERS", answering.join(QLatin1Char(' ')).toUtf8());
        qputenv("NETCHECK_FAKE_PING_SILENT_SECONDS", QByteArray::number(silentSeconds));
        qputenv("NETCHECK_FAKE_PING_CALLS", QFile::encodeName(callsFile()));
    }
    ~FakePing()
    {
        qputenv("PATH", oldPath);
        for (const char *name : { "ANSWERS", "SILENT_SECONDS", "CALLS" })
            qunsetenv(QByteArray("NETCHECK_FAKE_PING_").append(name).constData());
    }

    // Checked before any probe: the real tool must not be the one that runs.
    bool active() const
    {
        return QStandardPaths::findExecutable(QStringLiteral("ping")) == fakeDir + "/ping";
    }

    // The addresses probed so far, sorted (probes run in parallel).
    QStringList calls() const
    {
        QFile file(callsFile());
        QStringList lines = file.open(QIODevice::ReadOnly)
            ? QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)
            : QStringList();
        lines.sort();
        return lines;
    }

private:
    QString callsFile() const { return dir.filePath(QStringLiteral("calls")); }

    const QByteArray oldPath = qgetenv("PATH");
    const QString fakeDir = QStringLiteral(TEST_SOURCE_DIR "/data/fake-ping");
    QTemporaryDir dir;
};

#endif
