#pragma once

#include <QDate>

namespace kq {

// Deletes, in one statement, every attendance row whose date lies from first to last, both
// days included; returns how many rows went. A first day after the last deletes nothing.
// Throws KqError when the statement fails.
int DeletePeriod(const QDate& first, const QDate& last);

} // namespace kq
