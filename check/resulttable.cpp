#include "check/resulttable.h"

#include <QRegularExpression>

namespace
{
constexpr int kSpareRows = 1;
constexpr int kLeastRows = 2;

QStringList emptyRow(int columns)
{
    QStringList row;
    for (int i = 0; i < columns; ++i)
        row << QString();
    return row;
}

// Quoted the way spreadsheets read pasted text, so multi-line ping output stays in its cell;
// a field without a separator or quote goes as it is.
QString clipboardField(const QString &text)
{
    static const QRegularExpression special(QStringLiteral("[\t\r\n\"]"));
    if (!text.contains(special))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QLatin1String("\"\""))
        + QLatin1Char('"');
}
} // namespace

ResultsTable startResultsTable()
{
    return { { QStringLiteral("名称"), QStringLiteral("状态"), QStringLiteral("检测内容"),
                 QStringLiteral("检测时间"), QStringLiteral("检测结果") },
        { 240, 80, 400, 240, 660 }, { emptyRow(5), emptyRow(5) } };
}

ResultsTable resultsTable(const QList<CheckResult> &results)
{
    ResultsTable table { { QStringLiteral("名称"), QStringLiteral("状态"), QStringLiteral("检测内容"),
                             QStringLiteral("检测时间"), QStringLiteral("检测结果"), QStringLiteral("位置") },
        { 200, 80, 360, 200, 500, 100 }, {} };
    for (const CheckResult &result : results)
        table.rows.append(resultCells(result));
    while (table.rows.size() < qMax(kLeastRows, results.size() + kSpareRows))
        table.rows.append(emptyRow(table.headers.size()));
    return table;
}

QStringList resultCells(const CheckResult &result)
{
    return { result.line.alias, verdictWord(result.verdict), checkedContent(result.line),
        checkTimeText(result.checkedAt), resultText(result), result.line.location };
}

QStringList runningCells(const CheckLine &line)
{
    return { line.alias, QStringLiteral("检测中"), checkedContent(line), QString(), QString(),
        line.location };
}

QString checkedContent(const CheckLine &line)
{
    return QStringLiteral("%1-%2").arg(line.type, shownTarget(line));
}

QString checkTimeText(const QDateTime &moment)
{
    return moment.toString(QStringLiteral("yyyy年MM月dd日 hh:mm:ss"));
}

QString clipboardText(const ResultsTable &table)
{
    QString text;
    for (const QString &header : table.headers)
        text += clipboardField(header) + QLatin1Char('\t');
    text += QLatin1Char('\n');
    for (const QStringList &row : table.rows) {
        for (const QString &cell : row)
            text += clipboardField(cell.trimmed()) + QLatin1Char('\t');
        text += QLatin1Char('\n');
    }
    return text;
}
