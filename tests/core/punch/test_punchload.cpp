#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/dataset.h"
#include "core/data/engine.h"
#include "core/data/firstrun.h"
#include "core/data/kqerror.h"
#include "core/data/shared.h"
#include "core/data/tables.h"
#include "core/punch/punchrecorder.h"
#include "support/pgcluster.h"

#include <QCoreApplication>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>

using namespace kq;

// Several punch stations on one server at once: processes swiping the same cards into the same
// slots at the same moments. Each process is this test program running the worker below.

namespace {

constexpr int kStations = 8;
constexpr int kSwipes = 1000;
constexpr int kCards = 200;
constexpr int kDays = 5;

struct Swipe {
    int card;
    int day;
    int slot; // 0: on duty, 1: off duty
};

// Every (card, day, slot) once, in one shuffled order that all stations share; station s starts
// at its own offset, so that neighbours swipe the same keys at about the same time.
QList<Swipe> SwipesOf(int station) {
    QList<Swipe> all;
    for (int card = 0; card < kCards; ++card)
        for (int day = 0; day < kDays; ++day)
            for (int slot = 0; slot < 2; ++slot)
                all.append({card, day, slot});
    std::shuffle(all.begin(), all.end(), QRandomGenerator(7));
    QList<Swipe> mine;
    for (int i = 0; i < kSwipes; ++i)
        mine << all.at((station * kSwipes / 8 + i) % all.size());
    return mine;
}

QString Card(int card) {
    return QStringLiteral("C%1").arg(card, 3, 10, QLatin1Char('0'));
}

QString Name(int card) {
    return QStringLiteral("员工%1").arg(card, 3, 10, QLatin1Char('0'));
}

// The time station s swipes at: its number in the seconds tells which station a stored time came from.
QDateTime SwipeTime(const Swipe& swipe, int station) {
    return QDateTime(QDate(2024, 3, 1 + swipe.day), QTime(swipe.slot == 0 ? 8 : 12, 0, station));
}

QString Key(const QString& name, const QString& date, int slot) {
    return name + QLatin1Char('|') + date + QLatin1Char('|') + QString::number(slot);
}

} // namespace

// The station's part: run by the test below in a process of its own (KQ_STATION, KQ_SERVER,
// KQ_FOLDER); prints one line per swipe: "SWIPE stored|repeat name date slot", or an error.
TEST(PunchLoad, DISABLED_Station) {
    const int station = qEnvironmentVariableIntValue("KQ_STATION");
    SetDataFolder(qEnvironmentVariable("KQ_FOLDER"));
    SetEngine({EngineKind::PostgreSQL, ParseServerUrl(qEnvironmentVariable("KQ_SERVER"))});
    OpenKQDataBase(DataFolder());
    const QList<TBrushInfo> shifts = ReadBrushInfo();
    for (const Swipe& s : SwipesOf(station)) {
        QByteArray line = "SWIPE ";
        try {
            const PunchResult r = RecordPunch(Card(s.card), shifts, s.slot, SwipeTime(s, station));
            line += r.stored()                                  ? "stored "
                    : r.outcome == PunchOutcome::AlreadyPunched ? "repeat "
                                                                : "refused ";
        } catch (const KqError& e) {
            line += "error " + e.message().toUtf8().replace('\n', ' ') + ' ';
        }
        line += (Name(s.card) + QLatin1Char(' ') + DateText(QDate(2024, 3, 1 + s.day))).toUtf8() + ' ' +
                QByteArray::number(s.slot) + '\n';
        std::fputs(line.constData(), stdout);
    }
    std::fflush(stdout);
    CloseKQDataBase();
}

TEST(PunchLoad, EightStationsSwipingTheSameCardsStoreEachConfirmedSwipeOnce) {
    test::PgCluster* cluster = test::PgCluster::shared();
    if (!cluster) GTEST_SKIP() << qPrintable(test::PgCluster::missingReason());
    cluster->reset();
    QTemporaryDir folder;
    SetDataFolder(folder.path());
    SetEngine({EngineKind::PostgreSQL, cluster->address()});
    CreateMissingDataFiles(DataFolder());
    OpenKQDataBase(DataFolder());
    DataSet::writeFile(DataFile("ShiftTime.dat"), ShiftTimeFields(),
                       {{1, "早班", "08:00:00", "12:00:00", true, true, true}});
    QList<QVariantList> employees;
    for (int card = 0; card < kCards; ++card)
        employees.append({Name(card), false, "", 4, card + 1, 0, Card(card)});
    DataSet::writeFile(DataFile("Employee.dat"), EmployeeFields(), employees);

    std::vector<std::unique_ptr<QProcess>> stations;
    for (int s = 0; s < kStations; ++s) {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KQ_STATION", QString::number(s));
        env.insert("KQ_SERVER", cluster->url());
        env.insert("KQ_FOLDER", folder.path());
        p->setProcessEnvironment(env);
        p->start(QCoreApplication::applicationFilePath(),
                 {"--gtest_filter=PunchLoad.DISABLED_Station", "--gtest_also_run_disabled_tests"});
        stations.push_back(std::move(p));
    }
    QHash<QString, int> storedBy; // key -> station
    int stored = 0, swipes = 0;
    for (int s = 0; s < kStations; ++s) {
        QProcess& p = *stations[s];
        ASSERT_TRUE(p.waitForFinished(600000)) << "station " << s;
        EXPECT_EQ(p.exitCode(), 0) << "station " << s << ": " << p.readAllStandardError().toStdString();
        for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
            if (!line.startsWith("SWIPE ")) continue;
            const QStringList f = QString::fromUtf8(line).split(' ');
            ++swipes;
            ASSERT_TRUE(f[1] == "stored" || f[1] == "repeat") << line.toStdString();
            if (f[1] != "stored") continue;
            ++stored;
            const QString key = Key(f[2], f[3], f[4].toInt());
            EXPECT_FALSE(storedBy.contains(key)) << "confirmed twice: " << key.toStdString();
            storedBy.insert(key, s);
        }
    }
    EXPECT_EQ(swipes, kStations * kSwipes);

    // Every confirmed swipe is in its slot, with its station's time; nothing else is there.
    QSqlQuery q = ExecSql("select Name, DDate, T0, T1 from WorkList");
    int cells = 0, rows = 0;
    QSet<QString> days;
    while (q.next()) {
        ++rows;
        days.insert(q.value(0).toString() + '|' + q.value(1).toString());
        for (int slot = 0; slot < 2; ++slot) {
            if (q.value(2 + slot).isNull()) continue;
            ++cells;
            const QString key = Key(q.value(0).toString(), q.value(1).toString(), slot);
            ASSERT_TRUE(storedBy.contains(key)) << "stored but never confirmed: " << key.toStdString();
            EXPECT_EQ(q.value(2 + slot).toString(),
                      QTime(slot == 0 ? 8 : 12, 0, storedBy.value(key)).toString("hh:mm:ss"));
        }
    }
    EXPECT_EQ(cells, stored);
    EXPECT_EQ(rows, days.size()); // one row per person and day
    CloseKQDataBase();
    SetEngine({});
}
