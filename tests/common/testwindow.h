#ifndef TESTWINDOW_H
#define TESTWINDOW_H

#include "app/gui/fromlanrik.h"
#include "app/gui/messagebox.h"
#include "app/gui/speech.h"
#include "app/gui/startpage.h"
#include "check/appdir.h"

#include <QAbstractButton>
#include <QTemporaryDir>
#include <memory>

// The real window in a fresh application folder; message boxes are answered and recorded,
// speech is recorded instead of spoken. Start-up shows the pages shipped in the program,
// never the build-time addresses, which a deployer's build may point at a real server.
// open() can wait for files or addresses to be set up first.
struct TestWindow
{
    explicit TestWindow(bool openNow = true)
    {
        setAppDirOverride(dir.path());
        setStartupAddresses({ "qrc:/startup/banner.gif", "qrc:/startup/about.html", "qrc:/startup/ad.html" });
        MessageBox::startRecording();
        setSpeechObserver([this](const QString &text) { spoken << text; });
        if (openNow)
            open();
    }
    ~TestWindow()
    {
        window.reset();
        setSpeechObserver(nullptr);
        MessageBox::stopRecording();
        setStartupAddresses(builtInStartupAddresses());
        setAppDirOverride(QString());
    }
    void open() { (window = std::make_unique<fromlanrik>())->show(); }
    template<class T = QWidget>
    T *find(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    void click(const char *button) { find<QAbstractButton>(button)->click(); }
    void call(const char *slot) { QMetaObject::invokeMethod(window.get(), slot); }
    QString path(const QString &name) const { return dir.filePath(name); }
    // "<title>: <text>" of every message box since the last call.
    QStringList boxes() const
    {
        QStringList lines;
        for (const MessageBox::Shown &box : MessageBox::takeRecorded())
            lines << box.title + ": " + box.text;
        return lines;
    }

    QTemporaryDir dir;
    QStringList spoken;
    std::unique_ptr<fromlanrik> window;
};

#endif
