#pragma once

#include <QAbstractTableModel>

namespace kq {

class DataSet;

// The shift list as the schedule's grid shows it: one row per shift in SerialNo order, the three
// flags as the calculated "√" columns. Follows every change of the dataset.
class ShiftTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { SerialNo, ShiftName, BeginTime, EndTime, CheckBegin, CheckEnd, IsCalculate, ColumnCount };

    explicit ShiftTableModel(DataSet* shifts, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The calculated text of a flag: "√" when set, empty otherwise.
    static QString CalcFields(bool flag);

private:
    DataSet* m_shifts;
};

} // namespace kq
