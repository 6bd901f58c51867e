#include "core/shell/operatorinfo.h"

#include <QStringList>

namespace kq {

TOperatorInfo& CurOperator() {
    static TOperatorInfo info;
    return info;
}

bool HasRight(const QString& rights, int function) {
    const QString wanted = QString::number(function);
    const QStringList items = rights.split(QLatin1Char(';'));
    for (const QString& item : items)
        if (item == wanted) return true;
    return false;
}

} // namespace kq
