#ifndef CHECK_NOTIFYSETTINGS_H
#define CHECK_NOTIFYSETTINGS_H

#include <QString>

// The optional settings file in the data folder, in Qt's INI format read as UTF-8.
constexpr char kSettingsFileName[] = "netcheck.ini";
// A settings file is a few lines; a larger file is not read at all.
constexpr qint64 kSettingsMaxBytes = 64 * 1024;
// down_after and up_after beyond this are a typing error, not a wish.
constexpr int kMaxRunsInARow = 10000;

enum class NotifyKind { None, DingTalk, Feishu, WeCom, Json };

// [notify]: where a line's change is told, and after how many runs in a row.
struct NotifySettings
{
    bool wanted = false; // the file has a [notify] section (or could not be read)
    QString url; // empty: no request
    NotifyKind kind = NotifyKind::None;
    QString secret; // signs DingTalk and Feishu requests
    QString command; // empty: no command
    int downAfter = 1;
    int upAfter = 1;
    QString problem; // a wrong value: nothing is sent while it stands
};

struct ProgramSettings
{
    NotifySettings notify;
    QString metricsFile; // [metrics] file=, as written
};

// The settings file of the data folder.
QString settingsPath();
// Reads the file; none there, or no section, changes nothing. Read anew for every run, so an
// edit counts from the next run on.
ProgramSettings readSettings(const QString &path);

#endif
