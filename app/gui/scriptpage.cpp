#include "app/gui/scriptpage.h"
#include "app/gui/messagebox.h"
#include "app/gui/tables.h"
#include "check/textfile.h"

#include <QDir>
#include <QEvent>
#include <QTableWidget>

#include <algorithm>

namespace
{
// Record fields in editor column order.
QString ScriptRecord::*const columnField[ScriptColumns] = { &ScriptRecord::alias, &ScriptRecord::type,
    &ScriptRecord::target, &ScriptRecord::success, &ScriptRecord::location };

// A cell of a row that would be saved holding "|", which the format cannot store.
struct ScriptCell
{
    int row = -1;
    int column = -1;
};
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

// Every row with anything in it, as the table shows it: a row a save leaves out counts too.
QString tableContent(const QTableWidget *table)
{
    QString content;
    for (int row = 0; row < table->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < ScriptColumns; ++column)
            cells << tableCellText(table, row, column);
        if (!cells.join(QString()).isEmpty())
            content += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return content;
}

// "第N行没有名称，未保存。" for every row with content but no alias.
QStringList rowsLeftOut(const QTableWidget *table)
{
    QStringList rows;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (!tableCellText(table, row, ScriptAlias).isEmpty())
            continue;
        for (int column = 0; column < ScriptColumns; ++column) {
            if (!tableCellText(table, row, column).isEmpty()) {
                rows << QStringLiteral("第%1行没有名称，未保存。").arg(row + 1);
                break;
            }
        }
    }
    return rows;
}

QList<ScriptRecord> tableRecords(const QTableWidget *table)
{
    QList<ScriptRecord> records;
    for (int row = 0; row < table->rowCount(); ++row) {
        ScriptRecord record;
        // A pasted line break would split the record; on loading it is a blank anyway.
        for (int column = 0; column < ScriptColumns; ++column) {
            QString text = tableCellText(table, row, column);
            // Looked for first: thousands of cells go through here at every save and run.
            if (std::any_of(text.cbegin(), text.cend(), isLineEnd))
                text.replace(lineEnds(), QStringLiteral(" "));
            record.*columnField[column] = text;
        }
        records.append(record);
    }
    return records;
}

// An event filter, not an override: the window class adds nothing of its own. A batch run
// ends only when the window is really hidden, so a question kept open or 取消 leaves it going.
class SaveBeforeClosing : public QObject
{
public:
    SaveBeforeClosing(QWidget *window, ScriptPage *page)
        : QObject(window)
        , page(page)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Close || watched != parent())
            return false;
        page->commitEdit();
        if (!page->hasUnsavedEdits())
            return false;
        auto *window = static_cast<QWidget *>(watched);
        const QMessageBox::StandardButton answer = MessageBox::question(window, QStringLiteral("提示信息"),
            QStringLiteral("脚本已修改，是否保存？"),
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
        if (answer == QMessageBox::Discard || (answer == QMessageBox::Save && page->save()))
            return false;
        event->ignore();
        return true;
    }

private:
    ScriptPage *page;
};
} // namespace

void loadScriptTable(QTableWidget *table, const QString &text)
{
    layOutTable(table,
        { QStringLiteral("别名"), QStringLiteral("类型"), QStringLiteral("CMD/URL"),
            QStringLiteral("成功字符"), QStringLiteral("位置") },
        { 200, 80, 300, 200, 120 });
    const QList<ScriptRecord> records = scriptRecordsOf(text);
    // One empty spare row below the last record.
    table->setRowCount(qMax(table->rowCount(), records.size() + 1));
    for (int row = 0; row < records.size(); ++row) {
        const ScriptRecord &record = records.at(row);
        for (int column = 0; column < ScriptColumns; ++column)
            table->setItem(row, column, new QTableWidgetItem(record.*columnField[column]));
    }
}

QString scriptTableText(QTableWidget *table)
{
    return scriptTextOf(tableRecords(table));
}

ScriptPage::ScriptPage(QWidget *window, QTableWidget *table)
    : window(window)
    , table(table)
{
    new SaveBeforeClosing(window, this);
}

void ScriptPage::open(const QString &path)
{
    const qint64 lines = scriptFileLines(path);
    const ScriptFile file = lines > kWindowScriptMaxLines ? ScriptFile() : readScriptFile(path);
    loadScriptTable(table, file.text);
    savedContent = tableContent(table);
    fileNotLoaded = file.state == ScriptFile::Unreadable || lines > kWindowScriptMaxLines;
    if (lines > kWindowScriptMaxLines)
        MessageBox::openWarningWhenShown(window, QStringLiteral("警告"),
            QStringLiteral("检测脚本有 %1 行，超过窗口可载入的 %2 行；请用 --check 运行。")
                .arg(lines)
                .arg(kWindowScriptMaxLines));
    else if (fileNotLoaded)
        MessageBox::openWarningWhenShown(window, QStringLiteral("警告"),
            QStringLiteral("无法读取检测脚本：%1").arg(QDir::toNativeSeparators(path)));
}

QList<ScriptRecord> ScriptPage::records() const
{
    return tableRecords(table);
}

QList<PanelDevice> ScriptPage::devices() const
{
    QList<PanelDevice> devices;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QString location = tableCellText(table, row, ScriptLocation);
        if (!location.isEmpty())
            devices.append({ row, location, tableCellText(table, row, ScriptAlias),
                table->item(row, ScriptAlias) != nullptr });
    }
    return devices;
}

bool ScriptPage::save()
{
    commitEdit();
    // Stored, a "|" would split its field and shift every later one on the next load.
    const ScriptCell bar = unstorableCell(table);
    if (bar.row >= 0) {
        MessageBox::warning(window, QStringLiteral("警告"),
            QStringLiteral("第%1行“%2”含有“|”，无法保存！")
                .arg(bar.row + 1)
                .arg(tableHeaderText(table, bar.column)));
        return false;
    }
    if (fileNotLoaded
        && MessageBox::question(window, QStringLiteral("提示信息"),
               QStringLiteral("检测脚本未能读取，保存将覆盖它，是否继续？"),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            != QMessageBox::Yes)
        return false;
    const QString text = scriptTableText(table);
    if (!writeTextFile(scriptFilePath(), text)) {
        MessageBox::warning(window, QStringLiteral("警告"), QStringLiteral("文件保存失败！"));
        return false;
    }
    savedContent = tableContent(table);
    fileNotLoaded = false;
    const QStringList told = QStringList(QStringLiteral("文件保存成功！")) + rowsLeftOut(table);
    MessageBox::information(window, QStringLiteral("提示信息"), told.join(QLatin1Char('\n')));
    return true;
}

void ScriptPage::insertLine()
{
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

void ScriptPage::deleteLine()
{
    const int current = table->currentRow();
    if (current >= 0)
        table->removeRow(current);
}

void ScriptPage::commitEdit()
{
    if (table)
        commitCellEditor(table);
}

bool ScriptPage::hasUnsavedEdits() const
{
    return table && tableContent(table) != savedContent;
}
