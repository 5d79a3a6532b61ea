#ifndef GUI_BUTTONOFF_H
#define GUI_BUTTONOFF_H

#include <QPointer>
#include <QWidget>

// Switches a button off while its action is under way (a run waiting in its loop, a
// command or a fetch going on without blocking), so a second click cannot start it again;
// restores the former state afterwards.
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
