#include "checkscript.h"
#include "fromlanrik.h"
#include "ui_fromlanrik.h"

QString scriptTableText(QTableWidget *) { return QString(); }
void loadScriptTable(QTableWidget *, const QString &) {}
bool writeTextFile(const QString &, const QString &) { return false; }

void fromlanrik::on_cmdSet_SaveScript_clicked() {}
void fromlanrik::on_cmdScriptInsLine_clicked() {}
void fromlanrik::on_cmdScriptDelLine_clicked() {}
