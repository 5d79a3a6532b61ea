#include "appdir.h"
#include "fromlanrik.h"
#include "testrunner.h"
#include "windowplacement.h"

#include <QDirIterator>
#include <QImageReader>
#include <QLabel>
#include <QMetaMethod>
#include <QResource>
#include <QTemporaryDir>
#include <QTest>

class TstWindow : public QObject
{
    Q_OBJECT

private slots:
    void slotTable();
    void invokeByIndex();
    void centring_data();
    void centring();
    void bundle_data();
    void bundle();
    void bundleHoldsOnlyThePictures();
};

// Callers reach the slots by index: order, signature, parameter names and access are fixed,
// and the class adds nothing else to the meta-object.
void TstWindow::slotTable()
{
    const QStringList expected = { "ReplaceIimg(QString) str", "Start()", "setNetworkGIF(QString) GifUrl",
        "setLED(QLabel*,int,int) label,color,size", "ScriptStart()", "AutoKeep()", "DJS()", "RefPIcture()",
        "on_cmdScanIP_clicked()", "on_cmdScriptStart_clicked()", "on_cmdCMD_clicked()", "on_cmdUrl_clicked()",
        "on_cmdSet_SaveScript_clicked()", "on_cmdScriptInsLine_clicked()", "on_cmdScriptDelLine_clicked()",
        "on_cmdScripCopy_clicked()", "on_cmdScripPrint_clicked()", "on_cmdClearTree_clicked()",
        "on_cmbKeep_currentIndexChanged(int) index", "on_cmdScripShow_clicked()" };
    const QMetaObject &mo = fromlanrik::staticMetaObject;
    QCOMPARE(mo.superClass(), &QWidget::staticMetaObject);
    QCOMPARE(mo.methodCount() - mo.methodOffset(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        const QMetaMethod m = mo.method(mo.methodOffset() + i);
        const QByteArray names = m.parameterNames().join(',');
        QCOMPARE(QString(m.methodSignature() + (names.isEmpty() ? "" : " " + names)), expected.at(i));
        QCOMPARE(m.methodType(), QMetaMethod::Slot);
        QCOMPARE(m.access(), QMetaMethod::Private);
    }
    QCOMPARE(mo.method(mo.methodOffset()).returnType(), int(QMetaType::QString));
    QCOMPARE(mo.propertyCount(), mo.propertyOffset());
    QCOMPARE(mo.enumeratorCount(), mo.enumeratorOffset());
    QCOMPARE(mo.classInfoCount(), mo.classInfoOffset());
    QCOMPARE(mo.constructorCount(), 0);
}

void TstWindow::invokeByIndex()
{
    QTemporaryDir dir;
    setAppDirOverride(dir.path());
    fromlanrik window;
    const QMetaObject *mo = window.metaObject();
    const int base = mo->methodOffset();
    QString result;
    QVERIFY(mo->method(base + 0).invoke(&window, Qt::DirectConnection, Q_RETURN_ARG(QString, result),
        Q_ARG(QString, QStringLiteral("打印机"))));
    QVERIFY(result.contains(QLatin1String(":/tree/print.png")));
    // Without a place for the result it is simply discarded.
    QVERIFY(mo->method(base + 0).invoke(&window, Qt::DirectConnection, Q_ARG(QString, QString())));
    QLabel label;
    QVERIFY(mo->method(base + 3).invoke(
        &window, Qt::DirectConnection, Q_ARG(QLabel *, &label), Q_ARG(int, 1), Q_ARG(int, 16)));
    QVERIFY(mo->method(base + 18).invoke(&window, Qt::DirectConnection, Q_ARG(int, 0)));
    QVERIFY(mo->method(base + 19).invoke(&window, Qt::DirectConnection));
    setAppDirOverride(QString());
}

void TstWindow::centring_data()
{
    QTest::addColumn<QSize>("desktop");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("1366x768") << QSize(1366, 768) << QPoint(171, 24);
    QTest::newRow("desktop smaller than window") << QSize(800, 600) << QPoint(-112, -60);
    QTest::newRow("odd negative difference truncates toward zero") << QSize(1023, 720) << QPoint(0, 0);
}

void TstWindow::centring()
{
    QFETCH(QSize, desktop);
    QFETCH(QPoint, expected);
    QCOMPARE(centredPosition(desktop, QSize(1024, 720)), expected);
}

void TstWindow::bundle_data()
{
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QList<int>>("sizes"); // square pictures, largest first
    auto row = [](const char *path, const char *format, QList<int> sizes) {
        QTest::newRow(path) << QByteArray(format) << sizes;
    };
    // clang-format off
    row(":/ICO/Lanrik1.ico", "ico", { 256, 128, 48, 48, 48, 32, 32, 32, 16, 16, 16 });
    row(":/tree/start.jpg", "jpeg", { 650 });      row(":/tree/ok.png", "png", { 512 });
    row(":/tree/no.png", "png", { 512 });          row(":/tree/all.png", "png", { 128 });
    row(":/tree/print.png", "png", { 256 });       row(":/tree/server.png", "png", { 256 });
    row(":/tree/nas.png", "png", { 128 });         row(":/tree/cam.png", "png", { 256 });
    row(":/tree/net.png", "png", { 256 });         row(":/tree/pc.png", "png", { 256 });
    row(":/tree/wifi.png", "png", { 1024 });       row(":/tree/web_server.png", "png", { 128 });
    row(":/tree/MYCOMP.ICO", "ico", { 32, 16 });   row(":/tree/DRIVENET.ICO", "ico", { 32, 16 });
    row(":/tree/cdrom.png", "png", { 256 });       row(":/tree/sql.png", "png", { 128 });
    row(":/tree/database.png", "png", { 128 });
    // clang-format on
}

void TstWindow::bundle()
{
    QFETCH(QByteArray, format);
    QFETCH(QList<int>, sizes);
    const QString path = QString::fromLatin1(QTest::currentDataTag());
    // One entry is stored compressed, so readers of the bundle meet both kinds.
    QCOMPARE(QResource(path).compressionAlgorithm() == QResource::ZlibCompression,
        path.endsWith(QLatin1String("DRIVENET.ICO")));
    QImageReader reader(path);
    QCOMPARE(reader.format(), format);
    QCOMPARE(qMax(reader.imageCount(), 1), sizes.size());
    QList<int> seen;
    for (int i = 0; i < sizes.size(); ++i) {
        QVERIFY(sizes.size() == 1 || reader.jumpToImage(i));
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(image.width(), image.height());
        seen << image.width();
    }
    std::sort(seen.begin(), seen.end(), std::greater<int>());
    QCOMPARE(seen, sizes);
}

void TstWindow::bundleHoldsOnlyThePictures()
{
    int found = 0;
    for (const char *prefix : { ":/ICO", ":/tree" })
        for (QDirIterator it(prefix, QDir::Files, QDirIterator::Subdirectories); it.hasNext(); it.next())
            ++found;
    QCOMPARE(found, 18);
}

NETCHECK_TEST(TstWindow)
#include "tst_window.moc"
