#pragma once

#include <QAbstractTableModel>

namespace kq {

class InformTable;

// The notices grid: one column WDate titled "公告日期", centred. Editing a date puts the table
// into edit state on that row.
class InformModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit InformModel(InformTable* table, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    InformTable* m_table;
};

} // namespace kq
