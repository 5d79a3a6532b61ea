#include "recordedboxes.h"
#include "messagebox.h"

#include <QWidget>

QStringList takeRecordedBoxes()
{
    QStringList lines;
    for (const MessageBox::Shown &box : MessageBox::takeRecorded()) {
        const QString kind
            = box.icon == QMessageBox::Warning ? QStringLiteral("warning") : QStringLiteral("information");
        const QString parent = box.parent ? box.parent->objectName() : QStringLiteral("-");
        lines << QStringLiteral("%1 %2 %3: %4").arg(kind, parent, box.title, box.text);
    }
    return lines;
}
