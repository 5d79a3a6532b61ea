#include "app/gui/messagebox.h"

#include <QAbstractButton>
#include <QEvent>
#include <QTimer>

#include <utility>

namespace
{
bool recording = false;
QList<MessageBox::Shown> recorded;
QMessageBox::StandardButton nextAnswer = QMessageBox::NoButton;

QMessageBox::StandardButton show(
    QMessageBox::Icon icon, QWidget *parent, const QString &title, const QString &text)
{
    if (recording) {
        recorded.append({ icon, title, text, parent });
        return QMessageBox::Ok;
    }
    if (icon == QMessageBox::Warning)
        return QMessageBox::warning(parent, title, text, QMessageBox::Ok);
    return QMessageBox::information(parent, title, text, QMessageBox::Ok);
}
} // namespace

namespace MessageBox
{
QMessageBox::StandardButton information(QWidget *parent, const QString &title, const QString &text)
{
    return show(QMessageBox::Information, parent, title, text);
}

QMessageBox::StandardButton warning(QWidget *parent, const QString &title, const QString &text)
{
    return show(QMessageBox::Warning, parent, title, text);
}

QMessageBox *openWarning(QWidget *parent, const QString &title, const QString &text)
{
    if (recording) {
        recorded.append({ QMessageBox::Warning, title, text, parent });
        return nullptr;
    }
    auto *box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    return box;
}

void openWarningWhenShown(QWidget *window, const QString &title, const QString &text)
{
    // Posted from the first Show, so the box opens over the window, from the event loop.
    class WhenShown : public QObject
    {
    public:
        WhenShown(QWidget *window, const QString &title, const QString &text)
            : QObject(window)
            , title(title)
            , text(text)
        {
            window->installEventFilter(this);
        }
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (watched == parent() && event->type() == QEvent::Show) {
                auto *window = static_cast<QWidget *>(watched);
                QTimer::singleShot(
                    0, window, [window, title = title, text = text] { openWarning(window, title, text); });
                deleteLater();
                window->removeEventFilter(this);
            }
            return false;
        }

    private:
        QString title;
        QString text;
    };
    if (window->isVisible())
        QTimer::singleShot(0, window, [window, title, text] { openWarning(window, title, text); });
    else
        new WhenShown(window, title, text);
}

QMessageBox::StandardButton question(QWidget *parent, const QString &title, const QString &text,
    QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    if (recording) {
        recorded.append({ QMessageBox::Question, title, text, parent });
        const QMessageBox::StandardButton answer = std::exchange(nextAnswer, QMessageBox::NoButton);
        return answer == QMessageBox::NoButton ? defaultButton : answer;
    }
    QMessageBox box(QMessageBox::Question, title, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    // No translation is loaded: the standard buttons would read in English.
    const QPair<QMessageBox::StandardButton, QString> labels[]
        = { { QMessageBox::Save, QStringLiteral("保存") }, { QMessageBox::Discard, QStringLiteral("不保存") },
              { QMessageBox::Cancel, QStringLiteral("取消") } };
    for (const auto &label : labels)
        if (QAbstractButton *button = box.button(label.first))
            button->setText(label.second);
    return QMessageBox::StandardButton(box.exec());
}

void setNextAnswer(QMessageBox::StandardButton answer)
{
    nextAnswer = answer;
}

void startRecording()
{
    recording = true;
    recorded.clear();
    nextAnswer = QMessageBox::NoButton;
}

void stopRecording()
{
    recording = false;
}

QList<Shown> takeRecorded()
{
    QList<Shown> out;
    out.swap(recorded);
    return out;
}
} // namespace MessageBox
