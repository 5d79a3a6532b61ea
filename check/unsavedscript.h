#ifndef UNSAVEDSCRIPT_H
#define UNSAVEDSCRIPT_H

class QTableWidget;
class QWidget;

// The script text as last loaded or saved is kept with the editor table.
void markScriptSaved(QTableWidget *table);
// True when the table's script text differs from the one last loaded or saved.
bool scriptHasUnsavedEdits(QTableWidget *table);

// Closing the window over unsaved edits asks 保存 / 不保存 / 取消 first. The window closes
// after 不保存 or a save that succeeded; 取消 or a failed save keep it open.
void askToSaveBeforeClosing(QWidget *window, QTableWidget *scriptTable);

#endif
