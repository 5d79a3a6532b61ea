#include "appdir.h"
#include "fromlanrik.h"
#include "messagebox.h"
#include "platform.h"
#include "testrunner.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

// Hands the printed file to the desktop: on Linux through a fake xdg-open alone on PATH.
class TstPrintViewer : public QObject
{
    Q_OBJECT

public slots:
    void open(const QUrl &url) { desktopOpened << url.toLocalFile(); }

private slots:
    void viewerMissing_data();
    void viewerMissing();

private:
    QStringList desktopOpened;
};

void TstPrintViewer::viewerMissing_data()
{
    QTest::addColumn<QString>("kernel");
    QTest::addColumn<int>("exitCode"); // -1: no xdg-open on PATH
    QTest::addColumn<bool>("told");
    QTest::newRow("viewer opens it") << "linux" << 0 << false;
    QTest::newRow("no viewer") << "linux" << 3 << true;
    QTest::newRow("no xdg-open") << "linux" << -1 << true;
    QTest::newRow("Windows: the desktop opens it") << "winnt" << 1 << false;
}

void TstPrintViewer::viewerMissing()
{
    QFETCH(QString, kernel);
    QFETCH(int, exitCode);
    QFETCH(bool, told);
    QTemporaryDir dir, tools;
    const QString pdf = dir.filePath("tmpPDF.pdf");
    const QString ran = dir.filePath("opener-ran");
    if (exitCode >= 0) {
        QFile opener(tools.filePath("xdg-open"));
        QVERIFY(opener.open(QIODevice::WriteOnly));
        // Like xdg-open without a desktop, it returns only once the viewer is closed.
        opener.write(
            QStringLiteral("#!/bin/sh\necho \"$1\" > '%1'\ni=0\n"
                           "while [ ! -e '%2' ] && [ $i -lt 200 ]; do /bin/sleep 0.05; i=$((i+1)); done\n"
                           "exit %3\n")
                .arg(ran, dir.filePath("viewer-closed"))
                .arg(exitCode)
                .toUtf8());
        opener.close();
        opener.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    }
    setAppDirOverride(dir.path());
    MessageBox::startRecording();
    QDesktopServices::setUrlHandler("file", this, "open");
    desktopOpened.clear();
    fromlanrik window;
    setKernelTypeOverride(kernel);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", tools.path().toLocal8Bit());
    window.findChild<QPushButton *>("cmdScripPrint")->click();
    qputenv("PATH", path);
    setKernelTypeOverride(QString());
    QDesktopServices::unsetUrlHandler("file");
    setAppDirOverride(QString());

    // The window did not wait for the opener, which deletes itself once it has ended.
    const QList<QProcess *> openers = window.findChildren<QProcess *>();
    const bool printedWhileOpen = openers.size() == 1 && openers.at(0)->state() != QProcess::NotRunning;
    QFile(dir.filePath("viewer-closed")).open(QIODevice::WriteOnly);
    QTRY_VERIFY(window.findChildren<QProcess *>().isEmpty());
    const QList<MessageBox::Shown> boxes = MessageBox::takeRecorded();
    MessageBox::stopRecording();
    QCOMPARE(boxes.size(), told ? 1 : 0);
    if (told) {
        QCOMPARE(boxes.at(0).title, QStringLiteral("提示信息"));
        QVERIFY2(boxes.at(0).text.contains(QDir::toNativeSeparators(pdf)), qPrintable(boxes.at(0).text));
        QCOMPARE(boxes.at(0).parent, &window);
    }
    const bool onLinux = kernel == "linux";
    QVERIFY(printedWhileOpen || !onLinux || exitCode < 0);
    QFile handed(ran);
    QCOMPARE(handed.open(QIODevice::ReadOnly) ? QString::fromUtf8(handed.readAll()).trimmed() : QString(),
        onLinux && exitCode >= 0 ? pdf : QString());
    QCOMPARE(desktopOpened, onLinux ? QStringList() : QStringList { pdf });
}

NETCHECK_TEST(TstPrintViewer)
#include "tst_printviewer.moc"
