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

// The window holds scripts up to this many lines: beyond it, opening, running and showing them
// would hold the window up for seconds. Longer ones run without a window.
constexpr int kWindowScriptMaxLines = 10000;

// The page "设置批量检测": the editor table of the check script, its save, insert and delete
// buttons, and the question on closing over unsaved edits.
class ScriptPage
{
public:
    ScriptPage(QWidget *window, QTableWidget *table);

    // Fills the table from the script file. A file that exists but could not be read, or one
    // too long for the window (the table then stays empty), is said once the window is shown,
    // and is never overwritten without asking.
    void open(const QString &path);
    // A record per row of the table as it is now, saved or not.
    QList<ScriptRecord> records() const;
    QList<CheckLine> checkLines() const { return checkLinesOf(records()); }
    // The rows the picture panel shows: those with a location.
    QList<PanelDevice> devices() const;

    // Saves the table to the script file and tells the user how it went, naming every row left
    // out for want of a name; true when written.
    bool save();
    void insertLine();
    void deleteLine();
    // A cell still being edited keeps what has been typed, as Enter would.
    void commitEdit();
    // Whether the table holds anything the file does not, rows without a name included.
    bool hasUnsavedEdits() const;

private:
    QWidget *window;
    QPointer<QTableWidget> table;
    QString savedContent;
    bool fileNotLoaded = false; // a file is there that the table does not show
};

#endif
