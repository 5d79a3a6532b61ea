#include "app/gui/printing.h"
#include "app/cli/resultsreport.h"
#include "app/gui/messagebox.h"
#include "app/gui/tables.h"
#include "probe/platform.h"
#include "probe/regularfile.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QTableWidget>
#include <QUrl>

namespace
{
// Ended with the window, an opener must tell nothing: its end, not yet delivered when the window
// goes, would otherwise be reported again from the process's destructor and open a box there.
class ViewerOpener : public QProcess
{
public:
    using QProcess::QProcess;
    ~ViewerOpener() override { disconnect(); }
};

ResultsTable contentsOf(const QTableWidget *table)
{
    ResultsTable contents;
    for (int column = 0; column < table->columnCount(); ++column) {
        contents.headers << tableHeaderText(table, column);
        contents.widths << table->columnWidth(column);
    }
    for (int row = 0; row < table->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < table->columnCount(); ++column)
            cells << (table->item(row, column) ? table->item(row, column)->text() : QString());
        contents.rows << cells;
    }
    return contents;
}
} // namespace

void openInViewer(QWidget *window, const QString &path)
{
    if (!currentPlatform().linuxKernel) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
        return;
    }
    // QDesktopServices::openUrl counts a started xdg-open as success; only its exit status
    // tells that no viewer took the file. Driven by signals: xdg-open may wait until the
    // viewer is closed.
    auto *opener = new ViewerOpener(window);
    opener->setStandardInputFile(QProcess::nullDevice());
    opener->setStandardOutputFile(QProcess::nullDevice());
    opener->setStandardErrorFile(QProcess::nullDevice());
    const auto done = [opener, window, path](bool opened) {
        opener->deleteLater();
        if (!opened)
            MessageBox::information(window, QStringLiteral("提示信息"),
                QStringLiteral("没有找到打开PDF文件的程序，报告已保存在：\n%1")
                    .arg(QDir::toNativeSeparators(path)));
    };
    QObject::connect(opener, &QProcess::errorOccurred, opener, [done](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            done(false);
    });
    // Killed when the window goes (xdg-open may wait for the viewer): nothing to tell then.
    QObject::connect(opener, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), opener,
        [done](int code, QProcess::ExitStatus status) { done(status != QProcess::NormalExit || code == 0); });
    opener->start(QStringLiteral("xdg-open"), { path });
}

bool printTableToPdf(QTableWidget *table, const QString &path, const QString &title, const QString &subtitle,
    const QString &footer, const QString &orientation)
{
    const auto write = [&](QIODevice &file) {
        return writeReportPdf(file, title, subtitle, footer, orientation, reportOf(contentsOf(table)));
    };
    if (!replaceFile(path, FileOwner::Program, write))
        return false;
    openInViewer(table->window(), path);
    return true;
}

void copyTableToClipboard(QTableWidget *table)
{
    QApplication::clipboard()->setText(clipboardText(contentsOf(table)), QClipboard::Clipboard);
    MessageBox::information(nullptr, QStringLiteral("信息"), QStringLiteral("复制成功！"));
}
