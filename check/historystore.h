#ifndef CHECK_HISTORYSTORE_H
#define CHECK_HISTORYSTORE_H

#include "check/historyrecords.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <initializer_list>

// The history's file, in the data folder beside the check script.
constexpr char kHistoryFileName[] = "history.sqlite";
// Another process's run holds the file for milliseconds; a run waits no longer than this
// for it, and drops its rows instead.
constexpr int kHistoryBusyMs = 2000;
constexpr qint64 kHourMs = 3600 * 1000;
constexpr qint64 kDayMs = 24 * kHourMs;
// Single checks feed the charts of the last month; the hourly summaries and outages answer
// for a year. Both bound the file: 100 lines a minute stay under 300 MB.
constexpr qint64 kChecksKeptMs = 35 * kDayMs;
constexpr qint64 kSummariesKeptMs = 400 * kDayMs;
// Old data goes once a day, for at most this long, so a run is never held by it.
constexpr int kPruneBudgetMs = 2000;
// A chart of a month of one-minute checks (43,200) fits; a faster schedule loses its oldest.
constexpr int kMaxCheckPoints = 100000;

// The history of every check on an SQLite file through one connection of its own: use it
// on one thread only. A run's rows go in one transaction; a run that cannot be recorded
// (the file held over kHistoryBusyMs, read-only, full or broken) is dropped and gives one
// problem text, and a broken file is set aside under a new name (nothing is deleted) and a
// new one started.
class HistoryStore
{
public:
    enum class Access { ReadWrite, ReadOnly };
    explicit HistoryStore(
        const QString &path, Access access = Access::ReadWrite, int busyMs = kHistoryBusyMs);
    ~HistoryStore();
    HistoryStore(const HistoryStore &) = delete;
    HistoryStore &operator=(const HistoryStore &) = delete;

    // Records a whole run in script order; gives its lines' states in the same order, or
    // none and a problem. A result's time is its checkedAt (the clock's time when unset).
    QList<LineState> record(const QList<CheckResult> &results, QString *problem);
    // The states of lines (one never checked: lineId 0), keys from lineKeysOf().
    QList<LineState> states(const QList<LineKey> &keys, QString *problem);
    // Keeps what was last reported of these lines: down, or up again.
    bool setReported(const QList<qint64> &lineIds, bool down, QString *problem);

    // Each line's checks passed and made over the last days (the current hour and the
    // hours before it), its outages and the longest of them over the longest period.
    QList<LineFigures> figures(
        const QList<CheckLine> &lines, const QVector<int> &days, qint64 nowMs, QString *problem);
    // One line's history from fromMs to toMs: its hourly summaries, the outages that reach
    // into the span, and its single checks (at most kMaxCheckPoints, the newest).
    LineHistory lineHistory(
        const LineKey &key, qint64 fromMs, qint64 toMs, bool withChecks, QString *problem);

    // After a run, off its path: copies the write-ahead log into the file (a run's commit
    // never does), and removes checks past kChecksKeptMs and summaries and outages past
    // kSummariesKeptMs when that was last done a day ago or more, one hour of data per
    // transaction, for at most kPruneBudgetMs or until the thread is asked to stop. Returns
    // whether it removed.
    bool maintain(qint64 nowMs, QString *problem);

    QString path() const { return filePath; }

private:
public:
    struct Failure
    {
        int code; // SQLite's primary result code, or 0
        QString text;
    };

private:
    static Failure failureOf(const QSqlError &error);
    void open();
    void close();
    void createSchema();
    void loadLines();
    QSqlQuery &statement(const char *sql); // a string literal
    QSqlQuery &run(const char *sql, std::initializer_list<QVariant> values);
    qint64 lineId(const LineKey &key, const QString &location);
    qint64 reasonId(const QString &text);
    QHash<qint64, LineState> loadStates();
    void writeState(const LineState &state);
    template<typename Work>
    bool guarded(bool writing, QString *problem, Work &&work);
    void begin();
    void beginRead();
    LineState stateOf(qint64 lineId);
    void commit();
    void rollback();
    bool setAsideWhenBroken(const Failure &failure) const;
    QString setAside();
    static QString setAsideText(const QString &aside);
    QString problemText(const Failure &failure, bool writing) const;

    QString filePath;
    Access access;
    int busyMs;
    QString connection;
    QSqlDatabase db;
    bool opened = false;
    bool absent = false; // read-only and no file yet: an empty history
    QHash<const char *, QSqlQuery> statements; // prepared once, by the literal's address
    QHash<LineKey, qint64> lineIds;
    QHash<qint64, QString> locations;
    QHash<QString, qint64> reasonIds;
};

#endif
