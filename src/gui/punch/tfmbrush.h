#pragma once

#include "core/punch/brushinfo.h"
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
    void FormShow();
    void Timer1Timer();
    void Timer2Timer();
    void AutoSelectSlot();
    void ArrangeWindow(int mode);
    void FlatEdit1KeyPress(QChar key);
    void FlatEdit1KeyDown(int key);
    void FlatComboBoxModDropDown();
    void FlatComboBoxModChange();
    void FlatSpeedButton1Click();
    void DBRichEdit1Enter();
    void ListBox1Enter();
    void BrushBeep(int kind);

    const QList<TBrushInfo>& brushInfo() const { return BrushInfo; }
    const QList<TSlotTime>& slotTable() const { return ClientDataSet2; }
    int tickCount() const { return TickCount; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void FormCreate();
    void ShowClock();
    void CenterOnScreen();
    void CenterPanelShow();
    bool ReadShifts();
    bool FollowShiftChanges();
    void Report(const QString& line, int kind);
    void ReportFailure(const QString& message);

    BrushShifts m_shifts;
    QList<TBrushInfo> BrushInfo;
    QList<TSlotTime> ClientDataSet2;
    bool m_isBeep = false;
    int m_doubleSwipeSeconds = 0; // the settings' double-swipe refusal, 0: off
    int TickCount = 0;
    bool m_endsProgram = false;

    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    QFrame* Panel2 = nullptr;
    QFrame* Panel3 = nullptr;
    QTextEdit* DBRichEdit1 = nullptr;
    QFrame* PanelBase = nullptr;
    QFrame* PanelShow = nullptr;
    Led* m_led = nullptr;
    QLabel* Label4 = nullptr;
    QToolButton* FlatSpeedButton1 = nullptr;
    DropDownComboBox* FlatComboBoxMod = nullptr;
    QLineEdit* FlatEdit1 = nullptr;
    QListWidget* ListBox1 = nullptr;

    // Declared last: destroyed first, while the rest of the window is whole.
    ChildTeardown m_childTeardown{this};
};

} // namespace kq
