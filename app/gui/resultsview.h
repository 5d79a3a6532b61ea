#ifndef GUI_RESULTSVIEW_H
#define GUI_RESULTSVIEW_H

#include "check/resulttable.h"

#include <QList>
#include <QPointer>

class QLabel;
class QTableWidget;
class QWidget;

// Status LED colour codes.
enum LedColor { LedGrey = 0, LedRed = 1, LedGreen = 2, LedYellow = 3 };
// Style sheet that makes a label a round lamp of the given size; a colour code outside the
// table leaves the lamp without a background colour.
QString ledStyleSheet(int color, int size);
// Turns the label into that lamp.
void setLed(QLabel *label, int color, int size);

// The results table of the page "批量检测", made from the records of the last run.
class ResultsView
{
public:
    explicit ResultsView(QTableWidget *table);

    // The layout before the first run.
    void showStart();
    // A run begins: its layout, and no records yet.
    void begin();
    // A result of the run: its row with its status lamp.
    void add(int index, const CheckResult &result);
    const QList<CheckResult> &records() const { return results; }
    // The table as text: what the copy and the report take.
    ResultsTable table() const;

    // Puts the table's text on the clipboard and confirms with a message box.
    void copy() const;
    // Prints the table into the print file and hands it to the PDF viewer.
    void print(QWidget *window) const;

private:
    QPointer<QTableWidget> widget;
    QList<CheckResult> results;
    bool ran = false;
};

#endif
