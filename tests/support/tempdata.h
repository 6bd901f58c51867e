#pragma once

#include "core/data/engine.h"
#include "support/fakes.h"

#include <QSqlDatabase>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kq::test {

// A fresh data folder with first-run content, set as the data folder, KQDataBase open on it,
// fakes installed and the sign-in record empty. Tests derive from it. The records are in the
// folder's SQLite files, or on the test program's PostgreSQL cluster (emptied for each test) when
// engine() says so; OnEachEngine runs a fixture's tests on both.
class DataFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    virtual EngineKind engine() const { return EngineKind::SQLite; }
    bool onServer() const { return engine() == EngineKind::PostgreSQL; }

    QString path(const QString& name) const; // a file of the data folder
    // Replaces a dataset file of the folder with the given fields and rows.
    void writeShifts(const QList<QVariantList>& rows); // SerialNo, ShiftName, Begin, End, late, early, acc
    // Two day shifts: 早班 08:00–12:00 and 午班 13:30–17:30, every flag on.
    void writeDayShifts();
    void
    writeEmployees(const QList<QVariantList>& rows); // SName, IsOperator, Password, Rigth, IDNo, Dept, CardNo
    int countRows(const QString& sql, const QVariantList& values = {});
    // The options that point kaoqin-cli at this test's records: the folder, and the server.
    QStringList cliOptions() const;
    // Removes a dataset file of the folder (the server's document on the server).
    void removeDataFile(const QString& name);
    // Makes every insert into table (of a row where the SQL condition when holds, on the new row
    // "new") fail with message until allowInserts(table), as a full disk or a refusing server would.
    void failInserts(const QString& table, const QString& message,
                     const QString& when = QStringLiteral("true"));
    void allowInserts(const QString& table);
    // A second connection, named name, to the records of the folder (another process's view);
    // removed by the caller with QSqlDatabase::removeDatabase.
    QSqlDatabase openOtherConnection(const QString& name, const QString& sqliteOptions = {}) const;

    QTemporaryDir dir;
    Fakes* fakes = nullptr;
};

// The tests of Fixture (a DataFolderTest) once on SQLite and once on the server: declare them
// with TEST_P on an alias of this and instantiate with KQ_ON_EACH_ENGINE(alias).
template <class Fixture>
class OnEachEngine : public Fixture, public ::testing::WithParamInterface<EngineKind> {
protected:
    EngineKind engine() const override { return this->GetParam(); }
};

std::string EngineName(const ::testing::TestParamInfo<EngineKind>& info);

#define KQ_ON_EACH_ENGINE(Suite)                                                                             \
    INSTANTIATE_TEST_SUITE_P(Engines, Suite,                                                                 \
                             ::testing::Values(kq::EngineKind::SQLite, kq::EngineKind::PostgreSQL),          \
                             kq::test::EngineName)

} // namespace kq::test
