#include "fromlanrik.h"
#include "presentation.h"
#include "ui_fromlanrik.h"

void copyTableToClipboard(QTableWidget *) {}

QString fromlanrik::ReplaceIimg(QString str)
{
    Q_UNUSED(str);
    return QString();
}
void fromlanrik::setLED(QLabel *label, int color, int size)
{
    Q_UNUSED(label);
    Q_UNUSED(color);
    Q_UNUSED(size);
}
void fromlanrik::RefPIcture() {}
void fromlanrik::on_cmdScripCopy_clicked() {}
void fromlanrik::on_cmdScripShow_clicked() {}
