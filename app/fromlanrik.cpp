#include "fromlanrik.h"
#include "keyboard.h"
#include "ui_fromlanrik.h"

#include <QIcon>
#include <QPixmap>
#include <QSplashScreen>

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
