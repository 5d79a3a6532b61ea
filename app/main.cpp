#include "fromlanrik.h"
#include "windowplacement.h"

#include <QApplication>
#include <QDesktopWidget>

int main(int argc, char *argv[])
{
    QApplication a(argc, argv);
    fromlanrik w;
    w.move(centredPosition(QApplication::desktop()->geometry().size(), w.geometry().size()));
    w.show();
    return a.exec();
}
