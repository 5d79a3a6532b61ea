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
        : oldPath(qgetenv("PATH"))
        , fakeDir(QStringLiteral(TEST_SOURCE_DIR "/data/fake-ping"))
    {
        qputenv("PATH", QFile::encodeName(fakeDir) + ':' + oldPath);
        qputenv("NETCHECK_FAKE_PING_ANSWERS", answering.join(QLatin1Char(' ')).toUtf8());
        qputenv("NETCHECK_FAKE_PING_SILENT_SECONDS", QByteArray::number(silentSeconds));
        qputenv("NETCHECK_FAKE_PING_CALLS", QFile::encodeName(callsFile()));
    }
    ~FakePing()
    {
        qputenv("PATH", oldPath);
        qunsetenv("NETCHECK_FAKE_PING_ANSWERS");
        qunsetenv("NETCHECK_FAKE_PING_SILENT_SECONDS");
        qunsetenv("NETCHECK_FAKE_PING_CALLS");
    }

    // Checked before any probe: the real tool must not be the one that runs.
    bool active() const
    {
        return QStandardPaths::findExecutable(QStringLiteral("ping")) == fakeDir + QStringLiteral("/ping");
    }

    // The addresses probed so far, sorted (probes run in parallel).
    QStringList calls() const
    {
        QFile file(callsFile());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        lines.sort();
        return lines;
    }

private:
    QString callsFile() const { return dir.filePath(QStringLiteral("calls")); }

    QByteArray oldPath;
    QString fakeDir;
    QTemporaryDir dir;
};

#endif
