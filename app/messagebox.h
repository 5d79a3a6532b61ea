#ifndef MESSAGEBOX_H
#define MESSAGEBOX_H

#include <QMessageBox>
#include <QString>

// Every message box of the program goes through here, so tests can answer it
// instead of a person: with a recorder installed no box is shown, the call is
// recorded and answered with Ok at once.
namespace MessageBox
{
struct Shown
{
    QMessageBox::Icon icon;
    QString title;
    QString text;
    QWidget *parent;
};

QMessageBox::StandardButton information(QWidget *parent, const QString &title, const QString &text);
QMessageBox::StandardButton warning(QWidget *parent, const QString &title, const QString &text);
// A warning that does not wait for its answer: shown, left open, deleted once closed.
// Null when recording.
QMessageBox *openWarning(QWidget *parent, const QString &title, const QString &text);

// Test seam.
void startRecording();
void stopRecording();
QList<Shown> takeRecorded();
} // namespace MessageBox

#endif
