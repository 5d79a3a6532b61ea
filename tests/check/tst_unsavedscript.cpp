#include "batchwindow.h"
#include "testrunner.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

namespace
{
const QByteArray kOnDisk = "CMD|true|旧|  |A\n";

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

// The boxes of one kind among those shown, as "title: text".
QStringList boxesOf(const QList<MessageBox::Shown> &shown, QMessageBox::Icon icon)
{
    QStringList lines;
    for (const MessageBox::Shown &box : shown)
        if (box.icon == icon)
            lines << box.title + ": " + box.text;
    return lines;
}

// The test program must not quit when its window closes.
struct KeepRunning
{
    KeepRunning() { qApp->setQuitOnLastWindowClosed(false); }
    ~KeepRunning() { qApp->setQuitOnLastWindowClosed(true); }
};
} // namespace

class TstUnsavedScript : public QObject
{
    Q_OBJECT

private slots:
    void closing_data();
    void closing();
    void questionBeforeTheRunEnds_data();
    void questionBeforeTheRunEnds();
};

void TstUnsavedScript::closing_data()
{
    QTest::addColumn<QString>("edit"); // typed over the loaded alias; empty: no edit
    QTest::addColumn<bool>("savedByButton");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("writable");
    QTest::addColumn<bool>("asks");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("written");
    const int save = QMessageBox::Save, discard = QMessageBox::Discard, cancel = QMessageBox::Cancel;
    QTest::newRow("as loaded") << "" << false << cancel << true << false << true << false;
    QTest::newRow("only blanks changed") << "  旧 " << false << cancel << true << false << true << false;
    QTest::newRow("saved by the button") << "新" << true << cancel << true << false << true << true;
    QTest::newRow("保存") << "新" << false << save << true << true << true << true;
    QTest::newRow("不保存") << "新" << false << discard << true << true << true << false;
    QTest::newRow("取消") << "新" << false << cancel << true << true << false << false;
    QTest::newRow("保存 fails") << "新" << false << save << false << true << false << false;
}

void TstUnsavedScript::closing()
{
    QFETCH(QString, edit);
    QFETCH(bool, savedByButton);
    QFETCH(int, answer);
    QFETCH(bool, writable);
    QFETCH(bool, asks);
    QFETCH(bool, closes);
    QFETCH(bool, written);
    QTemporaryDir dir;
    const QString script = dir.filePath("chkScript.txt");
    QFile file(script);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(kOnDisk) == kOnDisk.size());
    file.close();
    setAppDirOverride(dir.path());
    MessageBox::startRecording();
    fromlanrik window;
    window.show();
    auto *table = window.findChild<QTableWidget *>("tableScript");
    if (!edit.isEmpty())
        table->item(0, 0)->setText(edit);
    if (savedByButton)
        window.findChild<QPushButton *>("cmdSet_SaveScript")->click();
    if (!writable) // a folder in the file's place cannot be replaced
        QVERIFY(QFile::remove(script) && QDir(dir.path()).mkdir("chkScript.txt"));
    MessageBox::takeRecorded();

    const KeepRunning keepRunning;
    MessageBox::setNextAnswer(QMessageBox::StandardButton(answer));
    window.close();
    const QList<MessageBox::Shown> shown = MessageBox::takeRecorded();
    QCOMPARE(boxesOf(shown, QMessageBox::Question),
        asks ? QStringList { "提示信息: 脚本已修改，是否保存？" } : QStringList());
    QCOMPARE(window.isVisible(), !closes);
    if (writable)
        QCOMPARE(fileBytes(script).contains("|新|"), written);
    else
        QCOMPARE(boxesOf(shown, QMessageBox::Warning), QStringList { "警告: 文件保存失败！" });
    MessageBox::stopRecording();
    setAppDirOverride(QString());
}

void TstUnsavedScript::questionBeforeTheRunEnds_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("logged");
    QTest::newRow("取消: the run goes on") << int(QMessageBox::Cancel) << 3;
    QTest::newRow("不保存: the run ends") << int(QMessageBox::Discard) << 1;
}

void TstUnsavedScript::questionBeforeTheRunEnds()
{
    QFETCH(int, answer);
    QFETCH(int, logged);
    BatchWindow w;
    w.setScript({ { "首", "CMD", "true", "", "A" }, { "慢", "CMD", "sleep 1", "", "A" },
        { "后", "CMD", "true", "", "A" } });
    const KeepRunning keepRunning;
    MessageBox::setNextAnswer(QMessageBox::StandardButton(answer));
    bool askedDuringRun = false;
    QTimer::singleShot(300, w.window, [&] {
        w.window->close();
        askedDuringRun
            = !w.start->isEnabled() && boxesOf(MessageBox::takeRecorded(), QMessageBox::Question).size() == 1;
    });
    w.start->click();
    QVERIFY(askedDuringRun);
    QCOMPARE(w.logLines().size(), logged);
    QCOMPARE(w.window->isVisible(), logged == 3);
}

NETCHECK_TEST(TstUnsavedScript)
#include "tst_unsavedscript.moc"
