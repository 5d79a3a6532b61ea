#include "app/gui/commandpage.h"
#include "app/gui/buttonoff.h"
#include "app/gui/textfeed.h"
#include "check/verdict.h"
#include "probe/busy.h"
#include "probe/commanddecoder.h"
#include "probe/commandrun.h"
#include "ui_fromlanrik.h"

#include <QFontDatabase>
#include <QPointer>

#include <memory>

namespace
{
// Hands a command's output to the feed as it is decoded.
class OutputToFeed : public ByteSink
{
public:
    explicit OutputToFeed(TextFeed *feed)
        : feed(feed)
    {
    }
    void take(const char *data, int size) override
    {
        read += size;
        if (feed)
            feed->addOutside(decoder.decode(data, size));
    }
    // The output's last line feeds, then the note where it was cut.
    void end()
    {
        if (feed) {
            feed->addOutside(decoder.finish());
            feed->endOutside(read);
        }
    }

private:
    QPointer<TextFeed> feed;
    CommandDecoder decoder;
    qint64 read = 0;
};

// Keeps a command's standard error, as much of it as can be shown, until its output is shown.
class ErrorKeeper : public ByteSink
{
public:
    void take(const char *data, int size) override
    {
        read += size;
        if (text.size() <= kShownTextBytes)
            text += decoder.decode(data, size);
    }
    QString text;
    CommandDecoder decoder;
    qint64 read = 0;
};

// Runs the typed lines one after another without blocking, each under its command line and the
// separator: its output as it comes, then its standard error, then why it failed (its exit status,
// or why it could not run). The button stays off until all of it is shown. Dies with the window,
// which ends the command still running.
class CommandTabRun : public QObject
{
public:
    static constexpr const char *kName = "commandTabRun";

    CommandTabRun(const QStringList &lines, Ui_fromlanrik *ui, QObject *window)
        : QObject(window)
        , lines(lines)
        , buttonOff(ui->cmdCMD)
        , feed(TextFeed::of(ui->textCMD))
    {
        setObjectName(kName);
        feed->clear();
        next();
    }

private:
    void next()
    {
        if (lines.isEmpty()) {
            if (feed->isIdle())
                deleteLater();
            else
                connect(feed, &TextFeed::idle, this, &QObject::deleteLater);
            return;
        }
        const QString line = lines.takeFirst();
        feed->addOwn(line + QLatin1Char('\n'));
        feed->addOwn(QStringLiteral("-------------------------------------------------\n"));
        output = std::make_unique<OutputToFeed>(feed);
        errors = std::make_unique<ErrorKeeper>();
        run = new CommandRun(line, kCommandTimeoutMs, this);
        run->setOutputSink(output.get());
        run->setErrorSink(errors.get());
        connect(run, &CommandRun::finished, this, [this] {
            output->end();
            feed->addOwn(QStringLiteral("\n"));
            QString &error = errors->text;
            error += errors->decoder.finish();
            if (!error.isEmpty()) {
                feed->addOutside(error.endsWith(QLatin1Char('\n')) ? error : error + QLatin1Char('\n'));
                feed->endOutside(errors->read);
            }
            const QString reason
                = commandFailure(run->couldNotStart(), run->program(), run->timedOut(), run->timeoutMs());
            if (!reason.isEmpty())
                feed->addOwn(reason + QLatin1Char('\n'));
            else if (run->exitCode().value_or(0) != 0)
                feed->addOwn(QStringLiteral("退出代码：%1\n").arg(*run->exitCode()));
            run->deleteLater();
            next();
        });
        run->start();
    }

    QStringList lines;
    const ButtonOff buttonOff;
    QPointer<TextFeed> feed;
    // Declared before the run, which takes from them until it is deleted.
    std::unique_ptr<OutputToFeed> output;
    std::unique_ptr<ErrorKeeper> errors;
    CommandRun *run = nullptr;
    const BusyScope busy;
};
} // namespace

CommandPage::CommandPage(QWidget *window, Ui_fromlanrik *ui)
    : window(window)
    , ui(ui)
{
    // Columns of tables (ss, netstat, ip) stay in line. A platform without a theme answers with
    // its proportional font; the font configuration's monospace stands in then.
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (!QFontInfo(font).fixedPitch()) {
        font.setFamily(QStringLiteral("monospace"));
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
    }
    ui->textCMD->setFont(font);
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
