#ifndef GUI_COMMANDPAGE_H
#define GUI_COMMANDPAGE_H

class QWidget;
class Ui_fromlanrik;

// The page "CMD命令行": runs the typed lines one after another without blocking and shows their
// output under the separator lines; the button stays off meanwhile.
class CommandPage
{
public:
    CommandPage(QWidget *window, Ui_fromlanrik *ui);
    void run();

private:
    QWidget *window;
    Ui_fromlanrik *ui;
};

#endif
