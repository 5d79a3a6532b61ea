#include "fromlanrik.h"
#include "pdfreport.h"
#include "ui_fromlanrik.h"

bool printTableToPdf(QTableWidget *, const QString &, const QString &, const QString &,
                     const QString &, const QString &)
{
    return true;
}

void fromlanrik::on_cmdScripPrint_clicked() {}
