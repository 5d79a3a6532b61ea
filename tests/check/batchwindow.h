#ifndef BATCHWINDOW_H
#define BATCHWINDOW_H

#include "appdir.h"
#include "batchrun.h"
#include "fromlanrik.h"
#include "messagebox.h"
#include "speech.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QLCDNumber>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextCodec>

// The real window in a temporary application folder (with its log folder), the
// widgets a batch run touches, and everything speakText is asked to say.
class BatchWindow
{
public:
    ~BatchWindow()
    {
        delete window;
        setSpeechObserver(nullptr);
        MessageBox::stopRecording();
        setAppDirOverride(QString());
    }

    // Rows of alias, type, target, success text, location; an empty text leaves the
    // cell without an item, as a cell nobody typed in.
    void setScript(const QList<QStringList> &rows)
    {
        script->clearContents();
        script->setRowCount(rows.size() + 1);
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < rows.at(r).size(); ++c)
                if (!rows.at(r).at(c).isEmpty())
                    script->setItem(r, c, new QTableWidgetItem(rows.at(r).at(c)));
    }

    QString cell(int row, int column) const
    {
        const QTableWidgetItem *item = results->item(row, column);
        return item ? item->text() : QString();
    }

    // Rows of the results table that hold a name.
    int filledRows() const
    {
        int n = 0;
        while (n < results->rowCount() && !cell(n, 0).isEmpty())
            ++n;
        return n;
    }

    QString logPath() const
    {
        return QStringLiteral("%1/log/%2.txt")
            .arg(dir.path(), QDate::currentDate().toString(QStringLiteral("yyyy年MM月dd日")));
    }

    QStringList logLines() const
    {
        QFile file(logPath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QTextCodec::codecForLocale()->toUnicode(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    void invoke(const char *slot) { QMetaObject::invokeMethod(window, slot, Qt::DirectConnection); }

    QTemporaryDir dir;
    QStringList spoken;
    fromlanrik *window = open();
    QTableWidget *script = find<QTableWidget>("tableScript");
    QTableWidget *results = find<QTableWidget>("tableWidget");
    QPushButton *start = find<QPushButton>("cmdScriptStart");
    QComboBox *keep = find<QComboBox>("cmbKeep");
    QLCDNumber *lcd = find<QLCDNumber>("lcdNumber");
    QCheckBox *speech = find<QCheckBox>("chkSpack");
    QWidget *pictures = find<QWidget>("widgetPic");

private:
    fromlanrik *open()
    {
        QDir(dir.path()).mkdir(QStringLiteral("log"));
        setAppDirOverride(dir.path());
        MessageBox::startRecording();
        setSpeechObserver([this](const QString &text) { spoken << text; });
        auto *created = new fromlanrik;
        created->show();
        return created;
    }
    template<class T>
    T *find(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
};

#endif
