#pragma once

// A generated data folder for the report benchmarks: 500 employees in 5 departments, three
// shifts, and a punch row for every employee and working day from a first year to 2024 (2023 by
// default, about 261 k rows; weekends have no rows, so completing a period has days to add), and
// the time the sqlite3 command needs for a statement on the same file.

#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/firstrun.h"
#include "core/data/kqerror.h"
#include "core/data/shared.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>

namespace kq::bench {

inline constexpr int kEmployees = 500;

inline QString EmployeeName(int i) {
    return QStringLiteral("员工%1").arg(i + 1, 3, 10, QLatin1Char('0'));
}

class WorkListData {
public:
    explicit WorkListData(int firstYear = 2023) {
        const QString folder = m_dir.path() + QStringLiteral("/");
        CreateMissingDataFiles(folder);
        SetDataFolder(folder);
        writeFiles(folder);
        OpenKQDataBase(folder);
        fill(firstYear);
    }
    ~WorkListData() { CloseKQDataBase(); }
    QString database() const { return DataFolder() + QStringLiteral("WorkList.db"); }

private:
    static void writeFiles(const QString& folder) {
        QList<QVariantList> employees, departments;
        for (int i = 0; i < kEmployees; ++i)
            employees.append(
                {EmployeeName(i), false, QString(), 4, i + 1, i % 5 + 1, QString::number(100000 + i)});
        for (int d = 1; d <= 5; ++d)
            departments.append({d, QStringLiteral("部门%1").arg(d)});
        DataSet::writeFile(folder + QStringLiteral("Employee.dat"),
                           {{QStringLiteral("SName"), FieldType::String, 15},
                            {QStringLiteral("IsOperator"), FieldType::Boolean},
                            {QStringLiteral("Password"), FieldType::String, 10},
                            {QStringLiteral("Rigth"), FieldType::Integer},
                            {QStringLiteral("IDNo"), FieldType::Integer},
                            {QStringLiteral("Dept"), FieldType::Integer},
                            {QStringLiteral("CardNo"), FieldType::String, 45}},
                           employees);
        DataSet::writeFile(
            folder + QStringLiteral("Department.dat"),
            {{QStringLiteral("ID"), FieldType::Integer}, {QStringLiteral("DeptName"), FieldType::String, 20}},
            departments);
        DataSet::writeFile(folder + QStringLiteral("ShiftTime.dat"),
                           {{QStringLiteral("SerialNo"), FieldType::Integer},
                            {QStringLiteral("ShiftName"), FieldType::String, 30},
                            {QStringLiteral("BeginTime"), FieldType::Time},
                            {QStringLiteral("EndTime"), FieldType::Time},
                            {QStringLiteral("CheckBegin"), FieldType::Boolean},
                            {QStringLiteral("CheckEnd"), FieldType::Boolean},
                            {QStringLiteral("IsCalculate"), FieldType::Boolean}},
                           {{1, QStringLiteral("上午"), QStringLiteral("08:00:00"),
                             QStringLiteral("12:00:00"), true, true, true},
                            {2, QStringLiteral("下午"), QStringLiteral("13:30:00"),
                             QStringLiteral("17:30:00"), true, true, true},
                            {3, QStringLiteral("加班"), QStringLiteral("18:00:00"),
                             QStringLiteral("21:00:00"), false, false, true}});
    }

    static void fill(int firstYear) {
        std::mt19937 random(42);
        const auto around = [&](int h, int m, int spread) {
            const int s = h * 3600 + m * 60 + int(random() % (2 * spread + 1)) - spread;
            return TimeText(QTime(0, 0).addSecs(s));
        };
        QSqlQuery insert(KQDataBase());
        insert.prepare(QStringLiteral("insert into WorkList (DDate, Name, T0, T1, T2, T3, T4, T5, LeaveType) "
                                      "values (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        Transaction transaction;
        for (QDate d(firstYear, 1, 1); d <= QDate(2024, 12, 31); d = d.addDays(1)) {
            if (d.dayOfWeek() > 5) continue;
            for (int e = 0; e < kEmployees; ++e) {
                const bool absent = random() % 100 < 3;
                const bool overtime = random() % 100 < 20;
                const QVariant none = QVariant(QMetaType::fromType<QString>());
                insert.bindValue(0, DateText(d));
                insert.bindValue(1, EmployeeName(e));
                insert.bindValue(2, absent ? none : around(8, 0, 600));
                insert.bindValue(3, absent ? none : around(12, 0, 300));
                insert.bindValue(4, absent ? none : around(13, 30, 600));
                insert.bindValue(5, absent ? none : around(17, 30, 600));
                insert.bindValue(6, overtime ? around(18, 0, 120) : none);
                insert.bindValue(7, overtime ? around(21, 0, 600) : none);
                insert.bindValue(8, absent ? QVariant(int(random() % 3) + 1) : QVariant());
                if (!insert.exec()) throw KqError(QStringLiteral("generating rows failed"));
            }
        }
        transaction.commit();
    }

    QTemporaryDir m_dir;
};

// Seconds the sqlite3 command needs for one run of sql on database (rows written to /dev/null):
// the wall time of `repeat` runs in one process less that of a process running none, best of
// three, divided by repeat.
inline double Sqlite3Seconds(const QString& database, const QString& sql, int repeat) {
    const auto wall = [&](int runs) {
        QByteArray script = ".output /dev/null\n";
        for (int i = 0; i < runs; ++i)
            script += sql.toUtf8() + ";\n";
        double best = 1e9;
        for (int attempt = 0; attempt < 3; ++attempt) {
            QProcess p;
            QElapsedTimer t;
            t.start();
            p.start(QStringLiteral("sqlite3"), {QStringLiteral("-batch"), database});
            p.write(script);
            p.closeWriteChannel();
            p.waitForFinished(-1);
            best = std::min(best, t.nsecsElapsed() / 1e9);
        }
        return best;
    };
    return std::max(0.0, wall(repeat) - wall(0)) / repeat;
}

// Sets the counters sqlite3_ms (sqlite3's time for sql) and x_sqlite3 (our time per iteration
// over it) of a benchmark that took ourSeconds in all.
inline void ReportBesideSqlite3(benchmark::State& state, double ourSeconds, const QString& database,
                                const QString& sql) {
    const double sqlite = Sqlite3Seconds(database, sql, 20);
    const double ours = ourSeconds / double(state.iterations());
    state.counters["sqlite3_ms"] = sqlite * 1e3;
    state.counters["x_sqlite3"] = sqlite > 0 ? ours / sqlite : 0;
}

// Runs the benchmarks of a program on one generated table, reachable through *data meanwhile.
template <typename App = QCoreApplication>
inline int RunOnWorkListData(int argc, char** argv, WorkListData** data, int firstYear = 2023) {
    App app(argc, argv);
    benchmark::Initialize(&argc, argv);
    WorkListData table(firstYear);
    *data = &table;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace kq::bench
