// A batch run of n trivial command lines with m device labels in the picture panel:
// the run's wall time and the part of it spent letting the window repaint, next to
// the n x m x 10 ms that a pause per label and line would cost.
#include "appdir.h"
#include "batchrun.h"
#include "fromlanrik.h"
#include "speech.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <cstdio>

namespace
{
constexpr int kLocations = 10;

// n check lines; the first m rows carry a location and so get a device label (rows
// beyond n are labels without a check line).
void fillScript(QTableWidget *table, int n, int m)
{
    const int rows = qMax(n, m);
    table->clearContents();
    table->setColumnCount(5);
    table->setRowCount(rows + 1);
    for (int r = 0; r < rows; ++r) {
        if (r < n) {
            table->setItem(r, 0, new QTableWidgetItem(QStringLiteral("设备%1").arg(r)));
            table->setItem(r, 1, new QTableWidgetItem(QStringLiteral("CMD")));
            table->setItem(r, 2, new QTableWidgetItem(QStringLiteral("true")));
        }
        if (r < m)
            table->setItem(r, 4, new QTableWidgetItem(QStringLiteral("区%1").arg(r % kLocations)));
    }
}

BatchRunTimes runOnce(int n, int m)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("log"));
    setAppDirOverride(dir.path());
    BatchRunTimes times;
    {
        fromlanrik window;
        window.show();
        fillScript(window.findChild<QTableWidget *>(QStringLiteral("tableScript")), n, m);
        window.findChild<QPushButton *>(QStringLiteral("cmdScriptStart"))->click();
        times = lastBatchRunTimes();
    }
    setAppDirOverride(QString());
    return times;
}
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setSpeechObserver([](const QString &) {});

    std::printf("%6s %6s %10s %10s %8s %14s %10s\n", "lines", "labels", "wall ms", "wait ms", "wait/ln",
        "n*m*10 ms", "n*m*10/wall");
    for (int size : { 50, 200 }) {
        const BatchRunTimes t = runOnce(size, size);
        const double paused = double(size) * size * 10;
        std::printf("%6d %6d %10lld %10lld %8.2f %14.0f %10.1f\n", t.lines, size,
            static_cast<long long>(t.wallMs), static_cast<long long>(t.waitMs),
            t.lines ? double(t.waitMs) / t.lines : 0.0, paused, t.wallMs ? paused / double(t.wallMs) : 0.0);
    }
    return 0;
}
