#include "gui/shell/tfmmain.h"
#include "gui/platform/application.h"
#include "gui/widgets/centeronscreen.h"

#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/shared.h"
#include "core/data/syssetup.h"
#include "core/shell/operatorinfo.h"
#include "gui/maintenance/tfmauditlog.h"
#include "gui/maintenance/tfmbackup.h"
#include "gui/maintenance/tfmdelete.h"
#include "gui/maintenance/tfminform.h"
#include "gui/platform/guarded.h"
#include "gui/platform/guiservices.h"
#include "gui/punch/tfmbrush.h"
#include "gui/reports/tfmmodify.h"
#include "gui/reports/tfmstat.h"
#include "gui/reports/tfmstatall.h"
#include "gui/setup/tfmcalendar.h"
#include "gui/setup/tfmsetleavetype.h"
#include "gui/setup/tfmsettime.h"
#include "gui/setup/tfmsystimeset.h"
#include "gui/shell/tfmabout.h"
#include "gui/shell/tfmemployee.h"
#include "gui/shell/tfmlogin.h"
#include "gui/widgets/findform.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

static void InitGuiResources() {
    Q_INIT_RESOURCE(gui);
}

namespace kq {

QList<QPoint> TileOrigins(const QSize& picture, const QSize& client) {
    QList<QPoint> origins;
    if (picture.width() <= 0 || picture.height() <= 0) return origins;
    const int rows = client.height() / picture.height() + 1;
    const int cols = client.width() / picture.width() + 1;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            origins.append(QPoint(c * picture.width(), r * picture.height()));
    return origins;
}

TfmMain::TfmMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("fmMain"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(StationFont());

    InitGuiResources();
    m_image1 = QPixmap(QStringLiteral(":/gui/background.png"));
    m_client = new QMdiArea(this);
    m_client->setObjectName(QStringLiteral("ClientWindow"));
    m_client->setBackground(Qt::NoBrush);
    m_client->viewport()->installEventFilter(this);
    setCentralWidget(m_client);

    BuildMenus();
    BuildToolBar();
    BuildStatusBar();
    const int extra = menuBar()->sizeHint().height();
    setFixedSize(509, 173 + extra);
    CenterOnScreen(this);
    FormCreate();
}

TfmMain::~TfmMain() = default;

QAction* TfmMain::addCommand(QMenu* menu, const char* objectName, const QString& caption,
                             void (TfmMain::*handler)()) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(objectName));
    ConnectGuarded(a, &QAction::triggered, this, handler);
    return a;
}

void TfmMain::BuildMenus() {
    QMenu* sys = menuBar()->addMenu(QStringLiteral("【系统】"));
    addCommand(sys, "MIBrush", QStringLiteral("刷卡(&B)"), &TfmMain::MIBrushClick);
    m_logIn = addCommand(sys, "MILogIn", QStringLiteral("登录(&L)"), &TfmMain::MILogInClick);
    m_logOut = addCommand(sys, "MILogOut", QStringLiteral("注销(&O)"), &TfmMain::MILogOutClick);
    m_modiPwd = addCommand(sys, "MIModiPwd", QStringLiteral("密码修改(&M)"), &TfmMain::MIModiPwdClick);
    sys->addSeparator();
    addCommand(sys, "MIExit", QStringLiteral("退出(&X)"), &TfmMain::MIExitClick);
    m_logOut->setEnabled(false);
    m_modiPwd->setEnabled(false);

    QMenu* setup = menuBar()->addMenu(QStringLiteral("【设置】"));
    addCommand(setup, "MIEmployeeSet", QStringLiteral("人员设置(&E)"), &TfmMain::MIEmployeeSetClick);
    addCommand(setup, "MIShiftSet", QStringLiteral("班时设置(&T)"), &TfmMain::MIShiftSetClick);
    addCommand(setup, "MISetLeaveType", QStringLiteral("未到原因(&W)"), &TfmMain::MISetLeaveTypeClick);
    addCommand(setup, "MICalendar", QStringLiteral("节假日与调休(&H)"), &TfmMain::MICalendarClick);
    setup->addSeparator();
    addCommand(setup, "MISysSet", QStringLiteral("系统设置(&S)"), &TfmMain::MISysSetClick);

    QMenu* manage = menuBar()->addMenu(QStringLiteral("【管理】"));
    addCommand(manage, "MIEditData", QStringLiteral("修改数据(&C)"), &TfmMain::MIEditDataClick);
    addCommand(manage, "MIAuditLog", QStringLiteral("修改记录(&L)"), &TfmMain::MIAuditLogClick);
    addCommand(manage, "MIInform", QStringLiteral("编辑公告(&G)"), &TfmMain::MIInformClick);
    manage->addSeparator();
    addCommand(manage, "MIBackup", QStringLiteral("数据备份(&B)"), &TfmMain::MIBackupClick);
    addCommand(manage, "MIRestore", QStringLiteral("数据恢复(&T)"), &TfmMain::MIRestoreClick);
    addCommand(manage, "MIDelete", QStringLiteral("数据删除(&D)"), &TfmMain::MIDeleteClick);

    QMenu* stat = menuBar()->addMenu(QStringLiteral("【统计】"));
    addCommand(stat, "MIQuery", QStringLiteral("考勤查询(&S)"), &TfmMain::MIQueryClick);
    addCommand(stat, "MIStat", QStringLiteral("考勤统计(&Q)"), &TfmMain::MIStatClick);

    QMenu* help = menuBar()->addMenu(QStringLiteral("【帮助】"));
    addCommand(help, "MIHelp", QStringLiteral("系统帮助(&H)"), &TfmMain::MIHelpClick);
    help->addSeparator();
    addCommand(help, "MIAbout", QStringLiteral("关于...(&A)"), &TfmMain::MIAboutClick);
}

void TfmMain::BuildToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("CoolBar1"));
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setIconSize(QSize(16, 16));
    bar->setStyleSheet(QStringLiteral("QToolBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
                                      "stop:0 #f4f7fb, stop:1 #d5dfec); border: 0; }"));
    const auto add = [&](const char* objectName, const QString& caption, QStyle::StandardPixmap icon,
                         void (TfmMain::*handler)()) {
        QAction* a = bar->addAction(style()->standardIcon(icon), caption);
        a->setObjectName(QLatin1String(objectName));
        ConnectGuarded(a, &QAction::triggered, this, handler);
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(a))) {
            button->setAutoRaise(true);
            button->setFixedSize(55, 35);
        }
    };
    add("TBBrush", QStringLiteral("刷卡"), QStyle::SP_DialogApplyButton, &TfmMain::MIBrushClick);
    bar->addSeparator();
    add("TBLogIn", QStringLiteral("登录"), QStyle::SP_DialogYesButton, &TfmMain::MILogInClick);
    add("TBBackup", QStringLiteral("数据备份"), QStyle::SP_DialogSaveButton, &TfmMain::MIBackupClick);
    bar->addSeparator();
    add("TBQuery", QStringLiteral("考勤查询"), QStyle::SP_FileDialogContentsView, &TfmMain::MIQueryClick);
    add("TBStat", QStringLiteral("考勤统计"), QStyle::SP_FileDialogDetailedView, &TfmMain::MIStatClick);
    bar->addSeparator();
    add("TBExit", QStringLiteral("退出"), QStyle::SP_DialogCloseButton, &TfmMain::MIExitClick);
}

void TfmMain::BuildStatusBar() {
    m_panel0 = new QLabel(QStringLiteral("当前时间"), this);
    m_panel0->setObjectName(QStringLiteral("StatusPanel0"));
    m_panel0->setAlignment(Qt::AlignCenter);
    m_panel0->setFixedWidth(60);
    m_panel1 = new QLabel(this);
    m_panel1->setObjectName(QStringLiteral("StatusPanel1"));
    m_panel1->setMinimumWidth(50);
    // Who is signed in, beside the date; empty while nobody is.
    m_panelOperator = new QLabel(this);
    m_panelOperator->setObjectName(QStringLiteral("StatusPanelOperator"));
    statusBar()->addWidget(m_panel0);
    statusBar()->addWidget(m_panel1);
    statusBar()->addWidget(m_panelOperator, 1);
}

void TfmMain::FormCreate() {
    m_signedIn = false;
    // Each step may fail on storage; the message is shown, later steps are skipped and the
    // window opens all the same.
    Guarded([&] {
        EnsureDataFolder();
        SetPromptInfo(CaptionDateText(Now().date()));
        setWindowTitle(ReadSysSetup().CompanyName);
        ExecSql(QStringLiteral("delete from WorkList where Name='' or Name is null"));
    });
}

void TfmMain::SetPromptInfo(const QString& text) {
    m_panel1->setText(text);
    m_panel1->repaint();
}

void TfmMain::SetLogonState(bool signedIn) {
    m_signedIn = signedIn;
    m_logIn->setEnabled(!signedIn);
    m_logOut->setEnabled(signedIn);
    m_modiPwd->setEnabled(signedIn);
    m_panelOperator->setText(signedIn ? QStringLiteral("操作员：%1").arg(CurOperator().Name) : QString());
}

bool TfmMain::Gate(int function) {
    if (HasRight(CurOperator().Rigth, function)) return true;
    Prompt().message(QStringLiteral("提示"),
                     m_signedIn ? QStringLiteral("无此权限！") : QStringLiteral("请先登陆！"));
    return false;
}

void TfmMain::MIBrushClick() {
    // A kiosk never hands the administration to the next person: the administrative windows
    // close and the operator is signed out before the punch screen shows. A window that refuses
    // to close (its pending edit could not be posted) keeps the operator here.
    if (!CloseToolWindows()) return;
    MILogOutClick();
    TfmBrush* brush = FindForm<TfmBrush>();
    if (!brush) brush = new TfmBrush;
    brush->show();
    brush->raise();
    brush->activateWindow();
    hide();
}

void TfmMain::MILogInClick() {
    if (OperatorLogon(LogonSignIn, this)) SetLogonState(true);
}

void TfmMain::MILogOutClick() {
    CurOperator().Rigth.clear();
    SetLogonState(false);
}

void TfmMain::MIModiPwdClick() {
    OperatorLogon(LogonChangePassword, this);
}

void TfmMain::MIExitClick() {
    close();
}

void TfmMain::MIEmployeeSetClick() {
    if (!Gate(FuncEmployee)) return;
    TfmEmployee form(this);
    form.exec();
}

void TfmMain::MIShiftSetClick() {
    if (!Gate(FuncShift)) return;
    TfmSetTime form(this);
    form.exec();
}

void TfmMain::MISetLeaveTypeClick() {
    if (!Gate(FuncLeaveType)) return;
    ShowSingle<TfmSetLeaveType>(this);
}

// The calendar belongs with the shifts: who may set the shifts may set the days they apply on.
void TfmMain::MICalendarClick() {
    if (!Gate(FuncShift)) return;
    TfmCalendar form(this);
    form.exec();
}

void TfmMain::MISysSetClick() {
    if (!Gate(FuncSystem)) return;
    TfmSysTimeSet form(this);
    form.exec();
}

void TfmMain::MIEditDataClick() {
    if (!Gate(FuncModify)) return;
    TfmModify window(this);
    window.exec();
}

// Whoever may correct records may read the log of corrections.
void TfmMain::MIAuditLogClick() {
    if (!Gate(FuncModify)) return;
    TfmAuditLog window(this);
    window.exec();
}

void TfmMain::MIInformClick() {
    if (!Gate(FuncInform)) return;
    ShowSingle<TfmInform>(this);
}

void TfmMain::MIBackupClick() {
    if (!Gate(FuncBackup)) return;
    Guarded([&] { BackupData(DataFolder(), this); });
}

void TfmMain::MIRestoreClick() {
    if (!Gate(FuncRestore)) return;
    bool restored = false;
    Guarded([&] { restored = RestoreData(DataFolder(), this, [this] { return CloseDataWindows(); }); });
    if (!restored) return;
    // The windows that stay read the restored data again.
    if (TfmBrush* brush = FindForm<TfmBrush>()) brush->ReloadData();
    Guarded([&] { setWindowTitle(ReadSysSetup().CompanyName); });
}

bool TfmMain::CloseDataWindows() {
    // Closing posts a pending edit into the data about to be replaced; after the restore nothing
    // is left that could write into the restored data by the old rows. The punch window stays
    // and reads the data again.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window == this || !window->isVisible() || qobject_cast<TfmBrush*>(window)) continue;
        if (!window->close()) return false;
    }
    return true;
}

void TfmMain::MIDeleteClick() {
    if (!Gate(FuncDelete)) return;
    ShowSingle<TfmDelete>(this);
}

void TfmMain::MIQueryClick() {
    if (!Gate(FuncQuery)) return;
    (new TfmStat(this))->show();
}

void TfmMain::MIStatClick() {
    if (!Gate(FuncStat)) return;
    TfmStatAll window(this);
    window.exec();
}

// Help.chm in the data folder when there is one (as on Windows), else the HTML manual.
void TfmMain::MIHelpClick() {
    QString help = DataFile(QStringLiteral("Help.chm"));
    if (!QFileInfo::exists(help)) {
        if (const QString manual = GuiServices().desktop->manualIndex(); !manual.isEmpty()) help = manual;
    }
    if (!QFileInfo::exists(help)) {
        Prompt().message(QStringLiteral("提示"),
                         QStringLiteral("找不到帮助文件：%1").arg(QDir::toNativeSeparators(help)));
        return;
    }
    if (!GuiServices().desktop->openFile(help))
        Prompt().message(QStringLiteral("提示"),
                         QStringLiteral("无法打开帮助文件：%1").arg(QDir::toNativeSeparators(help)));
}

void TfmMain::MIAboutClick() {
    TfmAbout about(this);
    about.exec();
}

void TfmMain::FormClose() {
    if (TfmBrush* brush = FindForm<TfmBrush>()) brush->close();
}

bool TfmMain::CloseToolWindows() {
    QList<QWidget*> forms = {FindForm<TfmInform>(), FindForm<TfmSetLeaveType>(), FindForm<TfmDelete>()};
    for (TfmStat* query : findChildren<TfmStat*>(QString(), Qt::FindDirectChildrenOnly))
        forms << query;
    for (QWidget* form : forms) {
        if (form && form->isVisible() && !form->close()) return false;
    }
    return true;
}

void TfmMain::closeEvent(QCloseEvent* event) {
    // The non-modal windows close first, so that a pending notice edit is posted; a window that
    // refuses to close (its post failed) keeps the program open.
    if (!CloseToolWindows()) {
        event->ignore();
        return;
    }
    FormClose();
    QMainWindow::closeEvent(event);
}

bool TfmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_client->viewport() && event->type() == QEvent::Paint && !m_image1.isNull()) {
        QPainter painter(m_client->viewport());
        for (const QPoint& p : TileOrigins(m_image1.size(), m_client->viewport()->size()))
            painter.drawPixmap(p, m_image1);
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace kq
