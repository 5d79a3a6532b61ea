#ifndef GUI_SCRIPTPAGE_H
#define GUI_SCRIPTPAGE_H

#include "app/gui/picturepanel.h"
#include "check/script.h"

#include <QList>
#include <QPointer>
#include <QString>

class QTableWidget;
class QWidget;

// Editor table columns. The file stores the same fields in another order.
enum ScriptColumn { ScriptAlias = 0, ScriptType, ScriptTarget, ScriptSuccess, ScriptLocation, ScriptColumns };

// Lays out the editor table (five columns) and fills it from script text.
void loadScriptTable(QTableWidget *table, const QString &text);
// Script text from the editor table: one "type|target|alias|success|location\n" record per row
// whose trimmed alias is not empty; a line break in a cell becomes a blank.
QString scriptTableText(QTableWidget *table);

// The page "设置批量检测": the editor table of the check script, its save, insert and delete
// buttons, and the question on closing over unsaved edits.
class ScriptPage
{
public:
    ScriptPage(QWidget *window, QTableWidget *table);

    // Fills the table from the script file as read. A file that exists but could not be read is
    // said once the window is shown, and is never overwritten without asking.
    void load(const ScriptFile &file, const QString &path);
    // A record per row of the table as it is now, saved or not.
    QList<ScriptRecord> records() const;
    QList<CheckLine> checkLines() const { return checkLinesOf(records()); }
    // The rows the picture panel shows: those with a location.
    QList<PanelDevice> devices() const;

    // Saves the table to the script file and tells the user how it went; true when written.
    bool save();
    void insertLine();
    void deleteLine();
    bool hasUnsavedEdits() const;

private:
    QWidget *window;
    QPointer<QTableWidget> table;
    QString savedText;
    bool unreadFileInPlace = false;
};

#endif
