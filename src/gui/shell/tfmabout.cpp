#include "gui/shell/tfmabout.h"

#include "core/data/datafolder.h"
#include "core/data/engine.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kq {

TfmAbout::TfmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmAbout"));
    setWindowTitle(QStringLiteral("关于"));
    auto* layout = new QVBoxLayout(this);
    auto* product = new QLabel(QStringLiteral("考勤管理系统"), this);
    product->setObjectName(QStringLiteral("ProductName"));
    QFont big = product->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    product->setFont(big);
    layout->addWidget(product);
    layout->addWidget(new QLabel(QStringLiteral("版本 %1").arg(QStringLiteral(KQ_VERSION)), this));
    layout->addWidget(new QLabel(QStringLiteral("刷卡考勤、排班、统计与数据维护"), this));
    // Which folder holds the records: the command line, KAOQIN_DATA or the default chose it.
    auto* folder =
        new QLabel(QStringLiteral("数据文件夹：%1").arg(QDir::toNativeSeparators(EnsureDataFolder())), this);
    folder->setObjectName(QStringLiteral("DataFolderLabel"));
    folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(folder);
    // Where the records are: SQLite files in that folder, or the server shared by several stations.
    auto* engine = new QLabel(QStringLiteral("数据库：%1").arg(EngineText()), this);
    engine->setObjectName(QStringLiteral("DatabaseLabel"));
    engine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(engine);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

} // namespace kq
