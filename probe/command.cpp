#include "probe/command.h"
#include "probe/busy.h"
#include "probe/commanddecoder.h"

#include <QEventLoop>

QString commandOutputText(const QByteArray &output)
{
    CommandDecoder decoder;
    const QString text = decoder.decode(output.constData(), output.size());
    return text + decoder.finish();
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
