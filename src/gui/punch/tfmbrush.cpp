#include "gui/punch/tfmbrush.h"

#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/kqerror.h"
#include "core/data/shared.h"
#include "core/data/syssetup.h"
#include "core/platform/platform.h"
#include "core/punch/punchrecorder.h"
#include "gui/shell/tfmmain.h"
#include "gui/widgets/dropdowncombobox.h"
#include "gui/widgets/findform.h"
#include "gui/widgets/led.h"
#include "gui/widgets/richtext.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QStyle>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace kq {

namespace {

constexpr int kBaseHeight = 193;
constexpr int kShowWidth = 345;
constexpr int kShowHeight = 187;
constexpr int kListHeight = 65;

QFrame* Panel(const char* name, QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    return panel;
}

} // namespace

TfmBrush::TfmBrush(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("fmBrush"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    setWindowTitle(QStringLiteral("请刷卡"));
    QFont f(QStringLiteral("SimSun"));
    f.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("Noto Sans CJK SC")});
    f.setPixelSize(12);
    setFont(f);
    BuildControls();
    resize(792, 518);
    CenterOnScreen();
    FormCreate();
}

TfmBrush::~TfmBrush() = default;

void TfmBrush::BuildControls() {
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TfmBrush::Timer1Timer);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(500);
    Timer2->setSingleShot(true);
    connect(Timer2, &QTimer::timeout, this, &TfmBrush::Timer2Timer);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    Panel2 = Panel("Panel2", this);
    auto* upper = new QVBoxLayout(Panel2);
    upper->setContentsMargins(0, 0, 0, 0);
    upper->setSpacing(0);
    Panel3 = Panel("Panel3", Panel2);
    auto* notice = new QVBoxLayout(Panel3);
    notice->setContentsMargins(0, 0, 0, 0);
    DBRichEdit1 = new QTextEdit(Panel3);
    DBRichEdit1->setObjectName(QStringLiteral("DBRichEdit1"));
    DBRichEdit1->setReadOnly(true);
    DBRichEdit1->installEventFilter(this);
    notice->addWidget(DBRichEdit1);
    PanelBase = Panel("PanelBase", Panel2);
    PanelBase->setFixedHeight(kBaseHeight);
    PanelBase->setFrameShape(QFrame::StyledPanel);
    PanelBase->installEventFilter(this);
    upper->addWidget(Panel3, 1);
    upper->addWidget(PanelBase, 0, Qt::AlignBottom);
    outer->addWidget(Panel2, 1);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setFixedHeight(kListHeight);
    ListBox1->installEventFilter(this);
    outer->addWidget(ListBox1);

    PanelShow = Panel("PanelShow", PanelBase);
    PanelShow->setFixedSize(kShowWidth, kShowHeight);
    m_led = new Led(PanelShow);
    m_led->setObjectName(QStringLiteral("Led"));
    m_led->move(16, 22);
    Label4 = new QLabel(QStringLiteral("00:00:00"), PanelShow);
    Label4->setObjectName(QStringLiteral("Label4"));
    QFont clockFont = font();
    clockFont.setBold(true);
    clockFont.setPixelSize(32);
    Label4->setFont(clockFont);
    Label4->setGeometry(44, 8, 220, 44);
    FlatSpeedButton1 = new QToolButton(PanelShow);
    FlatSpeedButton1->setObjectName(QStringLiteral("FlatSpeedButton1"));
    FlatSpeedButton1->setToolTip(QStringLiteral("返回主程序"));
    FlatSpeedButton1->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    FlatSpeedButton1->setIconSize(QSize(24, 24));
    FlatSpeedButton1->setAutoRaise(true);
    FlatSpeedButton1->setFocusPolicy(Qt::NoFocus);
    FlatSpeedButton1->setGeometry(293, 10, 40, 40);
    connect(FlatSpeedButton1, &QToolButton::clicked, this, &TfmBrush::FlatSpeedButton1Click);

    auto* label1 = new QLabel(QStringLiteral("班时名称:"), PanelShow);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setGeometry(16, 78, 80, 28);
    FlatComboBoxMod = new DropDownComboBox(PanelShow);
    FlatComboBoxMod->setObjectName(QStringLiteral("FlatComboBoxMod"));
    FlatComboBoxMod->setMaxVisibleItems(20);
    FlatComboBoxMod->setStyleSheet(QStringLiteral("QComboBox { color: blue; font-weight: bold; }"));
    FlatComboBoxMod->setGeometry(100, 78, 229, 28);
    connect(FlatComboBoxMod, &DropDownComboBox::droppedDown, this, &TfmBrush::FlatComboBoxModDropDown);
    connect(FlatComboBoxMod, &DropDownComboBox::closedUp, this, &TfmBrush::FlatComboBoxModChange);
    connect(FlatComboBoxMod, &QComboBox::activated, this, &TfmBrush::FlatComboBoxModChange);

    auto* label2 = new QLabel(QStringLiteral("刷卡位置:"), PanelShow);
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setGeometry(16, 128, 80, 28);
    FlatEdit1 = new QLineEdit(PanelShow);
    FlatEdit1->setObjectName(QStringLiteral("FlatEdit1"));
    FlatEdit1->setEchoMode(QLineEdit::Password);
    FlatEdit1->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }")); // "*"
    FlatEdit1->setGeometry(100, 128, 229, 28);
    FlatEdit1->installEventFilter(this);
    setFocusProxy(FlatEdit1);
}

// Every failure on this screen goes to the result list: a message box would take the next
// card's digits and its Enter, and that swipe would be neither stored nor answered.
void TfmBrush::FormCreate() {
    EnsureDataFolder();
    if (ReadShifts() && !m_shifts.error().isEmpty()) ReportFailure(m_shifts.error());
    try {
        const SysSetupInfo settings = ReadSysSetup();
        m_isBeep = settings.IsBeep;
        m_doubleSwipeSeconds = settings.DoubleSwipeSeconds;
    } catch (const std::exception& e) {
        ReportFailure(ErrorText(e));
    }
}

// Builds the shift data, the slot table and the slot list again when ShiftTime.dat changed since
// it was read, selecting the first slot; returns whether it did.
bool TfmBrush::ReadShifts() {
    if (!m_shifts.refresh()) return false;
    BrushInfo = m_shifts.info();
    ClientDataSet2 = BuildSlotTable(BrushInfo);
    FlatComboBoxMod->clear();
    FlatComboBoxMod->addItems(SlotLabels(BrushInfo));
    FlatComboBoxMod->setCurrentIndex(FlatComboBoxMod->count() > 0 ? 0 : -1);
    return true;
}

// Run at each swipe and clock tick: after a change of the shifts the selected slot keeps its
// label when that still exists, otherwise the automatic choice picks one. Returns whether the
// shifts were read again.
bool TfmBrush::FollowShiftChanges() {
    const QString label = FlatComboBoxMod->currentText();
    if (!ReadShifts()) return false;
    const int kept = label.isEmpty() ? -1 : FlatComboBoxMod->findText(label);
    if (kept >= 0)
        FlatComboBoxMod->setCurrentIndex(kept);
    else
        AutoSelectSlot();
    return true;
}

void TfmBrush::ReloadData() {
    FormCreate();
}

void TfmBrush::FormShow() {
    Timer1->start();
    ShowClock();
    AutoSelectSlot();
    TickCount = 0;
    bool found = false;
    try {
        QSqlQuery q =
            ExecSql(QStringLiteral("select Inform from Inform where WDate=? order by rowid limit 1"),
                    {DateText(Now().date())});
        if (q.next()) {
            found = true;
            SetRichText(DBRichEdit1, q.value(0).toString());
        }
    } catch (const std::exception& e) {
        ReportFailure(ErrorText(e));
    }
    ArrangeWindow(found ? 0 : 1);
    FlatEdit1->setFocus();
}

void TfmBrush::ShowClock() {
    const QDateTime now = Now();
    setWindowTitle(QStringLiteral("考勤刷卡       ") + CaptionDateText(now.date()));
    Label4->setText(TimeText(now.time()));
}

void TfmBrush::Timer1Timer() {
    if (!FlatEdit1->hasFocus()) FlatEdit1->setFocus();
    ShowClock();
    if (FollowShiftChanges() && !m_shifts.error().isEmpty()) ReportFailure(m_shifts.error());
    if (++TickCount >= 60) {
        AutoSelectSlot();
        TickCount = 0;
    }
}

void TfmBrush::AutoSelectSlot() {
    QStringList labels;
    for (int i = 0; i < FlatComboBoxMod->count(); ++i)
        labels << FlatComboBoxMod->itemText(i);
    FlatComboBoxMod->setCurrentIndex(
        kq::AutoSelectSlot(BrushInfo, ClientDataSet2, labels, Now().time(), FlatComboBoxMod->currentIndex()));
}

void TfmBrush::ArrangeWindow(int mode) {
    if (mode == 0) {
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
    } else {
        setWindowState(Qt::WindowNoState);
        DBRichEdit1->clear();
        Panel3->setFixedHeight(1);
        Panel3->hide();
        layout()->activate(); // the smaller minimum size first, so the resize is not clamped
        resize(kShowWidth + 20, kBaseHeight + kListHeight);
        CenterOnScreen();
    }
    CenterPanelShow();
}

void TfmBrush::CenterOnScreen() {
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void TfmBrush::CenterPanelShow() {
    PanelShow->move((PanelBase->width() - PanelShow->width()) / 2,
                    (PanelBase->height() - PanelShow->height()) / 2);
}

void TfmBrush::FlatEdit1KeyPress(QChar key) {
    if (key != QChar(13)) return;
    const QString card = FlatEdit1->text().trimmed();
    if (card.isEmpty()) return;
    m_led->setColor(QColor(255, 0, 0));
    m_led->repaint();
    Timer2->start();
    try {
        FollowShiftChanges();
        if (!m_shifts.error().isEmpty()) throw KqError(m_shifts.error());
        const PunchResult result =
            RecordPunch(card, BrushInfo, FlatComboBoxMod->currentIndex(), Now(), m_doubleSwipeSeconds);
        FlatEdit1->clear();
        Report(result.line, result.beepKind);
    } catch (const std::exception& e) {
        // The card stays for another try with Enter; selected, so that the next swipe replaces
        // it instead of being appended to it.
        ReportFailure(QStringLiteral("刷卡未记录：") + ErrorText(e));
        FlatEdit1->selectAll();
    }
    FlatEdit1->setFocus();
}

void TfmBrush::Report(const QString& line, int kind) {
    ListBox1->insertItem(0, line);
    ListBox1->repaint();
    BrushBeep(kind);
}

// A failed punch, or data of the station that cannot be read: a line of its own with the
// engine's message, and the alarm.
void TfmBrush::ReportFailure(const QString& message) {
    Report(QStringLiteral("**** ") + message, BeepAlarm);
}

void TfmBrush::BrushBeep(int kind) {
    kq::BrushBeep(kind, m_isBeep);
}

void TfmBrush::Timer2Timer() {
    m_led->setColor(QColor(0, 255, 0));
    Timer2->stop();
}

void TfmBrush::FlatEdit1KeyDown(int key) {
    const int i = FlatComboBoxMod->currentIndex();
    if (key == Qt::Key_Up && i > 0) FlatComboBoxMod->setCurrentIndex(i - 1);
    if (key == Qt::Key_Down && i + 1 < FlatComboBoxMod->count()) FlatComboBoxMod->setCurrentIndex(i + 1);
}

// The reader's keystrokes must always reach the card field.
void TfmBrush::DBRichEdit1Enter() {
    FlatEdit1->setFocus();
}

void TfmBrush::ListBox1Enter() {
    FlatEdit1->setFocus();
}

void TfmBrush::FlatComboBoxModDropDown() {
    Timer1->stop();
}

void TfmBrush::FlatComboBoxModChange() {
    FlatEdit1->setFocus();
    if (isVisible()) Timer1->start();
}

void TfmBrush::FlatSpeedButton1Click() {
    Timer1->stop();
    TfmMain* main = FindForm<TfmMain>();
    if (!main) main = new TfmMain;
    main->show();
    hide();
}

void TfmBrush::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TfmBrush::closeEvent(QCloseEvent* event) {
    FlatSpeedButton1Click(); // FormClose: the same steps as the return button
    // The window system's close command (a title-bar button that a window manager offers despite
    // the hints) only returns to the main window; the program ends when the main window closes.
    if (m_endsProgram && !event->spontaneous()) {
        event->accept();
        QCoreApplication::exit(0);
        return;
    }
    event->ignore(); // hidden above; the window lives on
}

// The title bar offers no minimise, maximise or close buttons (the window hints); where a window
// manager minimises the station all the same, it comes back at once, and whenever it becomes
// active again the keyboard goes to the card field, so that no swipe is typed into nothing.
void TfmBrush::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized()) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!isVisible() || !isMinimized()) return;
                setWindowState(windowState() & ~Qt::WindowMinimized);
                raise();
                activateWindow();
            },
            Qt::QueuedConnection);
    } else if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        FlatEdit1->setFocus();
    }
}

bool TfmBrush::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FlatEdit1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            FlatEdit1KeyPress(QChar(13));
            return true;
        }
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            FlatEdit1KeyDown(key);
            return true;
        }
    } else if (watched == DBRichEdit1 && event->type() == QEvent::FocusIn) {
        DBRichEdit1Enter();
    } else if (watched == ListBox1 && event->type() == QEvent::FocusIn) {
        ListBox1Enter();
    } else if (watched == PanelBase && event->type() == QEvent::Resize) {
        CenterPanelShow();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kq
