#include "gui/widgets/datasetchange.h"

#include "core/data/kqerror.h"
#include "gui/platform/guarded.h"

#include <QFileInfo>

namespace kq {

namespace {

QString ShortName(const DataSet& ds) {
    return QFileInfo(ds.fileName()).fileName();
}

} // namespace

void TellReread(const DataSet& ds, DataSet::Reread reread) {
    if (reread == DataSet::Reread::No) return;
    QString text = QStringLiteral("数据文件 %1 已被其他程序修改，已重新读取。").arg(ShortName(ds));
    if (reread == DataSet::Reread::DroppingUnwritten)
        text += QStringLiteral("本窗口此前未能保存的修改已放弃。");
    Prompt().message(QStringLiteral("提示"), text);
}

bool ApplyChange(DataSet& ds, const std::function<void()>& change) {
    try {
        TellReread(ds, ds.refresh());
        TellReread(ds, ds.update(change));
        return true;
    } catch (const KqError& e) {
        QString text = e.message();
        if (ds.isOpen() && ds.modified()) text += QStringLiteral("\n修改已保留在窗口中，尚未保存。");
        Prompt().error(text);
        return false;
    }
}

bool CloseDataSet(DataSet& ds) {
    if (Guarded([&] { ds.close(); })) return true;
    // Yes, the button a hasty Enter presses, keeps the changes.
    const QString question =
        QStringLiteral("对 %1 的修改尚未保存。留在本窗口中稍后再试吗？\n选“否”将放弃这些修改并关闭窗口。")
            .arg(ShortName(ds));
    if (Prompt().ask(QStringLiteral("提示"), question)) return false;
    ds.discard();
    return true;
}

} // namespace kq
