#include "unsavedscript.h"
#include "checkscript.h"
#include "messagebox.h"

#include <QEvent>
#include <QPointer>
#include <QTableWidget>

namespace
{
const char *const kSavedScript = "savedScriptText";

// An event filter, not an override: the window class adds nothing of its own. A batch run
// ends only when the window is really hidden, so a question kept open or 取消 leaves it going.
class SaveBeforeClosing : public QObject
{
public:
    SaveBeforeClosing(QWidget *window, QTableWidget *table)
        : QObject(window)
        , table(table)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Close || watched != parent() || !table || !scriptHasUnsavedEdits(table))
            return false;
        auto *window = static_cast<QWidget *>(watched);
        const QMessageBox::StandardButton answer = MessageBox::question(window, QStringLiteral("提示信息"),
            QStringLiteral("脚本已修改，是否保存？"),
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
        if (answer == QMessageBox::Discard || (answer == QMessageBox::Save && saveScriptTable(window, table)))
            return false;
        event->ignore();
        return true;
    }

private:
    QPointer<QTableWidget> table;
};
} // namespace

void markScriptSaved(QTableWidget *table)
{
    table->setProperty(kSavedScript, scriptTableText(table));
}

bool scriptHasUnsavedEdits(QTableWidget *table)
{
    return scriptTableText(table) != table->property(kSavedScript).toString();
}

void askToSaveBeforeClosing(QWidget *window, QTableWidget *scriptTable)
{
    new SaveBeforeClosing(window, scriptTable);
}
