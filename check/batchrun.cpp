#include "batchrun.h"
#include "fromlanrik.h"
#include "ui_fromlanrik.h"

bool appendTextFile(const QString &, const QString &) { return false; }
void speakText(const QString &) {}

void fromlanrik::ScriptStart() {}
void fromlanrik::on_cmdScriptStart_clicked() {}
