#include "reports/xlswriter.h"

#include "data/kqerror.h"

namespace kq {

void WriteXls(const QString& fileName, const XlsTable&) {
    throw KqError(QStringLiteral("无法导出 %1：电子表格输出尚未提供").arg(fileName));
}

} // namespace kq
