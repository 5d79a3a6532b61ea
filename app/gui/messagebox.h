#ifndef GUI_MESSAGEBOX_H
#define GUI_MESSAGEBOX_H

#include <QMessageBox>
#include <QString>

// Every message box of the program goes through here, so tests can answer it
// instead of a person: with a recorder installed no box is shown, the call is
// recorded and answered at once (Ok, or a question's answer set beforehand).
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
// The same warning, once the window is shown: never while it starts.
void openWarningWhenShown(QWidget *window, const QString &title, const QString &text);
// Asks with the buttons given, labelled in Chinese; the answer is the button pressed (the
// escape button when the box is closed).
QMessageBox::StandardButton question(QWidget *parent, const QString &title, const QString &text,
    QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton);

// Test seam.
void startRecording();
void stopRecording();
QList<Shown> takeRecorded();
// While recording, the next question is answered with this; without one, with its default button.
void setNextAnswer(QMessageBox::StandardButton answer);
} // namespace MessageBox

#endif
