#include "check/historystore.h"

#include "check/clock.h"

#include <QAtomicInteger>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QThread>
#include <QVariant>

#include <algorithm>
#include <cstring>

namespace
{
constexpr int kSchemaVersion = 1;
// Two processes may check one line in the same millisecond; its later rows move on by one.
constexpr int kSameMomentTries = 16;
// Reasons are few (a handful per line); the cache of their ids is bounded all the same.
constexpr int kMaxCachedReasons = 4096;

// SQLite's primary result codes that the program tells apart.
constexpr int kBusy = 5, kLocked = 6, kReadOnly = 8, kIoError = 10, kCorrupt = 11, kFull = 13, kCantOpen = 14,
              kNotADatabase = 26;

const char *const kSchema[] = {
    // A line's texts, once; checks refer to its id.
    "CREATE TABLE lines(id INTEGER PRIMARY KEY, type TEXT NOT NULL, target TEXT NOT NULL,"
    " alias TEXT NOT NULL, nth INTEGER NOT NULL, location TEXT NOT NULL,"
    " UNIQUE(type, target, alias, nth))",
    "CREATE TABLE reasons(id INTEGER PRIMARY KEY, text TEXT NOT NULL UNIQUE)",
    // verdict: 0 pending, 1 passed, 2 failed; reason: 0 none; code: the exit code or HTTP status.
    "CREATE TABLE checks(line INTEGER NOT NULL, at INTEGER NOT NULL, verdict INTEGER NOT NULL,"
    " reason INTEGER NOT NULL, duration INTEGER NOT NULL, code INTEGER,"
    " PRIMARY KEY(line, at)) WITHOUT ROWID",
    "CREATE TABLE state(line INTEGER PRIMARY KEY, verdict INTEGER NOT NULL,"
    " since INTEGER NOT NULL, runs INTEGER NOT NULL, first_at INTEGER NOT NULL,"
    " last_at INTEGER NOT NULL, reported_down INTEGER NOT NULL)",
    // hour: hours since the epoch; failures: checks that did not pass. Keyed by the hour
    // first: a run's summaries share a few pages, and a report reads a period in one pass.
    "CREATE TABLE hours(line INTEGER NOT NULL, hour INTEGER NOT NULL, checks INTEGER NOT NULL,"
    " failures INTEGER NOT NULL, min_ms INTEGER NOT NULL, sum_ms INTEGER NOT NULL,"
    " max_ms INTEGER NOT NULL, PRIMARY KEY(hour, line)) WITHOUT ROWID",
    // ended: null while the outage lasts.
    "CREATE TABLE outages(line INTEGER NOT NULL, began INTEGER NOT NULL, ended INTEGER,"
    " verdict INTEGER NOT NULL, reason INTEGER NOT NULL, PRIMARY KEY(line, began)) WITHOUT ROWID",
    "CREATE TABLE meta(key TEXT PRIMARY KEY, value INTEGER) WITHOUT ROWID",
};

qint64 hourOf(qint64 ms)
{
    return ms >= 0 ? ms / kHourMs : (ms - kHourMs + 1) / kHourMs;
}

Verdict verdictOf(const QVariant &value)
{
    const int v = value.toInt();
    return v == int(Verdict::Passed) ? Verdict::Passed
        : v == int(Verdict::Failed)  ? Verdict::Failed
                                     : Verdict::Pending;
}
} // namespace

HistoryStore::HistoryStore(const QString &path, Access access, int busyMs)
    : filePath(path)
    , access(access)
    , busyMs(qBound(0, busyMs, kHistoryBusyMs))
{
    static QAtomicInteger<quint64> count;
    connection = QStringLiteral("history-%1").arg(++count);
}

HistoryStore::~HistoryStore()
{
    close();
}

void HistoryStore::open()
{
    if (opened)
        return;
    absent = access == Access::ReadOnly && !QFileInfo::exists(filePath);
    opened = true; // close() undoes it, also when opening fails
    if (absent)
        return;
    db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(filePath);
    db.setConnectOptions(
        QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1%2")
            .arg(busyMs)
            .arg(access == Access::ReadOnly ? QStringLiteral(";QSQLITE_OPEN_READONLY") : QString()));
    try {
        if (!db.open())
            throw failureOf(db.lastError());
        QSqlQuery &version = statement("PRAGMA user_version");
        const int schema = version.next() ? version.value(0).toInt() : 0;
        version.finish();
        if (schema > kSchemaVersion)
            throw Failure { 0, QStringLiteral("由更新版本的程序创建") };
        if (access == Access::ReadOnly) {
            absent = schema == 0;
        } else {
            // Readers never block the writer, and a run's commit waits for no disk flush.
            statement("PRAGMA journal_mode=WAL").finish();
            statement("PRAGMA synchronous=NORMAL");
            // A run's commit only appends; maintain() checkpoints after it. The log is cut
            // back after a large transaction (a day's prune).
            statement("PRAGMA wal_autocheckpoint=0").finish();
            statement("PRAGMA journal_size_limit=8388608").finish();
            // A run of 1,000 lines writes a page of checks per line; they stay in memory
            // from one run to the next, in at most 16 MiB.
            statement("PRAGMA cache_size=-16384").finish();
            if (schema == 0)
                createSchema();
        }
        if (!absent)
            loadLines();
    } catch (const Failure &failure) {
        if (!setAsideWhenBroken(failure))
            close();
        throw;
    }
}

void HistoryStore::close()
{
    statements.clear();
    lineIds.clear();
    locations.clear();
    reasonIds.clear();
    if (opened) {
        db.close();
        db = QSqlDatabase();
        if (QSqlDatabase::contains(connection))
            QSqlDatabase::removeDatabase(connection);
    }
    opened = false;
}

void HistoryStore::createSchema()
{
    begin();
    QSqlQuery &version = statement("PRAGMA user_version");
    const bool made = version.next() && version.value(0).toInt() != 0; // by another process meanwhile
    version.finish();
    if (!made) {
        for (const char *sql : kSchema)
            statement(sql);
        statement("PRAGMA user_version=1");
    }
    commit();
    statements.clear();
}

HistoryStore::Failure HistoryStore::failureOf(const QSqlError &error)
{
    return { error.nativeErrorCode().toInt() & 0xff, error.databaseText() };
}

QSqlQuery &HistoryStore::statement(const char *sql)
{
    auto it = statements.find(sql);
    if (it == statements.end()) {
        it = statements.insert(sql, QSqlQuery(db));
        it->setForwardOnly(true);
        if (!it->prepare(QString::fromLatin1(sql))) {
            const QSqlError error = it->lastError();
            statements.erase(it);
            throw failureOf(error);
        }
    }
    // Statements without parameters run at once; run() binds the others.
    if (!std::strchr(sql, '?') && !it->exec())
        throw failureOf(it->lastError());
    return *it;
}

QSqlQuery &HistoryStore::run(const char *sql, std::initializer_list<QVariant> values)
{
    QSqlQuery &query = statement(sql);
    int i = 0;
    for (const QVariant &value : values)
        query.bindValue(i++, value);
    if (!query.exec())
        throw failureOf(query.lastError());
    return query;
}

void HistoryStore::begin()
{
    // The write lock is taken at once, so the busy timeout covers it: a deferred transaction
    // that reads first may fail on its first write without waiting.
    statement(access == Access::ReadOnly ? "BEGIN" : "BEGIN IMMEDIATE");
}

void HistoryStore::commit()
{
    for (QSqlQuery &query : statements)
        query.finish();
    statement("COMMIT");
}

void HistoryStore::rollback()
{
    if (!opened || absent || !db.isOpen())
        return;
    for (QSqlQuery &query : statements)
        query.finish();
    QSqlQuery(QStringLiteral("ROLLBACK"), db);
    // Ids handed out in the transaction are gone with it.
    lineIds.clear();
    locations.clear();
    reasonIds.clear();
}

void HistoryStore::loadLines()
{
    lineIds.clear();
    locations.clear();
    QSqlQuery &q = statement("SELECT id, type, target, alias, nth, location FROM lines");
    while (q.next()) {
        const qint64 id = q.value(0).toLongLong();
        lineIds.insert(LineKey { q.value(1).toString(), q.value(2).toString(), q.value(3).toString(),
                           q.value(4).toInt() },
            id);
        locations.insert(id, q.value(5).toString());
    }
    q.finish();
}

qint64 HistoryStore::lineId(const LineKey &key, const QString &location)
{
    qint64 id = lineIds.value(key);
    if (id == 0) {
        QSqlQuery &insert
            = run("INSERT OR IGNORE INTO lines(type, target, alias, nth, location) VALUES(?, ?, ?, ?, ?)",
                { key.type, key.target, key.alias, key.nth, location });
        if (insert.numRowsAffected() == 1) {
            id = insert.lastInsertId().toLongLong();
            locations.insert(id, location);
        } else { // added by another process since the lines were read
            QSqlQuery &q = run(
                "SELECT id, location FROM lines WHERE type = ? AND target = ? AND alias = ? AND nth = ?",
                { key.type, key.target, key.alias, key.nth });
            if (!q.next())
                throw Failure { 0, QStringLiteral("lines") };
            id = q.value(0).toLongLong();
            locations.insert(id, q.value(1).toString());
            q.finish();
        }
        lineIds.insert(key, id);
    }
    if (locations.value(id) != location) {
        run("UPDATE lines SET location = ? WHERE id = ?", { location, id });
        locations.insert(id, location);
    }
    return id;
}

qint64 HistoryStore::reasonId(const QString &text)
{
    if (text.isEmpty())
        return 0;
    qint64 id = reasonIds.value(text);
    if (id != 0)
        return id;
    run("INSERT OR IGNORE INTO reasons(text) VALUES(?)", { text });
    QSqlQuery &q = run("SELECT id FROM reasons WHERE text = ?", { text });
    id = q.next() ? q.value(0).toLongLong() : 0;
    q.finish();
    if (reasonIds.size() >= kMaxCachedReasons)
        reasonIds.clear();
    reasonIds.insert(text, id);
    return id;
}

QHash<qint64, LineState> HistoryStore::loadStates()
{
    QHash<qint64, LineState> states;
    QSqlQuery &q
        = statement("SELECT line, verdict, since, runs, first_at, last_at, reported_down FROM state");
    while (q.next()) {
        LineState s;
        s.lineId = q.value(0).toLongLong();
        s.verdict = verdictOf(q.value(1));
        s.sinceMs = q.value(2).toLongLong();
        s.runs = q.value(3).toInt();
        s.firstMs = q.value(4).toLongLong();
        s.lastMs = q.value(5).toLongLong();
        s.reportedDown = q.value(6).toBool();
        states.insert(s.lineId, s);
    }
    q.finish();
    return states;
}

void HistoryStore::writeState(const LineState &s)
{
    run("INSERT OR REPLACE INTO state(line, verdict, since, runs, first_at, last_at, reported_down)"
        " VALUES(?, ?, ?, ?, ?, ?, ?)",
        { s.lineId, int(s.verdict), s.sinceMs, s.runs, s.firstMs, s.lastMs, int(s.reportedDown) });
}

QList<LineState> HistoryStore::record(const QList<CheckResult> &results, QString *problem)
{
    QList<CheckLine> lines;
    for (const CheckResult &result : results)
        lines << result.line;
    const QList<LineKey> keys = lineKeysOf(lines);
    const qint64 now = currentTime().toMSecsSinceEpoch();
    QString setAsideAs;
    for (int attempt = 0;; ++attempt) {
        try {
            open();
            begin();
            QHash<qint64, LineState> states = loadStates();
            QList<LineState> recorded;
            for (int i = 0; i < results.size(); ++i) {
                const CheckResult &result = results.at(i);
                const qint64 id = lineId(keys.at(i), result.line.location.simplified());
                const qint64 reason = reasonId(result.reason);
                const std::optional<int> code = result.exitCode ? result.exitCode : result.httpStatus;
                const bool passed = result.verdict == Verdict::Passed;
                qint64 at = result.checkedAt.isValid() ? result.checkedAt.toMSecsSinceEpoch() : now;
                for (int tries = 0; tries < kSameMomentTries; ++tries, ++at) {
                    QSqlQuery &q
                        = run("INSERT OR IGNORE INTO checks(line, at, verdict, reason, duration, code)"
                              " VALUES(?, ?, ?, ?, ?, ?)",
                            { id, at, int(result.verdict), reason, result.durationMs,
                                code ? QVariant(*code) : QVariant(QVariant::LongLong) });
                    if (q.numRowsAffected() == 1)
                        break;
                }
                run("INSERT INTO hours(line, hour, checks, failures, min_ms, sum_ms, max_ms)"
                    " VALUES(?, ?, 1, ?, ?, ?, ?) ON CONFLICT(hour, line) DO UPDATE SET"
                    " checks = checks + 1, failures = failures + excluded.failures,"
                    " min_ms = min(min_ms, excluded.min_ms), sum_ms = sum_ms + excluded.sum_ms,"
                    " max_ms = max(max_ms, excluded.max_ms)",
                    { id, hourOf(at), passed ? 0 : 1, result.durationMs, result.durationMs,
                        result.durationMs });

                LineState state = states.value(id);
                // A later check recorded meanwhile by another process keeps the state.
                const bool latest = !state.known() || at >= state.lastMs;
                const bool wasUp = !state.known() || state.verdict == Verdict::Passed;
                if (!state.known()) {
                    state = LineState { id, result.verdict, at, 1, at, at, false };
                } else if (latest && state.verdict == result.verdict) {
                    ++state.runs;
                    state.lastMs = at;
                } else if (latest) {
                    state.verdict = result.verdict;
                    state.sinceMs = state.lastMs = at;
                    state.runs = 1;
                }
                if (latest && wasUp && !passed)
                    run("INSERT OR IGNORE INTO outages(line, began, ended, verdict, reason)"
                        " VALUES(?, ?, NULL, ?, ?)",
                        { id, at, int(result.verdict), reason });
                else if (latest && !wasUp && passed)
                    run("UPDATE outages SET ended = ? WHERE line = ? AND ended IS NULL", { at, id });
                writeState(state);
                states.insert(id, state);
                recorded << state;
            }
            commit();
            if (problem)
                *problem = setAsideAs.isEmpty() ? QString() : setAsideText(setAsideAs);
            return recorded;
        } catch (const Failure &failure) {
            if (attempt == 0 && setAsideWhenBroken(failure)) {
                setAsideAs = setAside();
                if (!setAsideAs.isEmpty())
                    continue;
            }
            rollback();
            if (setAsideWhenBroken(failure))
                close(); // not left open on a broken file
            if (problem)
                *problem = problemText(failure, true);
            return {};
        }
    }
}

bool HistoryStore::setAsideWhenBroken(const Failure &failure) const
{
    // A reader leaves the file where it is, for the next run to set aside.
    return (failure.code == kCorrupt || failure.code == kNotADatabase) && access == Access::ReadWrite;
}

QString HistoryStore::setAside()
{
    const QString stamp = currentTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = filePath + QStringLiteral(".broken-") + stamp;
    for (int n = 2; QFileInfo::exists(aside) && n < 100; ++n)
        aside = filePath + QStringLiteral(".broken-%1-%2").arg(stamp).arg(n);
    // Moved while still open: closing the last connection deletes the write-ahead log by its
    // name. Left beside a new file it would be replayed into it; beside the broken one it
    // still belongs to it.
    const bool moved = QFile::rename(filePath, aside);
    for (const char *companion : { "-wal", "-shm" }) {
        const QString from = filePath + QLatin1String(companion);
        if (moved && QFileInfo::exists(from))
            QFile::rename(from, aside + QLatin1String(companion));
    }
    close();
    return moved ? QFileInfo(aside).fileName() : QString();
}

QString HistoryStore::setAsideText(const QString &aside)
{
    return QStringLiteral("历史记录文件已损坏，已改名为 %1，并新建了历史记录。").arg(aside);
}

QString HistoryStore::problemText(const Failure &failure, bool writing) const
{
    QString why;
    switch (failure.code) {
    case kBusy:
    case kLocked:
        why = QStringLiteral("文件被占用超过 %1 秒").arg(kHistoryBusyMs / 1000);
        break;
    case kReadOnly:
    case kCantOpen:
        why = QStringLiteral("文件不可写");
        break;
    case kFull:
        why = QStringLiteral("磁盘已满");
        break;
    case kIoError:
        why = QStringLiteral("读写出错");
        break;
    case kCorrupt:
    case kNotADatabase:
        why = QStringLiteral("文件已损坏");
        break;
    default:
        why = failure.text;
    }
    return QStringLiteral("%1：%2（%3）")
        .arg(writing ? QStringLiteral("历史记录写入失败") : QStringLiteral("历史记录读取失败"),
            QDir::toNativeSeparators(filePath), why);
}

template<typename Work>
bool HistoryStore::guarded(bool writing, QString *problem, Work &&work)
{
    try {
        open();
        if (!absent)
            work();
        if (problem)
            problem->clear();
        return true;
    } catch (const Failure &failure) {
        const QString aside = setAsideWhenBroken(failure) ? setAside() : QString();
        rollback();
        if (problem)
            *problem = aside.isEmpty() ? problemText(failure, writing) : setAsideText(aside);
        return false;
    }
}

void HistoryStore::beginRead()
{
    // One snapshot for all of a report's queries; a reader takes no write lock.
    statement("BEGIN");
}

LineState HistoryStore::stateOf(qint64 lineId)
{
    LineState s;
    QSqlQuery &q
        = run("SELECT verdict, since, runs, first_at, last_at, reported_down FROM state WHERE line = ?",
            { lineId });
    if (q.next()) {
        s.lineId = lineId;
        s.verdict = verdictOf(q.value(0));
        s.sinceMs = q.value(1).toLongLong();
        s.runs = q.value(2).toInt();
        s.firstMs = q.value(3).toLongLong();
        s.lastMs = q.value(4).toLongLong();
        s.reportedDown = q.value(5).toBool();
    }
    q.finish();
    return s;
}

QList<LineState> HistoryStore::states(const QList<LineKey> &keys, QString *problem)
{
    QList<LineState> states;
    guarded(false, problem, [&] {
        loadLines();
        const QHash<qint64, LineState> known = loadStates();
        for (const LineKey &key : keys)
            states << known.value(lineIds.value(key));
    });
    while (states.size() < keys.size())
        states << LineState();
    return states;
}

bool HistoryStore::setReported(const QList<qint64> &ids, bool down, QString *problem)
{
    return guarded(true, problem, [&] {
        begin();
        for (const qint64 id : ids)
            run("UPDATE state SET reported_down = ? WHERE line = ?", { int(down), id });
        commit();
    });
}

QList<LineFigures> HistoryStore::figures(
    const QList<CheckLine> &lines, const QVector<int> &days, qint64 nowMs, QString *problem)
{
    QList<LineFigures> figures;
    const QList<LineKey> keys = lineKeysOf(lines);
    const qint64 nowHour = hourOf(nowMs);
    const int longest = days.isEmpty() ? 0 : *std::max_element(days.begin(), days.end());
    const qint64 periodStartMs = (nowHour - 24 * longest + 1) * kHourMs;
    const bool read = guarded(false, problem, [&] {
        loadLines();
        beginRead();
        // Per period, one pass over its hours for every line.
        QVector<QHash<qint64, QPair<qint64, qint64>>> made;
        for (const int d : days) {
            made.append(QHash<qint64, QPair<qint64, qint64>>());
            QSqlQuery &q = run("SELECT line, total(checks), total(failures) FROM hours"
                               " WHERE hour > ? AND hour <= ? GROUP BY line",
                { nowHour - 24 * d, nowHour });
            while (q.next())
                made.last().insert(
                    q.value(0).toLongLong(), { q.value(1).toLongLong(), q.value(2).toLongLong() });
            q.finish();
        }
        for (const LineKey &key : keys) {
            LineFigures f;
            const qint64 id = lineIds.value(key);
            for (const auto &period : made) {
                f.made << period.value(id).first;
                f.passed << period.value(id).first - period.value(id).second;
            }
            QSqlQuery &q = run("SELECT began, ended FROM outages WHERE line = ? AND began <= ?"
                               " AND (ended IS NULL OR ended > ?)",
                { id, nowMs, periodStartMs });
            while (q.next()) {
                ++f.outages;
                const qint64 ended = q.value(1).isNull() ? nowMs : q.value(1).toLongLong();
                f.longestOutageMs = qMax(f.longestOutageMs, ended - q.value(0).toLongLong());
            }
            q.finish();
            if (id != 0)
                f.state = stateOf(id);
            figures << f;
        }
        commit();
    });
    if (!read)
        return {};
    while (figures.size() < keys.size())
        figures << LineFigures { QVector<qint64>(days.size()), QVector<qint64>(days.size()) };
    return figures;
}

LineHistory HistoryStore::lineHistory(
    const LineKey &key, qint64 fromMs, qint64 toMs, bool withChecks, QString *problem)
{
    LineHistory history;
    guarded(false, problem, [&] {
        loadLines();
        const qint64 id = lineIds.value(key);
        if (id == 0)
            return;
        beginRead();
        history.state = stateOf(id);
        QSqlQuery &h = run("SELECT hour, checks, failures, min_ms, sum_ms, max_ms FROM hours"
                           " WHERE hour >= ? AND hour <= ? AND line = ?",
            { hourOf(fromMs), hourOf(toMs), id });
        while (h.next())
            history.hours << HourSummary { h.value(0).toLongLong(), h.value(1).toInt(), h.value(2).toInt(),
                h.value(3).toLongLong(), h.value(4).toLongLong(), h.value(5).toLongLong() };
        h.finish();
        QSqlQuery &o
            = run("SELECT o.began, o.ended, o.verdict, r.text FROM outages o"
                  " LEFT JOIN reasons r ON r.id = o.reason"
                  " WHERE o.line = ? AND o.began <= ? AND (o.ended IS NULL OR o.ended >= ?) ORDER BY o.began",
                { id, toMs, fromMs });
        while (o.next())
            history.outages << Outage { o.value(0).toLongLong(), o.value(1).toLongLong(),
                verdictOf(o.value(2)), o.value(3).toString() };
        o.finish();
        if (withChecks) {
            QSqlQuery &c
                = run("SELECT at, verdict, duration FROM checks WHERE line = ? AND at >= ? AND at <= ?"
                      " ORDER BY at DESC LIMIT ?",
                    { id, fromMs, toMs, kMaxCheckPoints });
            while (c.next())
                history.checks << CheckPoint { c.value(0).toLongLong(), verdictOf(c.value(1)),
                    c.value(2).toLongLong() };
            c.finish();
            std::reverse(history.checks.begin(), history.checks.end());
        }
        commit();
    });
    return history;
}

bool HistoryStore::maintain(qint64 nowMs, QString *problem)
{
    bool due = false;
    guarded(true, problem, [&] {
        // Passive: readers are not waited for; what they hold is copied next time.
        statement("PRAGMA wal_checkpoint(PASSIVE)").finish();
        const auto dueNow = [&] {
            QSqlQuery &last = statement("SELECT value FROM meta WHERE key = 'pruned'");
            const qint64 lastMs = last.next() ? last.value(0).toLongLong() : 0;
            last.finish();
            // A clock set back counts as a new day.
            return lastMs == 0 || nowMs - lastMs >= kDayMs || nowMs < lastMs;
        };
        if (!dueNow())
            return;
        begin(); // and again under the lock: one process prunes
        due = dueNow();
        if (due)
            run("INSERT OR REPLACE INTO meta(key, value) VALUES('pruned', ?)", { nowMs });
        commit();
        if (!due)
            return;
        QElapsedTimer spent;
        spent.start();
        const auto goOn = [&spent] {
            return spent.elapsed() < kPruneBudgetMs && !QThread::currentThread()->isInterruptionRequested();
        };
        const qint64 checksCut = hourOf(nowMs - kChecksKeptMs) * kHourMs;
        while (goOn()) {
            // Each line's oldest check is the first key of its part of the tree.
            QSqlQuery &q
                = statement("SELECT min((SELECT min(at) FROM checks WHERE line = lines.id)) FROM lines");
            const QVariant oldest = q.next() ? q.value(0) : QVariant();
            q.finish();
            if (oldest.isNull() || oldest.toLongLong() >= checksCut)
                break;
            const qint64 from = hourOf(oldest.toLongLong()) * kHourMs;
            begin();
            run("DELETE FROM checks WHERE line IN (SELECT id FROM lines) AND at >= ? AND at < ?",
                { from, qMin(from + kHourMs, checksCut) });
            commit();
        }
        const qint64 hoursCut = hourOf(nowMs - kSummariesKeptMs);
        while (goOn()) {
            QSqlQuery &q = statement("SELECT min(hour) FROM hours");
            const QVariant oldest = q.next() ? q.value(0) : QVariant();
            q.finish();
            if (oldest.isNull() || oldest.toLongLong() >= hoursCut)
                break;
            begin();
            run("DELETE FROM hours WHERE hour = ?", { oldest });
            commit();
        }
        begin();
        run("DELETE FROM outages WHERE line IN (SELECT id FROM lines) AND began < ? AND ended < ?",
            { hoursCut * kHourMs, hoursCut * kHourMs });
        commit();
        statement("PRAGMA wal_checkpoint(PASSIVE)").finish();
    });
    return due;
}
