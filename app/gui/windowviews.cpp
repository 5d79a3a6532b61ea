#include "app/gui/windowviews.h"
#include "app/gui/speech.h"
#include "app/gui/startpage.h"
#include "check/appdir.h"
#include "check/historystore.h"
#include "check/script.h"
#include "ui_fromlanrik.h"

#include <QHostInfo>
#include <QTabBar>

namespace
{
const char *const kTabBarStyle
    = "QTabBar::tab {min-width:100px;color: black;background-color:qlineargradient(x1:0, y1:0, x2:0, y2:1, "
      "stop: 0 #eeeeee, stop: 1 gray);border: 2px solid;border-top-left-radius: 10px;"
      "border-top-right-radius: 10px;padding:5px;}    QTabBar::tab:!selected {margin-top: 10px;}     "
      "QTabBar::tab:selected {color: blue;}";
} // namespace

WindowViews::WindowViews(QWidget *window, Ui_fromlanrik *ui)
    : QObject(window)
    , history(QStringLiteral("%1/%2").arg(appDir(), QLatin1String(kHistoryFileName)))
    , script(window, ui->tableScript)
    , results(ui->tableWidget)
    , pictures(ui->widgetPic, ui->Hlayout)
    , batch(window, ui, script, results, pictures, history)
    , schedule(ui, batch)
    , scan(window, ui)
    , command(window, ui)
    , page(window, ui)
    , histories(window, history, script, results, pictures)
    , window(window)
    , ui(ui)
{
    histories.watch(ui->tableWidget, ui->widgetPic);
}

WindowViews *WindowViews::of(const QWidget *window)
{
    return window->findChild<WindowViews *>(QString(), Qt::FindDirectChildrenOnly);
}

void WindowViews::start(const StartupAddresses &addresses)
{
    resetIpTree(ui->treeWidgetIpScan);
    ui->txtINFO->setHtml(basicInformationPage());
    ui->labelInfo->setTextFormat(Qt::PlainText);
    ui->labelInfo->setText(QHostInfo::localHostName());

    script.open(scriptFilePath());
    results.showStart();

    const QStringList tabTexts
        = { QStringLiteral("批量检测"), QStringLiteral("设置批量检测"), QStringLiteral("IP搜索"),
              QStringLiteral("CMD命令行"), QStringLiteral("网站查阅"), QStringLiteral("关于") };
    for (int i = 0; i < tabTexts.size(); ++i)
        ui->tabWidget->setTabText(i + 1, tabTexts.at(i));
    ui->tabWidget->setCurrentIndex(0);
    // On the tab bar itself: on the tab widget the style sheet would take over the style of
    // every widget on every page (a large script's thousands of device labels included).
    ui->tabWidget->tabBar()->setStyleSheet(QLatin1String(kTabBarStyle));

    showStartupPages(ui, addresses);
    schedule.fill();

    // Offered only once an engine has answered with a Chinese voice; start-up does not wait.
    ui->chkSpack->hide();
    QCheckBox *speech = ui->chkSpack;
    whenSpeechReady(
        this, [speech](const SpeechSurvey &survey) { speech->setVisible(survey.choice.isValid()); });
}

void WindowViews::switchResultsView()
{
    // Asked of the widget itself, not of the screen: the answer must not depend on whether the
    // window is shown yet.
    const bool tableShown = !ui->tableWidget->isHidden();
    ui->tableWidget->setVisible(!tableShown);
    ui->widgetPic->setVisible(tableShown);
    if (tableShown)
        pictures.shown();
}

void WindowViews::showResultsTable()
{
    ui->tableWidget->show();
    ui->widgetPic->hide();
}
