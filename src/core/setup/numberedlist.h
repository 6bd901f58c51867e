#pragma once

#include <QString>

namespace kq {

class DataSet;

// Lists whose rows carry the numbers 1..n without gaps in a number field (departments, absence
// reasons). ds is open and indexed on numberField.

// Appends name under the last number plus 1 (1 for an empty list) and posts it.
void AppendNumbered(DataSet& ds, const QString& numberField, const QString& nameField, const QString& name);

// Deletes the current row and renumbers the rows left 1..n in their order.
void RemoveNumbered(DataSet& ds, const QString& numberField);

} // namespace kq
