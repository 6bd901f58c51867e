#include "core/setup/numberedlist.h"

#include "core/data/dataset.h"

#include <algorithm>

namespace kq {

void AppendNumbered(DataSet& ds, const QString& numberField, const QString& nameField, const QString& name) {
    ds.last();
    const int last = ds.isEmpty() ? 0 : ds.asInt(numberField);
    ds.append();
    ds.setValue(numberField, last + 1);
    ds.setValue(nameField, name);
    ds.post();
}

void RemoveNumbered(DataSet& ds, const QString& numberField) {
    if (ds.isEmpty()) return;
    const int removedAt = ds.recNo();
    ds.remove();
    // Each row keeps its place in number order while it takes its new number.
    int number = 1;
    for (ds.first(); !ds.eof(); ds.next()) {
        ds.edit();
        ds.setValue(numberField, number++);
        ds.post();
    }
    ds.moveTo(std::min(removedAt, ds.recordCount() - 1));
}

} // namespace kq
