#include "app/gui/commandpage.h"
#include "app/gui/buttonoff.h"
#include "probe/busy.h"
#include "probe/command.h"
#include "ui_fromlanrik.h"

#include <QPointer>

namespace
{
// Runs the typed lines one after another without blocking and shows the whole output
// when the last one has ended; the button stays off meanwhile. Dies with the window,
// which ends the command still running.
class CommandTabRun : public QObject
{
public:
    static constexpr const char *kName = "commandTabRun";

    CommandTabRun(const QStringList &lines, Ui_fromlanrik *ui, QObject *window)
        : QObject(window)
        , lines(lines)
        , buttonOff(ui->cmdCMD)
        , output(ui->textCMD)
    {
        setObjectName(kName);
        next();
    }

private:
    void next()
    {
        if (lines.isEmpty()) {
            // Output is text: a tag in the first command line must not turn it all into markup.
            if (output)
                output->setPlainText(text);
            deleteLater();
            return;
        }
        const QString line = lines.takeFirst();
        text += line + QLatin1Char('\n');
        text += QStringLiteral("-------------------------------------------------\n");
        run = new CommandRun(line, kCommandTimeoutMs, this);
        connect(run, &CommandRun::finished, this, [this] {
            text += commandOutputText(run->output()) + QLatin1Char('\n');
            run->deleteLater();
            next();
        });
        run->start();
    }

    QStringList lines;
    const ButtonOff buttonOff;
    QPointer<QTextEdit> output;
    QString text;
    CommandRun *run = nullptr;
    const BusyScope busy;
};
} // namespace

CommandPage::CommandPage(QWidget *window, Ui_fromlanrik *ui)
    : window(window)
    , ui(ui)
{
}

void CommandPage::run()
{
    if (window->findChild<QObject *>(QLatin1String(CommandTabRun::kName), Qt::FindDirectChildrenOnly))
        return;
    QStringList lines;
    const QStringList typed = (ui->txtCMD->toPlainText() + QLatin1Char('\n')).split(QLatin1Char('\n'));
    for (int i = 0; i + 1 < typed.size(); ++i) {
        if (!typed.at(i).trimmed().isEmpty())
            lines << typed.at(i).trimmed();
    }
    new CommandTabRun(lines, ui, window);
}
