#include "gui/punch/tfmbrush.h"
#include "gui/platform/application.h"
#include "gui/platform/guarded.h"
#include "gui/widgets/centeronscreen.h"

#include "core/data/database.h"
#include "core/data/datafolder.h"
#include "core/data/kqerror.h"
#include "core/data/shared.h"
#include "core/data/syssetup.h"
#include "core/platform/platform.h"
#include "core/punch/punchrecorder.h"
#include "gui/punch/punchbanner.h"
#include "gui/shell/tfmmain.h"
#include "gui/widgets/dropdowncombobox.h"
#include "gui/widgets/findform.h"
#include "gui/widgets/led.h"
#include "gui/widgets/passwordecho.h"
#include "gui/widgets/richtext.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
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

// The height, from the designed one up, at which a list shows whole lines only.
int WholeLinesHeight(QListWidget* list, int designed) {
    list->addItem(QStringLiteral("0"));
    const int line = qMax(1, list->sizeHintForRow(0));
    list->clear();
    const int frame = 2 * list->frameWidth();
    return (designed - frame + line - 1) / line * line + frame;
}

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
    setFont(StationFont());
    BuildControls();
    FitOnScreen(this, QSize(792, 518));
    FormCreate();
}

TfmBrush::~TfmBrush() = default;

void TfmBrush::BuildControls() {
    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(1000);
    connect(m_timer1, &QTimer::timeout, this, &TfmBrush::Timer1Timer);
    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(500);
    m_timer2->setSingleShot(true);
    connect(m_timer2, &QTimer::timeout, this, &TfmBrush::Timer2Timer);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    m_panel2 = Panel("Panel2", this);
    auto* upper = new QVBoxLayout(m_panel2);
    upper->setContentsMargins(0, 0, 0, 0);
    upper->setSpacing(0);
    m_panel3 = Panel("Panel3", m_panel2);
    auto* notice = new QVBoxLayout(m_panel3);
    notice->setContentsMargins(0, 0, 0, 0);
    m_dbRichEdit1 = new QTextEdit(m_panel3);
    m_dbRichEdit1->setObjectName(QStringLiteral("DBRichEdit1"));
    m_dbRichEdit1->setReadOnly(true);
    m_dbRichEdit1->installEventFilter(this);
    notice->addWidget(m_dbRichEdit1);
    m_panelBase = Panel("PanelBase", m_panel2);
    m_panelBase->setFixedHeight(kBaseHeight);
    m_panelBase->setFrameShape(QFrame::StyledPanel);
    m_panelBase->installEventFilter(this);
    upper->addWidget(m_panel3, 1);
    upper->addWidget(m_panelBase, 0, Qt::AlignBottom);
    outer->addWidget(m_panel2, 1);
    m_listBox1 = new QListWidget(this);
    m_listBox1->setObjectName(QStringLiteral("ListBox1"));
    m_listBox1->setFixedHeight(WholeLinesHeight(m_listBox1, kListHeight));
    m_listBox1->installEventFilter(this);
    outer->addWidget(m_listBox1);

    m_panelShow = Panel("PanelShow", m_panelBase);
    m_panelShow->setFixedSize(kShowWidth, kShowHeight);
    m_led = new Led(m_panelShow);
    m_led->setObjectName(QStringLiteral("Led"));
    m_led->move(16, 22);
    m_label4 = new QLabel(QStringLiteral("00:00:00"), m_panelShow);
    m_label4->setObjectName(QStringLiteral("Label4"));
    QFont clockFont = font();
    clockFont.setBold(true);
    clockFont.setPixelSize(32);
    m_label4->setFont(clockFont);
    m_label4->setGeometry(44, 8, 220, 44);
    m_flatSpeedButton1 = new QToolButton(m_panelShow);
    m_flatSpeedButton1->setObjectName(QStringLiteral("FlatSpeedButton1"));
    m_flatSpeedButton1->setToolTip(QStringLiteral("返回主程序"));
    m_flatSpeedButton1->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    m_flatSpeedButton1->setIconSize(QSize(24, 24));
    m_flatSpeedButton1->setAutoRaise(true);
    m_flatSpeedButton1->setFocusPolicy(Qt::NoFocus);
    m_flatSpeedButton1->setGeometry(293, 10, 40, 40);
    connect(m_flatSpeedButton1, &QToolButton::clicked, this, &TfmBrush::FlatSpeedButton1Click);

    auto* label1 = new QLabel(QStringLiteral("班时名称:"), m_panelShow);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setGeometry(16, 78, 80, 28);
    m_flatComboBoxMod = new DropDownComboBox(m_panelShow);
    m_flatComboBoxMod->setObjectName(QStringLiteral("FlatComboBoxMod"));
    m_flatComboBoxMod->setMaxVisibleItems(20);
    m_flatComboBoxMod->setStyleSheet(QStringLiteral("QComboBox { color: blue; font-weight: bold; }"));
    m_flatComboBoxMod->setGeometry(100, 78, 229, 28);
    connect(m_flatComboBoxMod, &DropDownComboBox::droppedDown, this, &TfmBrush::FlatComboBoxModDropDown);
    connect(m_flatComboBoxMod, &DropDownComboBox::closedUp, this, &TfmBrush::FlatComboBoxModChange);
    connect(m_flatComboBoxMod, &QComboBox::activated, this, &TfmBrush::FlatComboBoxModChange);

    auto* label2 = new QLabel(QStringLiteral("刷卡位置:"), m_panelShow);
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setGeometry(16, 128, 80, 28);
    m_flatEdit1 = new QLineEdit(m_panelShow);
    m_flatEdit1->setObjectName(QStringLiteral("FlatEdit1"));
    EchoAsStars(m_flatEdit1);
    m_flatEdit1->setGeometry(100, 128, 229, 28);
    m_flatEdit1->installEventFilter(this);
    setFocusProxy(m_flatEdit1);
    m_banner = new PunchBanner(this);
    // Tab goes from the slot list to the card field, then to the result list below.
    setTabOrder(m_flatComboBoxMod, m_flatEdit1);
    setTabOrder(m_flatEdit1, m_listBox1);
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
    m_brushInfo = m_shifts.info();
    m_clientDataSet2 = BuildSlotTable(m_brushInfo);
    m_flatComboBoxMod->clear();
    m_flatComboBoxMod->addItems(SlotLabels(m_brushInfo));
    m_flatComboBoxMod->setCurrentIndex(m_flatComboBoxMod->count() > 0 ? 0 : -1);
    return true;
}

// Run at each swipe and clock tick: after a change of the shifts the selected slot keeps its
// label when that still exists, otherwise the automatic choice picks one. Returns whether the
// shifts were read again.
bool TfmBrush::FollowShiftChanges() {
    const QString label = m_flatComboBoxMod->currentText();
    if (!ReadShifts()) return false;
    const int kept = label.isEmpty() ? -1 : m_flatComboBoxMod->findText(label);
    if (kept >= 0)
        m_flatComboBoxMod->setCurrentIndex(kept);
    else
        AutoSelectSlot();
    return true;
}

void TfmBrush::ReloadData() {
    FormCreate();
}

void TfmBrush::FormShow() {
    m_timer1->start();
    ShowClock();
    AutoSelectSlot();
    m_tickCount = 0;
    bool found = false;
    try {
        QSqlQuery q =
            ExecSql(QStringLiteral("select Inform from Inform where WDate=? order by rowid limit 1"),
                    {DateText(Now().date())});
        if (q.next()) {
            found = true;
            SetRichText(m_dbRichEdit1, q.value(0).toString());
        }
    } catch (const std::exception& e) {
        ReportFailure(ErrorText(e));
    }
    ArrangeWindow(found ? 0 : 1);
    m_flatEdit1->setFocus();
}

void TfmBrush::ShowClock() {
    const QDateTime now = Now();
    setWindowTitle(QStringLiteral("考勤刷卡       ") + CaptionDateText(now.date()));
    m_label4->setText(TimeText(now.time()));
}

void TfmBrush::Timer1Timer() {
    if (!m_flatEdit1->hasFocus()) m_flatEdit1->setFocus();
    ShowClock();
    if (FollowShiftChanges() && !m_shifts.error().isEmpty()) ReportFailure(m_shifts.error());
    if (++m_tickCount >= 60) {
        AutoSelectSlot();
        m_tickCount = 0;
    }
}

void TfmBrush::AutoSelectSlot() {
    QStringList labels;
    for (int i = 0; i < m_flatComboBoxMod->count(); ++i)
        labels << m_flatComboBoxMod->itemText(i);
    m_flatComboBoxMod->setCurrentIndex(kq::AutoSelectSlot(m_brushInfo, m_clientDataSet2, labels, Now().time(),
                                                          m_flatComboBoxMod->currentIndex()));
}

void TfmBrush::ArrangeWindow(int mode) {
    if (mode == 0) {
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
    } else {
        setWindowState(Qt::WindowNoState);
        m_dbRichEdit1->clear();
        m_panel3->setFixedHeight(1);
        m_panel3->hide();
        layout()->activate(); // the smaller minimum size first, so the resize is not clamped
        resize(kShowWidth + 20, kBaseHeight + m_listBox1->minimumHeight());
        CenterOnScreen(this);
    }
    CenterPanelShow();
}

void TfmBrush::CenterPanelShow() {
    m_panelShow->move((m_panelBase->width() - m_panelShow->width()) / 2,
                      (m_panelBase->height() - m_panelShow->height()) / 2);
}

void TfmBrush::FlatEdit1KeyPress(QChar key) {
    if (key != QChar(13)) return;
    const QString card = m_flatEdit1->text().trimmed();
    if (card.isEmpty()) return;
    m_led->setColor(QColor(255, 0, 0));
    m_led->repaint();
    m_timer2->start();
    const QDateTime now = Now();
    try {
        FollowShiftChanges();
        if (!m_shifts.error().isEmpty()) throw KqError(m_shifts.error());
        const PunchResult result =
            RecordPunch(card, m_brushInfo, m_flatComboBoxMod->currentIndex(), now, m_doubleSwipeSeconds);
        m_flatEdit1->clear();
        ShowAnswer(AnswerOf(result, card, now), now);
        Report(result.line, result.beepKind);
    } catch (const std::exception& e) {
        // The card stays for another try with Enter; selected, so that the next swipe replaces
        // it instead of being appended to it.
        ShowAnswer(FailureAnswer(ErrorText(e)), now);
        ReportFailure(QStringLiteral("刷卡未记录：") + ErrorText(e));
        m_flatEdit1->selectAll();
    }
    m_flatEdit1->setFocus();
}

// The answer in large type above the controls, beside the result line.
void TfmBrush::ShowAnswer(const PunchAnswer& answer, const QDateTime& now) {
    QRect controls(m_panelBase->mapToGlobal(QPoint(0, 0)), m_panelBase->size());
    // Without the notice the controls open the window: the banner goes above its title bar.
    if (m_panelBase->mapTo(this, QPoint(0, 0)).y() == 0) controls.setTop(frameGeometry().top());
    m_banner->showAnswer(answer, now, controls);
}

void TfmBrush::Report(const QString& line, int kind) {
    m_listBox1->insertItem(0, line);
    m_listBox1->repaint();
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
    m_timer2->stop();
}

void TfmBrush::FlatEdit1KeyDown(int key) {
    const int i = m_flatComboBoxMod->currentIndex();
    if (key == Qt::Key_Up && i > 0) m_flatComboBoxMod->setCurrentIndex(i - 1);
    if (key == Qt::Key_Down && i + 1 < m_flatComboBoxMod->count()) m_flatComboBoxMod->setCurrentIndex(i + 1);
}

// The reader's keystrokes must always reach the card field.
void TfmBrush::DBRichEdit1Enter() {
    m_flatEdit1->setFocus();
}

void TfmBrush::ListBox1Enter() {
    m_flatEdit1->setFocus();
}

void TfmBrush::FlatComboBoxModDropDown() {
    m_timer1->stop();
}

void TfmBrush::FlatComboBoxModChange() {
    m_flatEdit1->setFocus();
    if (isVisible()) m_timer1->start();
}

void TfmBrush::FlatSpeedButton1Click() {
    m_timer1->stop();
    TfmMain* main = FindForm<TfmMain>();
    if (!main) main = new TfmMain;
    main->show();
    hide();
}

void TfmBrush::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) Guarded([this] { FormShow(); });
}

void TfmBrush::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous()) m_banner->hide();
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
        m_flatEdit1->setFocus();
    }
}

bool TfmBrush::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_flatEdit1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            FlatEdit1KeyPress(QChar(13));
            return true;
        }
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            FlatEdit1KeyDown(key);
            return true;
        }
    } else if (watched == m_dbRichEdit1 && event->type() == QEvent::FocusIn) {
        DBRichEdit1Enter();
    } else if (watched == m_listBox1 && event->type() == QEvent::FocusIn) {
        ListBox1Enter();
    } else if (watched == m_panelBase && event->type() == QEvent::Resize) {
        CenterPanelShow();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kq
