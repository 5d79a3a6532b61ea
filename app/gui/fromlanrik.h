#ifndef GUI_FROMLANRIK_H
#define GUI_FROMLANRIK_H

#include <QWidget>

class QLabel;
class QTimer;
class Ui_fromlanrik;

// The main window. Its twenty private slots are the program's entry points; their
// order fixes the meta-method indexes that callers use through invokeMethod.
class fromlanrik : public QWidget
{
    Q_OBJECT

public:
    explicit fromlanrik(QWidget *parent = nullptr);
    ~fromlanrik();

private slots:
    QString ReplaceIimg(QString str);
    void Start();
    void setNetworkGIF(QString GifUrl);
    void setLED(QLabel *label, int color, int size);
    void ScriptStart();
    void AutoKeep();
    void DJS();
    void RefPIcture();
    void on_cmdScanIP_clicked();
    void on_cmdScriptStart_clicked();
    void on_cmdCMD_clicked();
    void on_cmdUrl_clicked();
    void on_cmdSet_SaveScript_clicked();
    void on_cmdScriptInsLine_clicked();
    void on_cmdScriptDelLine_clicked();
    void on_cmdScripCopy_clicked();
    void on_cmdScripPrint_clicked();
    void on_cmdClearTree_clicked();
    void on_cmbKeep_currentIndexChanged(int index);
    void on_cmdScripShow_clicked();

private:
    Ui_fromlanrik *ui;
    QTimer *timerKeep = nullptr;
    QTimer *timerDJS = nullptr;
    int countDJS = -1;
};

#endif // FROMLANRIK_H
