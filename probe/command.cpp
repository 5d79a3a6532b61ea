#include "probe/command.h"
#include "probe/busy.h"
#include "probe/platform.h"

#include <QEventLoop>
#include <QTextCodec>

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

QString commandOutputText(const QByteArray &output)
{
    return normaliseCommandOutput(commandOutputCodec(currentPlatform())->toUnicode(output));
}

QString runCommand(const QString &commandLine, int timeoutMs, bool *timedOut)
{
    const BusyScope busy;
    CommandRun run(commandLine, timeoutMs);
    QEventLoop loop;
    QObject::connect(&run, &CommandRun::finished, &loop, &QEventLoop::quit);
    run.start();
    // Clicks and keys wait until the command is over, so nothing the user does can
    // start work inside this wait.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (timedOut)
        *timedOut = run.timedOut();
    return commandOutputText(run.output());
}
