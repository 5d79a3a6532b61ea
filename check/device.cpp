#include "check/device.h"

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

QString deviceMark(Verdict verdict)
{
    return verdict == Verdict::Passed ? QStringLiteral("<img src=\":/tree/ok.png\" height=32 width=32/><br>")
                                      : QStringLiteral("<img src=\":/tree/no.png\" height=32 width=32/><br>");
}

QList<QPair<QString, int>> devicePictures()
{
    QList<QPair<QString, int>> pictures = { { QStringLiteral(":/tree/all.png"), 48 },
        { QStringLiteral(":/tree/ok.png"), 32 }, { QStringLiteral(":/tree/no.png"), 32 } };
    for (const DeviceKeyword &entry : deviceKeywords) {
        const QPair<QString, int> picture(QString::fromLatin1(entry.picture), 48);
        if (!pictures.contains(picture))
            pictures.append(picture);
    }
    return pictures;
}
