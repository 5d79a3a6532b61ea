#include "messagebox.h"
#include "pdfreport.h"
#include "testrunner.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

class TstPrintViewer : public QObject
{
    Q_OBJECT

private slots:
    void viewerMissing_data();
    void viewerMissing();
};

void TstPrintViewer::viewerMissing_data()
{
    QTest::addColumn<QString>("exit"); // of the fake xdg-open; empty: none on PATH
    QTest::newRow("viewer opens it") << "exit 0";
    QTest::newRow("no viewer") << "exit 3";
    QTest::newRow("no xdg-open") << "";
}

// A fake xdg-open alone on PATH returns, as xdg-open without a desktop does, only once
// the viewer is closed.
void TstPrintViewer::viewerMissing()
{
    QFETCH(QString, exit);
    QTemporaryDir tools;
    QFile opener(tools.filePath("xdg-open"));
    if (!exit.isEmpty() && opener.open(QIODevice::WriteOnly))
        opener.write("#!/bin/sh\ni=0\nwhile [ ! -e \"$0.closed\" ] && [ $i -lt 400 ]; do /bin/sleep 0.05; "
                     "i=$((i+1)); done\n"
            + exit.toUtf8());
    opener.close();
    opener.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    MessageBox::startRecording();
    QWidget window;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", tools.path().toLocal8Bit());
    openInViewer(&window, "/srv/报告/tmpPDF.pdf");
    qputenv("PATH", path);
    const QList<QProcess *> openers = window.findChildren<QProcess *>();
    QVERIFY(exit.isEmpty() || (openers.size() == 1 && openers.at(0)->state() != QProcess::NotRunning));
    QFile(opener.fileName() + ".closed").open(QIODevice::WriteOnly);
    QTRY_VERIFY(window.findChildren<QProcess *>().isEmpty()); // deleted once ended
    const QList<MessageBox::Shown> boxes = MessageBox::takeRecorded();
    MessageBox::stopRecording();
    QCOMPARE(boxes.size(), exit == "exit 0" ? 0 : 1);
    QVERIFY(boxes.isEmpty()
        || (boxes.at(0).title == "提示信息" && boxes.at(0).text.endsWith("/srv/报告/tmpPDF.pdf")
            && boxes.at(0).parent == &window));
}

NETCHECK_TEST(TstPrintViewer)
#include "tst_printviewer.moc"
