#include "app/gui/keyboard.h"
#include "ui_fromlanrik.h"

#include <QKeyEvent>

namespace
{
// A multi-line edit takes plain Enter for a line break; Ctrl+Enter presses the button.
class CtrlEnterClicks : public QObject
{
public:
    CtrlEnterClicks(QWidget *edit, QAbstractButton *button)
        : QObject(edit)
        , button(button)
    {
        edit->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!enter || (key->modifiers() & ~Qt::KeypadModifier) != Qt::ControlModifier)
            return false;
        button->click();
        return true;
    }

private:
    QAbstractButton *button;
};
} // namespace

void bindKeys(Ui_fromlanrik *ui)
{
    QObject::connect(ui->txtUrl, &QLineEdit::returnPressed, ui->cmdUrl, &QAbstractButton::click);
    QObject::connect(ui->txtSIPadd, &QLineEdit::returnPressed, ui->cmdScanIP, &QAbstractButton::click);
    QObject::connect(ui->txtEIPadd, &QLineEdit::returnPressed, ui->cmdScanIP, &QAbstractButton::click);
    new CtrlEnterClicks(ui->txtCMD, ui->cmdCMD);
    ui->tableWidget->setTabKeyNavigation(false);
    ui->tableScript->setTabKeyNavigation(false);
}
