#ifndef GUI_DEVICEGRID_H
#define GUI_DEVICEGRID_H

#include <QLayout>
#include <QList>

// The device labels of one location: cells of the size given (one that holds every label, so each
// name stays readable), as many columns as the width holds (one at least), as many rows as they
// need; a view too small for them all scrolls. The grid never asks a label its size: a rich
// label lays out a document to answer, and a location may hold thousands.
class DeviceGrid : public QLayout
{
public:
    explicit DeviceGrid(QWidget *parent = nullptr);
    ~DeviceGrid() override;

    void setCell(const QSize &size);

    void addItem(QLayoutItem *item) override;
    int count() const override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    void setGeometry(const QRect &rect) override;

private:
    int columnsFor(int width) const;
    QSize gridSize(int columns) const;

    QList<QLayoutItem *> items;
    QSize cell = QSize(0, 0);
};

#endif
