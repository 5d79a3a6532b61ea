#include "fromlanrik.h"
#include "ui_fromlanrik.h"

void fromlanrik::setNetworkGIF(QString GifUrl)
{
    Q_UNUSED(GifUrl);
}
void fromlanrik::on_cmdUrl_clicked() {}
