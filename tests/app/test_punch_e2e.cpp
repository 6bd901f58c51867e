// The real program under a virtual X server: started with StartBrush set, it opens at the punch
// screen; a card number typed as a card reader types it (digits, then Enter) ends up as a row of
// WorkList.db.
#include "core/data/dataset.h"
#include "core/data/firstrun.h"
#include "support/clirunner.h"

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

// Stops a started process when the test ends, however it ends.
struct Child {
    QProcess process;
    ~Child() {
        if (process.state() == QProcess::NotRunning) return;
        process.kill();
        process.waitForFinished(5000);
    }
};

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

int XdoTool(const QString& display, const QStringList& args, QString* out = nullptr) {
    QProcess xdo;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    xdo.setProcessEnvironment(env);
    xdo.start(QStringLiteral("xdotool"), args);
    if (!xdo.waitForFinished(5000)) {
        xdo.kill();
        xdo.waitForFinished();
        return -1;
    }
    if (out) *out = QString::fromUtf8(xdo.readAllStandardOutput()).trimmed();
    return xdo.exitCode();
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

    Child xvfb;
    xvfb.process.start(QStringLiteral("Xvfb"),
                       {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                        QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp")});
    QString display;
    const QDeadlineTimer xDeadline(10000);
    if (xvfb.process.waitForStarted(5000)) {
        while (display.isEmpty() && !xDeadline.hasExpired() && xvfb.process.state() == QProcess::Running) {
            xvfb.process.waitForReadyRead(200);
            const QString line = QString::fromUtf8(xvfb.process.readAllStandardOutput()).trimmed();
            if (!line.isEmpty()) display = QLatin1Char(':') + line;
        }
    }
    if (display.isEmpty())
        GTEST_SKIP() << "no X server: Xvfb could not be started here ("
                     << xvfb.process.errorString().toStdString() << ")";

    QTemporaryDir station;
    ASSERT_TRUE(station.isValid());
    PrepareStation(station.path());
    const QString program = station.filePath(QStringLiteral("kaoqin"));
    ASSERT_TRUE(QFile::copy(app, program));

    Child kaoqin;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("HOME"), station.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), station.path());
    kaoqin.process.setProcessEnvironment(env);
    kaoqin.process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    kaoqin.process.start(program, {});
    ASSERT_TRUE(kaoqin.process.waitForStarted(5000)) << kaoqin.process.errorString().toStdString();

    // The only visible window of the program is the punch screen.
    QString window;
    const QDeadlineTimer deadline(20000);
    while (window.isEmpty() && !deadline.hasExpired()) {
        ASSERT_EQ(kaoqin.process.state(), QProcess::Running) << "the program ended";
        XdoTool(display, {"search", "--onlyvisible", "--class", "kaoqin"}, &window);
        window = window.section(QLatin1Char('\n'), 0, 0);
        if (window.isEmpty()) QThread::msleep(100);
    }
    ASSERT_FALSE(window.isEmpty()) << "the punch screen did not appear";

    // Swipe as a reader does; swipe again when a keystroke was lost before the window had the focus.
    const QString workList = station.filePath(QStringLiteral("Data/WorkList.db"));
    while (PunchRows(workList) == 0 && !deadline.hasExpired()) {
        XdoTool(display, {"windowfocus", "--sync", window});
        XdoTool(display, {"type", "--delay", "10", kCard});
        XdoTool(display, {"key", "Return"});
        const QDeadlineTimer attempt(3000);
        while (PunchRows(workList) == 0 && !attempt.hasExpired())
            QThread::msleep(100);
    }
    EXPECT_EQ(PunchRows(workList), 1);
    EXPECT_EQ(kaoqin.process.state(), QProcess::Running);
}
