#include "command.h"
#include "platform.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMutex>
#include <QProcess>
#include <QTextCodec>
#include <QThread>

QTextCodec *commandOutputCodec(const PlatformKind &platform)
{
    QTextCodec *codec = QTextCodec::codecForName("UTF-8");
    if (platform.windows) {
        // The Chinese console code page; keep UTF-8 where the build lacks it.
        if (QTextCodec *gbk = QTextCodec::codecForName("GBK"))
            codec = gbk;
    }
    return codec;
}

QString normaliseCommandOutput(QString text)
{
    text.remove(QLatin1Char('\r'));
    text.replace(QLatin1String("\n\n"), QLatin1String("\n"));
    text.replace(QLatin1String("\n\n"), QLatin1String("\n"));
    return text;
}

QString runCommand(const QString &commandLine, int timeoutMs, bool *timedOut)
{
    if (timedOut)
        *timedOut = false;
    QTextCodec *codec = commandOutputCodec(currentPlatform());

    QStringList args = QProcess::splitCommand(commandLine);
    if (args.isEmpty())
        return QString();
    const QString program = args.takeFirst();

    QProcess process;
    {
        // Many scan threads forking at once stall the GUI thread for a noticeable
        // moment; starting one process at a time keeps the window smooth.
        static QMutex startLock;
        QMutexLocker locker(&startLock);
        process.start(program, args, QIODevice::ReadWrite);
        if (!process.waitForStarted(-1))
            return QString();
    }

    const bool onGuiThread
        = QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread();
    QElapsedTimer clock;
    clock.start();
    if (onGuiThread) {
        // Keep painting and let timers run, but hold back clicks and keys until the
        // command is over, so nothing the user does can start work inside this wait.
        while (process.state() != QProcess::NotRunning) {
            const qint64 left = timeoutMs - clock.elapsed();
            if (left <= 0)
                break;
            if (process.waitForFinished(int(qMin<qint64>(left, 25))))
                break;
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
    } else {
        process.waitForFinished(timeoutMs);
    }
    if (process.state() != QProcess::NotRunning) {
        if (timedOut)
            *timedOut = true;
        process.kill();
        process.waitForFinished(kCommandKillWaitMs);
    }

    const QByteArray bytes = process.readAllStandardOutput();
    return normaliseCommandOutput(codec->toUnicode(bytes));
}
