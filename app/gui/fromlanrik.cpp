#include "app/gui/fromlanrik.h"
#include "app/gui/keyboard.h"
#include "app/gui/resultsview.h"
#include "app/gui/startpage.h"
#include "app/gui/windowviews.h"
#include "check/device.h"
#include "ui_fromlanrik.h"

#include <QIcon>
#include <QPixmap>
#include <QSplashScreen>
#include <QTimer>

// The pictures and start-up pages are compiled into this library; register them during static
// initialisation so they are reachable from the first line of main on.
static int registerBundle()
{
    Q_INIT_RESOURCE(resources);
    Q_INIT_RESOURCE(startup);
    return 1;
}
static const int bundleRegistered = registerBundle();

fromlanrik::fromlanrik(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_fromlanrik)
{
    ui->setupUi(this);

    QPixmap splashPicture(QStringLiteral(":/tree/start.jpg"));
    QSplashScreen splash(splashPicture);
    splash.show();

    setWindowIcon(QIcon(QStringLiteral(":/ICO/Lanrik1.ico")));

    new WindowViews(this, ui);
    Start();
    RefPIcture();
    bindKeys(ui);

    // finish(this) would wait up to a second for a window that main shows only
    // after the constructor returns; the splash has done its job by now.
    splash.close();
}

fromlanrik::~fromlanrik()
{
    delete ui;
}

QString fromlanrik::ReplaceIimg(QString str)
{
    return deviceImageTag(str);
}

void fromlanrik::Start()
{
    const StartupAddresses addresses = startupAddresses();
    startShell(this, ui);
    if (!playCachedBanner(ui->labGif))
        setNetworkGIF(addresses.banner);
    WindowViews::of(this)->start(addresses);

    timerKeep = new QTimer(this);
    connect(timerKeep, SIGNAL(timeout()), this, SLOT(AutoKeep()));
    timerDJS = new QTimer(this);
    connect(timerDJS, SIGNAL(timeout()), this, SLOT(DJS()));
    timerDJS->start(1000);
    countDJS = -1;

    WindowViews::of(this)->showResultsTable();
}

void fromlanrik::setNetworkGIF(QString GifUrl)
{
    // Only start-up asks for the banner, so it waits no longer than the other start-up fetches.
    fetchBanner(ui->labGif, GifUrl, startupAddresses().timeoutMs);
}

void fromlanrik::setLED(QLabel *label, int color, int size)
{
    setLed(label, color, size);
}

void fromlanrik::ScriptStart()
{
    WindowViews::of(this)->batch.run();
}

void fromlanrik::AutoKeep()
{
    WindowViews::of(this)->schedule.due(timerKeep);
}

void fromlanrik::DJS()
{
    countDJS = WindowViews::of(this)->schedule.countdown(timerKeep);
    ui->lcdNumber->display(QString::number(countDJS));
}

void fromlanrik::RefPIcture()
{
    WindowViews *views = WindowViews::of(this);
    views->pictures.rebuild(views->script.devices());
}

void fromlanrik::on_cmdScanIP_clicked()
{
    WindowViews::of(this)->scan.scan();
}

void fromlanrik::on_cmdScriptStart_clicked()
{
    ScriptStart();
}

void fromlanrik::on_cmdCMD_clicked()
{
    WindowViews::of(this)->command.run();
}

void fromlanrik::on_cmdUrl_clicked()
{
    WindowViews::of(this)->page.fetch();
}

void fromlanrik::on_cmdSet_SaveScript_clicked()
{
    WindowViews::of(this)->script.save();
}

void fromlanrik::on_cmdScriptInsLine_clicked()
{
    WindowViews::of(this)->script.insertLine();
}

void fromlanrik::on_cmdScriptDelLine_clicked()
{
    WindowViews::of(this)->script.deleteLine();
}

void fromlanrik::on_cmdScripCopy_clicked()
{
    WindowViews::of(this)->results.copy();
}

void fromlanrik::on_cmdScripPrint_clicked()
{
    WindowViews::of(this)->results.print(this);
}

void fromlanrik::on_cmdClearTree_clicked()
{
    WindowViews::of(this)->scan.clear();
}

void fromlanrik::on_cmbKeep_currentIndexChanged(int index)
{
    countDJS = WindowViews::of(this)->schedule.choose(timerKeep, index);
    ui->lcdNumber->display(QString::number(countDJS));
}

void fromlanrik::on_cmdScripShow_clicked()
{
    WindowViews::of(this)->switchResultsView();
}
