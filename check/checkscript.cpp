#include "checkscript.h"
#include "appdir.h"
#include "fromlanrik.h"
#include "messagebox.h"
#include "ui_fromlanrik.h"
#include "unsavedscript.h"

#include <QHeaderView>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTableWidget>
#include <QTextCodec>
#include <QTextStream>

namespace
{
// Record field order in the file, as editor columns.
const ScriptColumn fileOrder[ScriptColumns]
    = { ScriptType, ScriptTarget, ScriptAlias, ScriptSuccess, ScriptLocation };
} // namespace

QString scriptFilePath()
{
    return QStringLiteral("%1/chkScript.txt").arg(appDir());
}

QString tableCellText(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item ? item->text().trimmed() : QString();
}

QString tableHeaderText(const QTableWidget *table, int column)
{
    const QTableWidgetItem *item = table->horizontalHeaderItem(column);
    return item ? item->text() : QString();
}

QStringList scriptLineFields(const QString &line)
{
    // simplified() collapses white-space runs like "\s+" -> " " and trims the ends,
    // which the per-field trim below would do anyway.
    QStringList fields = line.simplified().split(QLatin1Char('|'), Qt::KeepEmptyParts);
    for (QString &field : fields)
        field = field.trimmed();
    return fields;
}

ScriptCell unstorableCell(const QTableWidget *table)
{
    for (int row = 0; row < table->rowCount(); ++row) {
        if (tableCellText(table, row, ScriptAlias).isEmpty())
            continue;
        for (int column = 0; column < ScriptColumns; ++column)
            if (tableCellText(table, row, column).contains(QLatin1Char('|')))
                return { row, column };
    }
    return {};
}

QString scriptTableText(QTableWidget *table)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QString text;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (tableCellText(table, row, ScriptAlias).isEmpty())
            continue;
        for (int i = 0; i < ScriptColumns; ++i) {
            if (i > 0)
                text += QLatin1Char('|');
            // A pasted line break would split the record; on loading it is a blank anyway.
            text += tableCellText(table, row, fileOrder[i]).replace(lineBreak, QStringLiteral(" "));
        }
        text += QLatin1Char('\n');
    }
    return text;
}

void layOutTable(QTableWidget *table, const QStringList &headers, const QList<int> &widths)
{
    table->clear();
    table->setColumnCount(headers.size());
    table->setHorizontalHeaderLabels(headers);
    for (int column = 0; column < widths.size(); ++column)
        table->setColumnWidth(column, widths.at(column));
    table->verticalHeader()->setFixedWidth(kTableRowHeight);
    table->verticalHeader()->setDefaultSectionSize(kTableRowHeight);
    table->horizontalHeader()->setFixedHeight(kTableRowHeight);
    table->horizontalHeader()->setStyleSheet(QStringLiteral("QHeaderView::section{background:skyblue;}"));
    table->setStyleSheet(QStringLiteral("selection-background-color:lightblue;"));
    table->setRowCount(2);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->repaint();
}

void loadScriptTable(QTableWidget *table, const QString &text)
{
    layOutTable(table,
        { QStringLiteral("别名"), QStringLiteral("类型"), QStringLiteral("CMD/URL"),
            QStringLiteral("成功字符"), QStringLiteral("位置") },
        { 200, 80, 300, 200, 120 });

    const QStringList lines = text.split(QLatin1Char('\n'), Qt::KeepEmptyParts);
    int row = 0;
    // The part after the last line feed is not a record.
    for (int i = 0; i + 1 < lines.size(); ++i) {
        const QStringList fields = scriptLineFields(lines.at(i));
        if (fields.size() < 2)
            continue;
        // Keep one empty spare row below the last record.
        if (row >= table->rowCount() - 1)
            table->insertRow(table->rowCount());
        for (int f = 0; f < ScriptColumns && f < fields.size(); ++f)
            table->setItem(row, fileOrder[f], new QTableWidgetItem(fields.at(f)));
        ++row;
    }
}

bool writeTextFile(const QString &path, const QString &text)
{
    QSaveFile file(path);
    // A folder that refuses new files (no write permission) may still hold a writable
    // script; only then is it written in place, at the risk of a half-written file.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    // A locale that cannot hold the text (Chinese under a C locale) would store
    // '?' for it; UTF-8 with a byte-order mark still loads, since reading honours it.
    if (!QTextCodec::codecForLocale()->canEncode(text)) {
        out.setCodec("UTF-8");
        out.setGenerateByteOrderMark(true);
    }
    out << text;
    out.flush();
    // Without a commit the temporary file is discarded and the old file stays.
    if (out.status() != QTextStream::Ok)
        return false;
    return file.commit();
}

bool saveScriptTable(QWidget *parent, QTableWidget *table)
{
    // Stored, a "|" would split its field and shift every later one on the next load.
    const ScriptCell bar = unstorableCell(table);
    if (bar.row >= 0) {
        MessageBox::warning(parent, QStringLiteral("警告"),
            QStringLiteral("第%1行“%2”含有“|”，无法保存！")
                .arg(bar.row + 1)
                .arg(tableHeaderText(table, bar.column)));
        return false;
    }
    const QString text = scriptTableText(table);
    if (!writeTextFile(scriptFilePath(), text)) {
        MessageBox::warning(parent, QStringLiteral("警告"), QStringLiteral("文件保存失败！"));
        return false;
    }
    markScriptSaved(table);
    MessageBox::information(parent, QStringLiteral("提示信息"), QStringLiteral("文件保存成功！"));
    return true;
}

void fromlanrik::on_cmdSet_SaveScript_clicked()
{
    saveScriptTable(this, ui->tableScript);
}

void fromlanrik::on_cmdScriptInsLine_clicked()
{
    QTableWidget *table = ui->tableScript;
    const int current = table->currentRow();
    const int rows = table->rowCount();
    const int inserted = current == rows - 1 ? rows : current + 1;
    table->insertRow(inserted);
    if (inserted == rows)
        table->insertRow(rows + 1);
    // The new row becomes current, so a delete right after takes it back rather than
    // the row above it.
    table->setCurrentCell(inserted, qMax(table->currentColumn(), 0));
}

void fromlanrik::on_cmdScriptDelLine_clicked()
{
    const int current = ui->tableScript->currentRow();
    if (current >= 0)
        ui->tableScript->removeRow(current);
}
