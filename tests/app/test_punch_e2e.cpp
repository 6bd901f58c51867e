// The real program under a virtual X server: started with StartBrush set, it opens at the punch
// screen; a card number typed as a card reader types it (digits, then Enter) ends up as a row of
// WorkList.db.
#include "core/data/dataset.h"
#include "core/data/firstrun.h"
#include "support/clirunner.h"
#include "support/xsession.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace kq;

namespace {

const QString kCard = QStringLiteral("8866001");

// A data folder beside a copy of the program: first-run content, StartBrush on, one card.
void PrepareStation(const QString& folder) {
    const QString data = folder + QStringLiteral("/Data/");
    CreateMissingDataFiles(data);
    DataSet setup;
    setup.open(data + QStringLiteral("SysSetup.Dat"));
    setup.edit();
    setup.setValue(QStringLiteral("StartBrush"), true);
    setup.post();
    setup.close();
    DataSet employees;
    employees.open(data + QStringLiteral("Employee.dat"));
    employees.append();
    employees.setValue(QStringLiteral("SName"), QStringLiteral("王五"));
    employees.setValue(QStringLiteral("CardNo"), kCard);
    employees.post();
    employees.close();
}

int PunchRows(const QString& workList) {
    int n = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("e2e"));
        db.setDatabaseName(workList);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            QSqlQuery q(db);
            q.prepare(QStringLiteral("select count(*) from WorkList where Name=?"));
            q.addBindValue(QStringLiteral("王五"));
            if (q.exec() && q.next()) n = q.value(0).toInt();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("e2e"));
    return n;
}

} // namespace

TEST(PunchStation, CardTypedAtTheStartingPunchScreenIsStored) {
    const QString app = test::AppProgram();
    ASSERT_TRUE(QFile::exists(app)) << "the built program is missing: " << app.toStdString();

    test::XSession x;
    if (x.display().isEmpty())
        GTEST_SKIP() << "no X server: Xvfb could not be started here (" << x.startError().toStdString()
                     << ")";

    QTemporaryDir station;
    ASSERT_TRUE(station.isValid());
    PrepareStation(station.path());
    const QString program = station.filePath(QStringLiteral("kaoqin"));
    ASSERT_TRUE(QFile::copy(app, program));

    test::Child kaoqin;
    x.start(kaoqin, program, {}, station.path());
    ASSERT_TRUE(kaoqin.process.waitForStarted(5000)) << kaoqin.process.errorString().toStdString();

    // The only visible window of the program is the punch screen.
    const QString window = x.waitForWindow(QStringLiteral("kaoqin"));
    ASSERT_FALSE(window.isEmpty()) << "the punch screen did not appear";
    ASSERT_EQ(kaoqin.process.state(), QProcess::Running) << "the program ended";

    // Swipe as a reader does; swipe again when a keystroke was lost before the window had the focus.
    const QDeadlineTimer deadline(20000);
    const QString workList = station.filePath(QStringLiteral("Data/WorkList.db"));
    while (PunchRows(workList) == 0 && !deadline.hasExpired()) {
        x.run("xdotool", {"windowfocus", "--sync", window});
        x.run("xdotool", {"type", "--delay", "10", kCard});
        x.run("xdotool", {"key", "Return"});
        const QDeadlineTimer attempt(3000);
        while (PunchRows(workList) == 0 && !attempt.hasExpired())
            QThread::msleep(100);
    }
    EXPECT_EQ(PunchRows(workList), 1);
    EXPECT_EQ(kaoqin.process.state(), QProcess::Running);
}
