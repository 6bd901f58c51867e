#pragma once

class QDialog;
class QHBoxLayout;
class QPushButton;

namespace kq {

// The confirm button "确定" (the default button; the caller connects it) and the cancel button
// "取消" (rejects the dialog) of a dialog, under their designer names.
struct DialogButtons {
    QPushButton* ok;
    QPushButton* cancel;
};
DialogButtons MakeDialogButtons(QDialog* dialog, const char* okName, const char* cancelName);

// The two buttons side by side at the right.
QHBoxLayout* ButtonRow(const DialogButtons& buttons);

} // namespace kq
