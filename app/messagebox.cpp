#include "messagebox.h"

namespace
{
bool recording = false;
QList<MessageBox::Shown> recorded;

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

void startRecording()
{
    recording = true;
    recorded.clear();
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
