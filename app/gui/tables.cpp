#include "app/gui/tables.h"

#include <QHeaderView>
#include <QTableWidget>

QString tableCellText(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item ? item->text().trimmed() : QString();
}

QString tableHeaderText(const QTableWidget *table, int column)
{
    const QTableWidgetItem *item = table->horizontalHeaderItem(column);
    return item ? item->text() : QString();
}

void layOutTable(QTableWidget *table, const QStringList &headers, const QList<int> &widths)
{
    table->clear();
    table->setColumnCount(headers.size());
    table->setHorizontalHeaderLabels(headers);
    for (int column = 0; column < widths.size(); ++column)
        table->setColumnWidth(column, widths.at(column));
    table->verticalHeader()->setFixedWidth(kTableRowHeight);
    table->verticalHeader()->setDefaultSectionSize(kTableRowHeight);
    table->horizontalHeader()->setFixedHeight(kTableRowHeight);
    table->horizontalHeader()->setStyleSheet(QStringLiteral("QHeaderView::section{background:skyblue;}"));
    table->setStyleSheet(QStringLiteral("selection-background-color:lightblue;"));
    table->setRowCount(2);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->repaint();
}

void commitCellEditor(QAbstractItemView *view)
{
    QWidget *editor = view->indexWidget(view->currentIndex());
    if (!editor)
        return;
    // The view's own slots, which Enter in the editor reaches through its delegate.
    QMetaObject::invokeMethod(view, "commitData", Q_ARG(QWidget *, editor));
    QMetaObject::invokeMethod(view, "closeEditor", Q_ARG(QWidget *, editor),
        Q_ARG(QAbstractItemDelegate::EndEditHint, QAbstractItemDelegate::NoHint));
}
