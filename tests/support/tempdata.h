#pragma once

#include "support/fakes.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kq::test {

// A fresh data folder with first-run content, set as the data folder, KQDataBase open on it,
// fakes installed and the sign-in record empty. Tests derive from it.
class DataFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString path(const QString& name) const; // a file of the data folder
    // Replaces a dataset file of the folder with the given fields and rows.
    void writeShifts(const QList<QVariantList>& rows); // SerialNo, ShiftName, Begin, End, late, early, acc
    // Two day shifts: 早班 08:00–12:00 and 午班 13:30–17:30, every flag on.
    void writeDayShifts();
    void
    writeEmployees(const QList<QVariantList>& rows); // SName, IsOperator, Password, Rigth, IDNo, Dept, CardNo
    int countRows(const QString& sql, const QVariantList& values = {});

    QTemporaryDir dir;
    Fakes* fakes = nullptr;
};

} // namespace kq::test
