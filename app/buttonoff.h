#ifndef BUTTONOFF_H
#define BUTTONOFF_H

#include <QPointer>
#include <QWidget>

// Switches a button off while a long action waits in a local event loop, so a second
// click cannot start the action inside itself; restores its former state afterwards.
class ButtonOff
{
public:
    explicit ButtonOff(QWidget *button)
        : button(button)
        , wasEnabled(button->isEnabled())
    {
        button->setEnabled(false);
    }
    ~ButtonOff()
    {
        if (button)
            button->setEnabled(wasEnabled);
    }
    ButtonOff(const ButtonOff &) = delete;
    ButtonOff &operator=(const ButtonOff &) = delete;

private:
    QPointer<QWidget> button;
    bool wasEnabled;
};

#endif
