#pragma once

#include <QDate>

namespace kq {

// Deletes, in one transaction, every attendance row whose date lies from first to last, both
// days included, with an entry of the correction log for each; returns how many rows went. A
// first day after the last deletes nothing. Throws KqError when a statement fails.
int DeletePeriod(const QDate& first, const QDate& last);

} // namespace kq
