// Window TfmMain: the main window (caption = company name), menus, toolbar and rights gate.
#pragma once

#include "gui/widgets/childteardown.h"

#include <QList>
#include <QMainWindow>
#include <QPixmap>
#include <QPoint>
#include <QSize>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;

namespace kq {

// Where the tiles of the background picture go: (client height div H) + 1 rows of
// (client width div W) + 1 tiles, row by row from the top left.
QList<QPoint> TileOrigins(const QSize& picture, const QSize& client);

// The hub: menus, toolbar and status bar; every administrative command passes the rights gate.
class TfmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfmMain(QWidget* parent = nullptr);
    ~TfmMain() override;

    // Puts text into status panel 1.
    void SetPromptInfo(const QString& text);
    // Menu states, the signed-in flag and the operator named in the status bar after a sign-in
    // (true) or a sign-out (false).
    void SetLogonState(bool signedIn);
    bool signedIn() const { return m_signedIn; }
    // The rights gate: true when the signed-in operator holds function; otherwise the refusal.
    bool Gate(int function);

public Q_SLOTS:

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MIBrushClick();
    void MILogInClick();
    void MILogOutClick();
    void MIModiPwdClick();
    void MIExitClick();
    void MIEmployeeSetClick();
    void MIShiftSetClick();
    void MISetLeaveTypeClick();
    void MISysSetClick();
    void MICalendarClick();
    void MIEditDataClick();
    void MIAuditLogClick();
    void MIInformClick();
    void MIBackupClick();
    void MIRestoreClick();
    void MIDeleteClick();
    void MIQueryClick();
    void MIStatClick();
    void MIHelpClick();
    void MIAboutClick();
    // Closes every window that holds data, the punch window aside, before a restore; false when
    // one refuses (its pending edit could not be posted).
    bool CloseDataWindows();
    void FormCreate();
    void FormClose();
    // Closes the visible non-modal administrative windows (notices, absence reasons, period
    // deletion, queries); false when one refuses to close.
    bool CloseToolWindows();
    void BuildMenus();
    void BuildToolBar();
    void BuildStatusBar();
    QAction* addCommand(QMenu* menu, const char* objectName, const QString& caption,
                        void (TfmMain::*handler)());

    bool m_signedIn = false;
    QMdiArea* m_client = nullptr;
    QPixmap m_image1;
    QLabel* m_panel0 = nullptr;
    QLabel* m_panel1 = nullptr;
    QLabel* m_panelOperator = nullptr;
    QAction* m_logIn = nullptr;
    QAction* m_logOut = nullptr;
    QAction* m_modiPwd = nullptr;

    // Declared last: destroyed first, while the rest of the window is whole.
    ChildTeardown m_childTeardown{this};
};

} // namespace kq
