#include "check/notifysettings.h"
#include "check/appdir.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QUrl>

namespace
{
const char *const kNotifyKeys[] = { "url", "kind", "secret", "command", "down_after", "up_after" };

NotifyKind kindNamed(const QString &name)
{
    if (name == QLatin1String("dingtalk"))
        return NotifyKind::DingTalk;
    if (name == QLatin1String("feishu"))
        return NotifyKind::Feishu;
    if (name == QLatin1String("wecom"))
        return NotifyKind::WeCom;
    if (name == QLatin1String("json"))
        return NotifyKind::Json;
    return NotifyKind::None;
}

// Every wrong value of [notify], in the order of the keys; none when all are right.
QString checkNotify(QSettings &file, NotifySettings &s)
{
    QStringList wrong;
    const QStringList keys = file.childKeys();
    for (const QString &key : keys) {
        if (std::find(std::begin(kNotifyKeys), std::end(kNotifyKeys), key) == std::end(kNotifyKeys))
            wrong << QStringLiteral("未知的设置“%1”").arg(key);
        else if (file.value(key).type() == QVariant::StringList)
            wrong << QStringLiteral("%1 的值含逗号，须用双引号括起整个值").arg(key);
    }
    auto text = [&](const char *key) {
        const QVariant value = file.value(QLatin1String(key));
        return value.type() == QVariant::StringList ? QString() : value.toString().trimmed();
    };
    auto runs = [&](const char *key, int *into) {
        const QString value = text(key);
        if (value.isEmpty())
            return;
        bool number = false;
        *into = value.toInt(&number);
        if (!number || *into < 1 || *into > kMaxRunsInARow)
            wrong << QStringLiteral("%1=%2 不是 1 到 %3 之间的整数")
                         .arg(QLatin1String(key), value)
                         .arg(kMaxRunsInARow);
    };

    s.url = text("url");
    s.secret = text("secret");
    s.command = text("command");
    const QString kind = text("kind");
    s.kind = kindNamed(kind.toLower());
    runs("down_after", &s.downAfter);
    runs("up_after", &s.upAfter);
    if (!s.url.isEmpty()) {
        const QUrl url(s.url, QUrl::StrictMode);
        const QString scheme = url.scheme().toLower();
        if (!url.isValid() || url.host().isEmpty()
            || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
            wrong << QStringLiteral("url 须以 http:// 或 https:// 开头");
        if (s.kind == NotifyKind::None)
            wrong << (kind.isEmpty()
                    ? QStringLiteral("缺少 kind（dingtalk、feishu、wecom 或 json）")
                    : QStringLiteral("kind=%1 不是 dingtalk、feishu、wecom 或 json").arg(kind));
    } else if (!kind.isEmpty()) {
        wrong << QStringLiteral("设置了 kind 却没有 url");
    }
    if (!s.command.isEmpty() && QProcess::splitCommand(s.command).isEmpty())
        wrong << QStringLiteral("command 不是命令行");
    if (s.url.isEmpty() && s.command.isEmpty() && wrong.isEmpty())
        wrong << QStringLiteral("既没有 url 也没有 command");
    return wrong.join(QStringLiteral("；"));
}
} // namespace

QString settingsPath()
{
    return QDir(appDir()).filePath(QLatin1String(kSettingsFileName));
}

ProgramSettings readSettings(const QString &path)
{
    ProgramSettings settings;
    const QFileInfo info(path);
    if (!info.exists())
        return settings;
    NotifySettings &notify = settings.notify;
    auto refuse = [&](const QString &why) {
        notify.wanted = true;
        notify.problem
            = QStringLiteral("通知设置有误，未发送通知：%1（%2）").arg(QDir::toNativeSeparators(path), why);
        return settings;
    };
    if (!info.isFile() || info.size() > kSettingsMaxBytes)
        return refuse(QStringLiteral("不是不超过 %1 KB 的文件").arg(kSettingsMaxBytes / 1024));
    QSettings file(path, QSettings::IniFormat);
    file.setIniCodec("UTF-8");
    if (file.status() != QSettings::NoError)
        return refuse(file.status() == QSettings::AccessError ? QStringLiteral("无法读取")
                                                              : QStringLiteral("格式有误"));
    settings.metricsFile = file.value(QStringLiteral("metrics/file")).toString().trimmed();
    if (!file.childGroups().contains(QStringLiteral("notify")))
        return settings;
    notify.wanted = true;
    file.beginGroup(QStringLiteral("notify"));
    const QString wrong = checkNotify(file, notify);
    if (!wrong.isEmpty())
        return refuse(wrong);
    return settings;
}
