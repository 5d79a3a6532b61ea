#include "fromlanrik.h"
#include "ui_fromlanrik.h"

void fromlanrik::on_cmdScanIP_clicked() {}
void fromlanrik::on_cmdClearTree_clicked() {}
