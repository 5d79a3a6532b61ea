#include "presentation.h"
#include "checkscript.h"
#include "fromlanrik.h"
#include "messagebox.h"
#include "ui_fromlanrik.h"

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QRegularExpression>
#include <QTableWidget>
#include <QVBoxLayout>

namespace
{
struct DeviceKeyword
{
    const char *keyword;
    const char *picture;
};

// Tested in order; the last keyword found wins.
const DeviceKeyword deviceKeywords[] = {
    { "打印机", ":/tree/print.png" },
    { "服务器", ":/tree/server.png" },
    { "主机", ":/tree/server.png" },
    { "NAS", ":/tree/nas.png" },
    { "摄像头", ":/tree/cam.png" },
    { "监控", ":/tree/cam.png" },
    { "路由器", ":/tree/net.png" },
    { "计算机", ":/tree/pc.png" },
    { "无线", ":/tree/wifi.png" },
    { "网站", ":/tree/web_server.png" },
    { "网页", ":/tree/web_server.png" },
    { "数据库", ":/tree/database.png" },
};

QString imageTag(const QString &picture)
{
    return QStringLiteral("<img src=\"%1\"  align=\"left\" height=48 width=48>").arg(picture);
}
} // namespace

QString ledStyleSheet(int color, int size)
{
    static const char *const colours[]
        = { "rgb(190,190,190)", "rgb(255,0,0)", "rgb(0,255,0)", "rgb(255,255,0)" };
    QString sheet = QStringLiteral("min-width: %1px;min-height: %1px;max-width: %1px;max-height: %1px;"
                                   "border-radius: %2px;border:1px solid black;background-color:")
                        .arg(size)
                        .arg(size / 2);
    if (color >= LedGrey && color <= LedYellow)
        sheet += QLatin1String(colours[color]);
    return sheet;
}

QString deviceImageTag(const QString &alias)
{
    QString picture = QStringLiteral(":/tree/all.png");
    for (const DeviceKeyword &entry : deviceKeywords) {
        if (alias.contains(QString::fromUtf8(entry.keyword)))
            picture = QString::fromLatin1(entry.picture);
    }
    return imageTag(picture);
}

QString deviceLabelText(const QString &alias, bool withPicture, const QString &mark)
{
    const QString picture = withPicture ? deviceImageTag(alias) : QString();
    // The alias is typed by the user: a "<" in it is text, not the start of a tag.
    return picture + mark + QStringLiteral("<span>%1</span>").arg(alias.toHtmlEscaped());
}

// Quoted the way spreadsheets read pasted text, so multi-line ping output stays in
// its cell; a field without a separator or quote goes as it is.
static QString clipboardField(const QString &text)
{
    static const QRegularExpression special(QStringLiteral("[\t\r\n\"]"));
    if (!text.contains(special))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QLatin1String("\"\""))
        + QLatin1Char('"');
}

QString tableClipboardText(const QTableWidget *table)
{
    QString text;
    for (int column = 0; column < table->columnCount(); ++column)
        text += clipboardField(tableHeaderText(table, column)) + QLatin1Char('\t');
    text += QLatin1Char('\n');
    for (int row = 0; row < table->rowCount(); ++row) {
        for (int column = 0; column < table->columnCount(); ++column)
            text += clipboardField(tableCellText(table, row, column)) + QLatin1Char('\t');
        text += QLatin1Char('\n');
    }
    return text;
}

void copyTableToClipboard(QTableWidget *table)
{
    QApplication::clipboard()->setText(tableClipboardText(table), QClipboard::Clipboard);
    MessageBox::information(nullptr, QStringLiteral("信息"), QStringLiteral("复制成功！"));
}

QString fromlanrik::ReplaceIimg(QString str)
{
    return deviceImageTag(str);
}

void fromlanrik::setLED(QLabel *label, int color, int size)
{
    label->setText(QString());
    label->setStyleSheet(ledStyleSheet(color, size));
}

void fromlanrik::RefPIcture()
{
    // Delete at once, so a second rebuild finds no boxes left over. A box nested
    // in another one dies with its parent; the guard skips it.
    const QList<QGroupBox *> old = ui->widgetPic->findChildren<QGroupBox *>();
    QList<QPointer<QGroupBox>> guarded;
    for (QGroupBox *box : old)
        guarded << box;
    for (const QPointer<QGroupBox> &box : guarded)
        delete box.data();

    // A device label renders its picture once the panel is shown: a rich label holds a text
    // document of its own, and 100,000 of them took 2 GB and seconds to build and tear down
    // in a panel nobody looked at.
    const bool shown = !ui->widgetPic->isHidden();
    QTableWidget *table = ui->tableScript;
    QStringList locations;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QString location = tableCellText(table, row, ScriptLocation);
        if (!location.isEmpty() && !locations.contains(location))
            locations << location;
    }

    for (const QString &location : locations) {
        auto *box = new QGroupBox(location);
        ui->Hlayout->addWidget(box);
        auto *column = new QVBoxLayout;
        for (int row = 0; row < table->rowCount(); ++row) {
            if (tableCellText(table, row, ScriptLocation) != location)
                continue;
            auto *device = new QLabel;
            device->setTextFormat(shown ? Qt::RichText : Qt::PlainText);
            device->setText(deviceLabelText(
                tableCellText(table, row, ScriptAlias), table->item(row, ScriptAlias) != nullptr));
            device->setToolTip(QString::number(row));
            column->addWidget(device);
        }
        box->setLayout(column);
    }
}

void fromlanrik::on_cmdScripCopy_clicked()
{
    copyTableToClipboard(ui->tableWidget);
}

void fromlanrik::on_cmdScripShow_clicked()
{
    // Asked of the widget itself, not of the screen: the answer must not depend on
    // whether the window is shown yet.
    const bool tableShown = !ui->tableWidget->isHidden();
    if (tableShown) {
        for (QLabel *device : ui->widgetPic->findChildren<QLabel *>())
            device->setTextFormat(Qt::RichText);
    }
    ui->tableWidget->setVisible(!tableShown);
    ui->widgetPic->setVisible(tableShown);
}
