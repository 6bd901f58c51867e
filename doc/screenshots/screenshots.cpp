// Takes the manual's pictures of the real windows on a sample data folder: each window is built
// as the program builds it, shown, given its data and grabbed into a PNG.
// Usage: kq_screenshots DATA_FOLDER OUTPUT_FOLDER (run by scripts/screenshots under Xvfb).
#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/maintenance/folderclaim.h"
#include "core/shell/operatorinfo.h"
#include "gui/maintenance/tfmauditlog.h"
#include "gui/maintenance/tfmbackup.h"
#include "gui/maintenance/tfmdelete.h"
#include "gui/maintenance/tfminform.h"
#include "gui/platform/application.h"
#include "gui/platform/guiservices.h"
#include "gui/punch/punchbanner.h"
#include "gui/punch/tfmbrush.h"
#include "gui/reports/tfmgetdatedialog.h"
#include "gui/reports/tfmmodify.h"
#include "gui/reports/tfmstat.h"
#include "gui/reports/tfmstatall.h"
#include "gui/setup/tfmcalendar.h"
#include "gui/setup/tfmsettime.h"
#include "gui/shell/tfmemployee.h"
#include "gui/shell/tfmlogin.h"
#include "gui/shell/tfmmain.h"

#include <QDateEdit>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <functional>

using namespace kq;

namespace {

QString g_out;

void Settle(int ms = 300) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

void Grab(QWidget* w, const QString& name) {
    w->show();
    w->raise();
    w->activateWindow();
    Settle();
    if (!w->grab().save(g_out + QLatin1Char('/') + name))
        std::fprintf(stderr, "cannot write %s\n", qUtf8Printable(name));
}

// Runs action on the next modal window of class T once an exec() loop shows it.
template <typename T> void WhenModal(std::function<void(T*)> action) {
    QTimer::singleShot(50, [action] {
        if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget()); w && w->isVisible())
            action(w);
        else
            WhenModal<T>(action);
    });
}

} // namespace

int main(int argc, char* argv[]) {
    Application app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: kq_screenshots DATA_FOLDER OUTPUT_FOLDER\n");
        return 2;
    }
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/gui/kaoqin.png")));
    InstallRealGuiServices();
    g_out = QString::fromLocal8Bit(argv[2]);
    SetDataFolder(QString::fromLocal8Bit(argv[1]));
    ClaimDataFolder(DataFolder(), OwnerLock::Program);
    OpenKQDataBase(DataFolder());

    TfmMain main;
    main.resize(800, 560);
    Grab(&main, QStringLiteral("main.png"));

    {
        TfmLogin login(LogonSignIn, &main);
        Grab(&login, QStringLiteral("login.png"));
    }
    // The other windows as the administrator sees them.
    CurOperator().IsLogon = true;
    {
        TfmEmployee w(&main);
        Grab(&w, QStringLiteral("employee.png"));
    }
    {
        TfmSetTime w(&main);
        Grab(&w, QStringLiteral("shifts.png"));
    }
    {
        TfmCalendar w(&main);
        Grab(&w, QStringLiteral("calendar.png"));
    }
    {
        TfmStat w(&main);
        w.resize(860, 520);
        Grab(&w, QStringLiteral("query.png"));
    }
    {
        TfmStatAll w(&main);
        w.resize(900, 420);
        w.show();
        WhenModal<TfmGetDateDialog>([](TfmGetDateDialog* d) {
            d->findChild<QDateEdit*>(QStringLiteral("BeginDate"))->setDate(QDate(2024, 3, 1));
            d->findChild<QDateEdit*>(QStringLiteral("EndDate"))->setDate(QDate(2024, 3, 8));
            Grab(d, QStringLiteral("period.png"));
            d->findChild<QPushButton*>(QStringLiteral("BtnOk"))->click();
        });
        w.BitBtn1Click();
        Settle(1500);
        Grab(&w, QStringLiteral("stats.png"));
    }
    {
        TfmModify w(&main);
        w.resize(860, 520);
        Grab(&w, QStringLiteral("modify.png"));
    }
    {
        TfmAuditLog w(&main);
        w.resize(1000, 420);
        Grab(&w, QStringLiteral("auditlog.png"));
    }
    {
        TfmInform w(&main);
        Grab(&w, QStringLiteral("notice.png"));
    }
    {
        TfmDelete w(&main);
        Grab(&w, QStringLiteral("delete.png"));
    }
    {
        // Half-way through a backup, as its own progress event shows it.
        TfmBackup w(&main);
        bool go = true;
        w.BackupFile1.OnProgress(&w.BackupFile1,
                                 QStringLiteral("/home/user/.local/share/kaoqin/Data/WorkList.db"), 60, go);
        Grab(&w, QStringLiteral("backup.png"));
    }
    {
        auto* brush = new TfmBrush;
        brush->setWindowFlag(Qt::WindowStaysOnTopHint, false);
        brush->show();
        Settle();
        // A card swiped as a reader types it: the digits, then Enter.
        auto* card = brush->findChild<QLineEdit*>(QStringLiteral("FlatEdit1"));
        const auto swipe = [&](const QString& number) {
            card->setText(number);
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
            QApplication::sendEvent(card, &enter);
        };
        swipe(QStringLiteral("1003"));
        Grab(brush->banner(), QStringLiteral("banner-stored.png"));
        Grab(brush, QStringLiteral("punch.png"));
        swipe(QStringLiteral("1003"));
        Grab(brush->banner(), QStringLiteral("banner-refused.png"));
        brush->close();
        delete brush;
    }
    CloseKQDataBase();
    return 0;
}
