#include "app/cli/scancommand.h"
#include "app/cli/terminal.h"
#include "check/columns.h"
#include "probe/scanengine.h"
#include "probe/stopsignals.h"

#include <QEventLoop>

int runScan(const QString &start, const QString &end)
{
    ScanRange range;
    QString problem = checkScanRange(start, end, &range);
    // The window probes nothing for a reversed range; a scheduler is told. 0.0.0.0 reaches
    // this computer itself, which would be listed as a host that answered.
    if (problem.isEmpty() && start.trimmed() == QLatin1String("0.0.0.0"))
        problem = QStringLiteral("起始IP地址错误！");
    if (problem.isEmpty() && range.first > range.last)
        problem = QStringLiteral("起始IP地址不能大于结束IP地址！");
    if (!problem.isEmpty())
        return fail(problem);

    int answered = 0;
    ScanEngine engine;
    QObject::connect(&engine, &ScanEngine::probed, [&](const ProbeOutcome &outcome) {
        if (outcome.verdict != PingVerdict::Answered)
            return;
        ++answered;
        const auto shown = [](const QString &text) { return text.isEmpty() ? QStringLiteral("-") : text; };
        print(stdout,
            QStringLiteral("%1  %2  %3")
                .arg(padded(outcome.address, 15), padded(shown(outcome.details.name), 24),
                    shown(outcome.details.mac)));
    });
    QEventLoop loop;
    StopSignals stop;
    int stoppedBy = 0;
    QObject::connect(&stop, &StopSignals::received, [&](int signal) {
        stoppedBy = signal;
        engine.cancel(); // ends every ping still running
        loop.quit();
    });
    QObject::connect(&engine, &ScanEngine::finished, &loop, &QEventLoop::quit);
    engine.start(range);
    loop.exec();
    if (const int signal = stoppedBy ? stoppedBy : stop.pending())
        return fail(QStringLiteral("已停止：收到信号 %1").arg(StopSignals::nameOf(signal)));
    return answered > 0 ? 0 : 1;
}
