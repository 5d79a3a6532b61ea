#include "appdir.h"
#include "checkscript.h"
#include "command.h"
#include "fromlanrik.h"
#include "ipscan.h"
#include "platform.h"
#include "richtext.h"
#include "speech.h"
#include "startup.h"
#include "startupsettings.h"
#include "sysinfo.h"
#include "ui_fromlanrik.h"
#include "unsavedscript.h"
#include "webfetch.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostInfo>
#include <QRegularExpression>
#include <QTabBar>
#include <QTextStream>
#include <QTimer>
#include <QUrl>

bool fileExists(const QString &path)
{
    return QFileInfo(path).isFile();
}

QString readTextFile(const QString &path)
{
    // Not in text mode: that drops a lone carriage return, which ends a line in files
    // from old Mac editors, instead of breaking the line there.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QTextStream in(&file);
    in.setAutoDetectUnicode(true);
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = in.readAll().split(lineEnd);
    // Text after the last line end is a line too; nothing after it is none.
    if (lines.last().isEmpty())
        lines.removeLast();
    QString text;
    for (const QString &line : qAsConst(lines))
        text += line + QLatin1Char('\n');
    return text;
}

StartupAddresses builtInStartupAddresses()
{
    StartupAddresses addresses;
    addresses.banner = QStringLiteral(NETCHECK_BANNER_URL);
    addresses.about = QStringLiteral(NETCHECK_ABOUT_URL);
    addresses.advertisement = QStringLiteral(NETCHECK_AD_URL);
    return addresses;
}

static StartupAddresses &chosenAddresses()
{
    static StartupAddresses addresses = builtInStartupAddresses();
    return addresses;
}

StartupAddresses startupAddresses()
{
    return chosenAddresses();
}

void setStartupAddresses(const StartupAddresses &addresses)
{
    chosenAddresses() = addresses;
}

QString bottomBarLine(const QString &linkUrl, const QString &linkText, const QString &mail, const QString &im)
{
    QStringList items;
    if (!linkUrl.isEmpty())
        items << QStringLiteral("<a href=\"%1\">%2</a>")
                     .arg(linkUrl.toHtmlEscaped(), (linkText.isEmpty() ? linkUrl : linkText).toHtmlEscaped());
    else if (!linkText.isEmpty())
        items << linkText.toHtmlEscaped();
    if (!mail.isEmpty())
        items << QCoreApplication::translate("fromlanrik", "邮箱：%1").arg(mail.toHtmlEscaped());
    if (!im.isEmpty())
        items << QCoreApplication::translate("fromlanrik", "即时通讯：%1").arg(im.toHtmlEscaped());
    return items.join(QStringLiteral("　"));
}

QString aboutPageNamingFolder(const QString &page, const QString &folder)
{
    static const QString marker = QStringLiteral("<!--netcheck-folder-->");
    const QString named = QDir::toNativeSeparators(folder).toHtmlEscaped();
    if (page.contains(marker))
        return QString(page).replace(marker, named);
    // A deployer's own page knows nothing of the marker; a page that never came stays empty.
    if (page.isEmpty())
        return page;
    return page + QStringLiteral("<p>文件目录：%1</p>").arg(named);
}

void openLink(const QString &link)
{
    QDesktopServices::openUrl(QUrl(link, QUrl::TolerantMode));
}

static const char *const kTabBarStyle
    = "QTabBar::tab {min-width:100px;color: black;background-color:qlineargradient(x1:0, y1:0, x2:0, y2:1, "
      "stop: 0 #eeeeee, stop: 1 gray);border: 2px solid;border-top-left-radius: 10px;"
      "border-top-right-radius: 10px;padding:5px;}    QTabBar::tab:!selected {margin-top: 10px;}     "
      "QTabBar::tab:selected {color: blue;}";

static QString basicInformationPage()
{
    const QString table = QStringLiteral("<table border='1' cellspacing='0' width='100%' >%1</table>");
    QString page;
    if (currentPlatform().windows)
        page += QStringLiteral("<h1>系统信息</h1>") + table.arg(systemInfoTable());
    if (currentPlatform().linuxKernel) {
        // Command output is text, not markup: a "<" in it must not start a tag.
        page += QStringLiteral("<h1>系统信息</h1>") + runCommand(QStringLiteral("uname -a")).toHtmlEscaped();
        page += QStringLiteral("<h1>网络</h1>") + table.arg(interfaceTable());
    }
    return page;
}

void fromlanrik::Start()
{
    const StartupAddresses addresses = startupAddresses();

    setWindowTitle(QStringLiteral("网络检测工具 1.0 "));
    ui->labelWeb->setText(bottomBarLine(QStringLiteral(NETCHECK_LINK_URL), QStringLiteral(NETCHECK_LINK_TEXT),
        QStringLiteral(NETCHECK_CONTACT_MAIL), QStringLiteral(NETCHECK_CONTACT_IM)));
    connect(ui->labelWeb, &QLabel::linkActivated, this, &openLink);

    const QString dir = appDir();
    QDir().mkdir(QStringLiteral("%1/log").arg(dir));

    // Fetched once, then kept beside the program.
    const QString banner = QStringLiteral("%1/logo.gif").arg(dir);
    if (fileExists(banner))
        playPicture(ui->labGif, banner);
    else
        setNetworkGIF(addresses.banner);

    resetIpTree(ui->treeWidgetIpScan);

    ui->txtINFO->setHtml(basicInformationPage());
    ui->labelInfo->setTextFormat(Qt::PlainText);
    ui->labelInfo->setText(QHostInfo::localHostName());

    loadScriptTable(ui->tableScript, readTextFile(scriptFilePath()));
    markScriptSaved(ui->tableScript);
    askToSaveBeforeClosing(this, ui->tableScript);
    // The batch run replaces this layout with its own; until then the table is read-only.
    layOutTable(ui->tableWidget,
        { QStringLiteral("名称"), QStringLiteral("状态"), QStringLiteral("检测内容"),
            QStringLiteral("检测时间"), QStringLiteral("检测结果") },
        { 240, 80, 400, 240, 660 });
    ui->tableWidget->setEditTriggers(QAbstractItemView::NoEditTriggers);

    const QStringList tabTexts
        = { QStringLiteral("批量检测"), QStringLiteral("设置批量检测"), QStringLiteral("IP搜索"),
              QStringLiteral("CMD命令行"), QStringLiteral("网站查阅"), QStringLiteral("关于") };
    for (int i = 0; i < tabTexts.size(); ++i)
        ui->tabWidget->setTabText(i + 1, tabTexts.at(i));
    ui->tabWidget->setCurrentIndex(0);
    // On the tab bar itself: on the tab widget the style sheet would take over the style of
    // every widget on every page (a large script's thousands of device labels included).
    ui->tabWidget->tabBar()->setStyleSheet(QLatin1String(kTabBarStyle));

    // Both pages may come from a deployer's server: what they name is not loaded.
    setInertHtml(ui->txtAbout, aboutPageNamingFolder(httpGet(addresses.about, addresses.timeoutMs), dir));
    setInertLabelText(ui->labelAD, httpGet(addresses.advertisement, addresses.timeoutMs));

    // The first entry becomes current as it is added, which already runs the
    // schedule slot for index 0; that path does not touch the timers made below.
    const QStringList schedule = { QStringLiteral("手动执行"), QStringLiteral("1分钟自动执行"),
        QStringLiteral("10分钟自动执行"), QStringLiteral("30分钟自动执行"), QStringLiteral("1小时自动执行"),
        QStringLiteral("2小时自动执行"), QStringLiteral("3小时自动执行"), QStringLiteral("5小时自动执行"),
        QStringLiteral("6小时自动执行"), QStringLiteral("8小时自动执行"), QStringLiteral("12小时自动执行"),
        QStringLiteral("24小时自动执行") };
    for (const QString &entry : schedule)
        ui->cmbKeep->insertItem(ui->cmbKeep->count(), QIcon(), entry);
    ui->cmbKeep->setCurrentIndex(0);

    // Offered only once an engine has answered with a Chinese voice; start-up does not wait.
    ui->chkSpack->hide();
    QCheckBox *speech = ui->chkSpack;
    whenSpeechReady(
        this, [speech](const SpeechSurvey &survey) { speech->setVisible(survey.choice.isValid()); });

    timerKeep = new QTimer(this);
    connect(timerKeep, SIGNAL(timeout()), this, SLOT(AutoKeep()));
    timerDJS = new QTimer(this);
    connect(timerDJS, SIGNAL(timeout()), this, SLOT(DJS()));
    timerDJS->start(1000);
    countDJS = -1;

    ui->tableWidget->show();
    ui->widgetPic->hide();
}
