#include "httptestserver.h"
#include "testwindow.h"

#include <QtTest>
#include <QtWidgets>

// An inherited event handler belongs to a base class; an override would make it the window's own.
template<class C, class R, class... A>
C ownerOf(R (C::*)(A...));
template<class... M>
constexpr bool noneOverridden(M...)
{
    return !(std::is_same_v<decltype(ownerOf(M())), fromlanrik> || ...);
}
struct HandlerCheck : fromlanrik
{
    static_assert(noneOverridden(&HandlerCheck::event, &HandlerCheck::closeEvent, &HandlerCheck::showEvent,
                      &HandlerCheck::timerEvent),
        "the window overrides an event handler");
};

class TstApp : public QObject
{
    Q_OBJECT

private slots:
    // Callers reach the twenty slots by index: order, signatures and parameter names are
    // fixed, and the class adds nothing else to its meta-object.
    void slotTable()
    {
        const QString expected
            = "QString ReplaceIimg(QString) str|Start()|setNetworkGIF(QString) GifUrl|"
              "setLED(QLabel*,int,int) label,color,size|ScriptStart()|AutoKeep()|DJS()|"
              "RefPIcture()|on_cmdScanIP_clicked()|on_cmdScriptStart_clicked()|"
              "on_cmdCMD_clicked()|on_cmdUrl_clicked()|on_cmdSet_SaveScript_clicked()|"
              "on_cmdScriptInsLine_clicked()|on_cmdScriptDelLine_clicked()|"
              "on_cmdScripCopy_clicked()|on_cmdScripPrint_clicked()|on_cmdClearTree_clicked()|"
              "on_cmbKeep_currentIndexChanged(int) index|on_cmdScripShow_clicked()";
        const QMetaObject &mo = fromlanrik::staticMetaObject;
        QStringList seen;
        for (int i = mo.methodOffset(); i < mo.methodCount(); ++i) {
            const QMetaMethod m = mo.method(i);
            QVERIFY(m.methodType() == QMetaMethod::Slot && m.access() == QMetaMethod::Private);
            seen << QString::fromLatin1(QByteArray(m.typeName()).replace("void", "") + ' '
                + m.methodSignature() + ' ' + m.parameterNames().join(','))
                        .trimmed();
        }
        QCOMPARE(seen.join('|'), expected);
        QCOMPARE(mo.propertyCount() + mo.enumeratorCount(), mo.propertyOffset() + mo.enumeratorOffset());
    }

    // An earlier start left a script: a byte-order mark, blank runs, more than five fields, a
    // line without alias, one without a bar (no record), no final line break. The pages come from a
    // server, the banner only once; an unanswered page costs only its bound.
    void start()
    {
        QFile shipped(":/startup/banner.gif");
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        HttpTestServer server;
        server.serve("/logo.gif", shipped.readAll());
        server.serve("/about", "<p>关于页</p>");
        server.route("/ad", { 200, {}, {}, HttpTestReply::NeverAnswer });
        TestWindow w(false);
        QFile script(w.path("chkScript.txt"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("\xEF\xBB\xBF cmd |ping  127.0.0.1\t\ta | 网关\u3000甲 |ok| "
                     "一楼|x\r\njunk\r\na|b\r\nURL|u|网站||");
        script.close();
        setStartupAddresses({ server.url("/logo.gif"), server.url("/about"), server.url("/ad"), 300 });
        QElapsedTimer clock;
        clock.start();
        w.open();
        QVERIFY2(clock.elapsed() < 10000, "a start-up fetch outlived its bound");
        w.open(); // again, with the banner kept
        QCOMPARE(server.requestCount("/logo.gif"), 1);
        QCOMPARE(w.find<QLabel>("labGif")->movie()->state(), QMovie::Running);
        // The about page names the folder of the program's files; the bottom bar names no made-up contact.
        QCOMPARE(w.find<QTextEdit>("txtAbout")->toPlainText() + w.find<QLabel>("labelAD")->text()
                + w.find<QLabel>("labelWeb")->text(),
            "关于页\n文件目录：" + w.dir.path());
        auto *t = w.find<QTableWidget>("tableScript");
        QCOMPARE(QStringList({ t->item(0, 0)->text(), t->item(0, 1)->text(), t->item(0, 2)->text(),
                     t->item(0, 3)->text(), t->item(0, 4)->text(), t->item(1, 1)->text(),
                     t->item(2, 0)->text(), QString::number(t->rowCount()) }),
            QStringList({ "网关 甲", "cmd", "ping 127.0.0.1 a", "ok", "一楼", "a", "网站", "4" }));
        QVERIFY(!t->item(1, 0) && QFileInfo(w.path("log")).isDir());
    }

    // A portable build keeps its files beside the program; an installed one in the user's data
    // folder, made for a fresh user who has no share folder yet.
    void dataFolder()
    {
        QTemporaryDir home;
        qputenv("XDG_DATA_HOME", home.filePath("share").toLocal8Bit());
        QCoreApplication::setApplicationName("netcheck");
        QCOMPARE(::dataFolder(true), home.filePath("share/netcheck"));
        qunsetenv("XDG_DATA_HOME");
        QVERIFY(QFileInfo(home.filePath("share/netcheck")).isDir());
        QCOMPARE(::dataFolder(false), QCoreApplication::applicationDirPath());
    }

    // Without a window and without a display, in a fresh folder: the script's lines in order,
    // exit 1 for the failed one, the day's log records and the printed report; a scan of
    // loopback; a bad address.
    void withoutWindow()
    {
        HttpTestServer server;
        server.serve("/ok", "<p>服务正常</p>");
        QTemporaryDir dir;
        QVERIFY(QFile::copy(NETCHECK_BIN, dir.filePath("netcheck")));
        QFile script(dir.filePath("chkScript.txt"));
        QVERIFY(script.open(QIODevice::WriteOnly)
            && script.write("CMD|echo up|通过|up|机房\nCMD|echo down|失败|up|机房\nURL|"
                + server.url("/ok").toUtf8() + "|网页|服务正常|二楼\n"));
        script.close();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("DISPLAY");
        environment.remove("QT_QPA_PLATFORM");
        const auto run = [&](const QStringList &arguments) {
            auto *program = new QProcess(this);
            program->setProcessEnvironment(environment);
            program->start(dir.filePath("netcheck"), arguments);
            // The page is served by this process: its event loop runs meanwhile.
            if (!QTest::qWaitFor([&] { return program->state() == QProcess::NotRunning; }, 60000))
                program->kill();
            return program;
        };
        QProcess *check = run({ "--check", "--pdf", dir.filePath("r.pdf") });
        QStringList lines = QString::fromUtf8(check->readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(check->exitCode(), 1);
        QCOMPARE(lines.replaceInStrings(QRegularExpression(" +"), " ")
                     .replaceInStrings(QRegularExpression(" \\S+ \\S+ (\\S+)$"), " T \\1"),
            QStringList({ "正常 通过 CMD-echo up T up", "异常 失败 CMD-echo down T down",
                "正常 网页 URL-" + server.url("/ok") + " T <p>服务正常</p>" }));
        QFile log(dir.filePath("log/" + QDate::currentDate().toString("yyyy年MM月dd日") + ".txt"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.readAll().count("机房,"), 2);
        QProcess pdf;
        pdf.start("pdftotext", { dir.filePath("r.pdf"), "-" });
        QVERIFY(pdf.waitForFinished(30000));
        const QString text = QString::fromUtf8(pdf.readAllStandardOutput());
        QVERIFY(text.contains("通过") && text.contains("失败") && text.contains("网页"));

        QProcess *scan = run({ "--scan", "127.0.0.1", "127.0.0.1" });
        QCOMPARE(scan->exitCode(), 0);
        QVERIFY(scan->readAllStandardOutput().startsWith("127.0.0.1 "));
        QProcess *bad = run({ "--scan", "127.0.0.1", "127.0.0.x" });
        QCOMPARE(bad->exitCode(), 2);
        QCOMPARE(
            QString::fromUtf8(bad->readAllStandardError()).trimmed(), QStringLiteral("结束IP地址错误！"));
    }

    // Enter in the address and IP fields and Ctrl+Enter in the command field press their
    // buttons; plain Enter in the command field is a new line. The fields are empty, so
    // nothing is pinged or fetched.
    void keys()
    {
        TestWindow w;
        for (QLineEdit *edit : w.window->findChildren<QLineEdit *>())
            edit->clear();
        QSignalSpy fetch(w.find<QPushButton>("cmdUrl"), &QPushButton::clicked);
        QSignalSpy scan(w.find<QPushButton>("cmdScanIP"), &QPushButton::clicked);
        QSignalSpy run(w.find<QPushButton>("cmdCMD"), &QPushButton::clicked);
        QTest::keyClick(w.find("txtUrl"), Qt::Key_Return);
        QTest::keyClick(w.find("txtSIPadd"), Qt::Key_Return);
        QTest::keyClick(w.find("txtEIPadd"), Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(w.find("txtCMD"), Qt::Key_Return);
        QTest::keyClick(w.find("txtCMD"), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE((QList<int> { fetch.count(), scan.count(), run.count() }), (QList<int> { 1, 2, 1 }));
    }
};

QTEST_MAIN(TstApp)
#include "tst_app.moc"
