#ifndef GUI_RESULTSVIEW_H
#define GUI_RESULTSVIEW_H

#include "check/resulttable.h"
#include "check/runrecords.h"

#include <QList>
#include <QPointer>
#include <QTimer>
#include <QVector>

#include <memory>

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

// The results table of the page "批量检测", made from the records of the last run. While a run
// goes on, every line has its row: "检测中" until its check ends, then its result at once,
// whatever lines above it still wait.
class ResultsView
{
public:
    explicit ResultsView(QTableWidget *table);

    // The layout before the first run.
    void showStart();
    // A run of these lines begins: its layout, a waiting row per line (the first ones at once,
    // the rest in steps) and no records yet.
    void begin(const QList<CheckLine> &lines);
    // A check has ended: its row shows the result.
    void show(int index, const CheckResult &result);
    // A result in line order: the record the copy and the report take; its row shows it. Its
    // cells' tooltips are made from the run's records when shown.
    void add(int index, const CheckResult &result);
    const QList<CheckResult> &records() const { return run->results; }
    // The record a row of the table shows, or -1 (the spare row, the layout before a run).
    int recordOfRow(int row) const;
    // The run shown: its lines' states go in once the history has them.
    std::shared_ptr<RunRecords> currentRun() const { return run; }
    // The table as text: what the copy and the report take.
    ResultsTable table() const;

    // Puts the table's text on the clipboard and confirms with a message box.
    void copy() const;
    // Prints the table into the print file and hands it to the PDF viewer.
    void print(QWidget *window) const;

private:
    void fillStep();
    void showRow(int row, const QStringList &cells, int colour);

    QPointer<QTableWidget> widget;
    std::shared_ptr<RunRecords> run = std::make_shared<RunRecords>();
    QList<CheckLine> waiting; // the lines of the run
    QVector<bool> ended; // by line: its row shows its result
    int filled = 0; // lines before this one have their row
    QTimer filler;
    bool ran = false;
};

#endif
