#include "gui/widgets/dialogbuttons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace kq {

DialogButtons MakeDialogButtons(QDialog* dialog, const char* okName, const char* cancelName) {
    auto* ok = new QPushButton(QStringLiteral("确定"), dialog);
    ok->setObjectName(QLatin1String(okName));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), dialog);
    cancel->setObjectName(QLatin1String(cancelName));
    cancel->setAutoDefault(false);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return {ok, cancel};
}

QHBoxLayout* ButtonRow(const DialogButtons& buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(buttons.ok);
    row->addWidget(buttons.cancel);
    return row;
}

} // namespace kq
