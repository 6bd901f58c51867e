// Window TfmSetRigth: "操作权限", the functions granted to a rights group.
#pragma once

#include "gui/widgets/childteardown.h"

#include <QDialog>
#include <QList>

class QListWidget;

namespace kq {

class CloseUpComboBox;

// Runs the rights editor modally with rights group position (0-based, -1 for none) selected;
// "确定" stores the checked functions of the group then selected and closes the editor.
void ShowRightsEditor(int position, QWidget* parent = nullptr);

// The rights editor: the functions granted to one rights group.
class TfmSetRigth : public QDialog {
    Q_OBJECT
public:
    explicit TfmSetRigth(int position, QWidget* parent = nullptr);

    // Fills the group list, selects the remembered position and loads its checks.
    void FormShow();
    // The group list closed: the checks of the group then selected replace the shown ones, also
    // when the same group stays selected. Any other change of the group (wheel, keys) reloads
    // them too, so the checks shown always belong to the group shown.
    void ComboBox1CloseUp();
    // Replaces the selected group's functions by the checked ones; a group another program
    // changed since its checks were loaded is not overwritten (ChangedElsewhere).
    void Save();
    // "确定": saves and closes. A failure keeps the editor open with its checks; when another
    // program changed the group, its checks are loaded again.
    void BitBtnOKClick();

    QList<int> checkedFunctions() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    int selectedGroup() const; // 0 when none is selected
    void LoadChecks();

    int m_position;
    QList<int> m_loaded; // the functions of the group as last loaded
    CloseUpComboBox* m_comboBox1;
    QListWidget* m_checkListBox1;

    // Declared last: destroyed first, while the rest of the window is whole.
    ChildTeardown m_childTeardown{this};
};

} // namespace kq
