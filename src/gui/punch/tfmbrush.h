#pragma once

#include "core/punch/brushinfo.h"
#include "core/punch/punchrecorder.h"
#include "core/punch/slotchoice.h"
#include "gui/widgets/childteardown.h"

#include <QList>
#include <QWidget>

class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QTextEdit;
class QTimer;
class QToolButton;

namespace kq {

class DropDownComboBox;
class Led;
class PunchBanner;

// The punch station: clock, today's notice, the selected shift slot, the card field and the
// results. It lives until the program ends and is only hidden and shown again.
class TfmBrush : public QWidget {
    Q_OBJECT
public:
    explicit TfmBrush(QWidget* parent = nullptr);
    ~TfmBrush() override;

    // Set on the window that started the program: closing it ends the program.
    void setEndsProgram(bool ends) { m_endsProgram = ends; }

    // Reads the shifts and settings again (after a restore replaced the data); the notice of
    // the day is read at every showing.
    void ReloadData();
    void AutoSelectSlot();
    void ArrangeWindow(int mode);
    void FlatEdit1KeyDown(int key);
    void FlatComboBoxModDropDown();
    void BrushBeep(int kind);

    const QList<TBrushInfo>& brushInfo() const { return m_brushInfo; }
    const QList<TSlotTime>& slotTable() const { return m_clientDataSet2; }
    int tickCount() const { return m_tickCount; }
    PunchBanner* banner() const { return m_banner; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void Timer1Timer();
    void Timer2Timer();
    void FlatEdit1KeyPress(QChar key);
    void FlatComboBoxModChange();
    void FlatSpeedButton1Click();
    void DBRichEdit1Enter();
    void ListBox1Enter();
    void BuildControls();
    void FormCreate();
    void ShowClock();
    void CenterPanelShow();
    bool ReadShifts();
    bool FollowShiftChanges();
    void Report(const QString& line, int kind);
    void ReportFailure(const QString& message);
    void ShowAnswer(const PunchAnswer& answer, const QDateTime& now);

    BrushShifts m_shifts;
    QList<TBrushInfo> m_brushInfo;
    QList<TSlotTime> m_clientDataSet2;
    bool m_isBeep = false;
    int m_doubleSwipeSeconds = 0; // the settings' double-swipe refusal, 0: off
    int m_tickCount = 0;
    bool m_endsProgram = false;

    QTimer* m_timer1 = nullptr;
    QTimer* m_timer2 = nullptr;
    QFrame* m_panel2 = nullptr;
    QFrame* m_panel3 = nullptr;
    QTextEdit* m_dbRichEdit1 = nullptr;
    QFrame* m_panelBase = nullptr;
    QFrame* m_panelShow = nullptr;
    Led* m_led = nullptr;
    QLabel* m_label4 = nullptr;
    QToolButton* m_flatSpeedButton1 = nullptr;
    DropDownComboBox* m_flatComboBoxMod = nullptr;
    QLineEdit* m_flatEdit1 = nullptr;
    QListWidget* m_listBox1 = nullptr;
    PunchBanner* m_banner = nullptr;

    // Declared last: destroyed first, while the rest of the window is whole.
    ChildTeardown m_childTeardown{this};
};

} // namespace kq
