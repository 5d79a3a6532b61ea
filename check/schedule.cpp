#include "fromlanrik.h"
#include "ui_fromlanrik.h"

void fromlanrik::AutoKeep() {}
void fromlanrik::DJS() {}
void fromlanrik::on_cmbKeep_currentIndexChanged(int index)
{
    Q_UNUSED(index);
}
