#include "app/cli/scancommand.h"
#include "app/cli/terminal.h"
#include "probe/scanengine.h"

#include <QEventLoop>

int runScan(const QString &start, const QString &end)
{
    ScanRange range;
    const QString problem = checkScanRange(start, end, &range);
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
    QObject::connect(&engine, &ScanEngine::finished, &loop, &QEventLoop::quit);
    engine.start(range);
    loop.exec();
    return answered > 0 ? 0 : 1;
}
