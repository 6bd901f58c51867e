#include "core/platform/lazylibrary.h"

#include "core/data/kqerror.h"

namespace kq {

LazyLibrary::LazyLibrary(const char* name, int version) : m_library(QString::fromLatin1(name), version) {
    if (!m_library.load())
        throw KqError(
            QStringLiteral("无法加载程序库 %1：%2").arg(m_library.fileName(), m_library.errorString()));
}

QFunctionPointer LazyLibrary::address(const char* symbol) {
    const QFunctionPointer f = m_library.resolve(symbol);
    if (!f)
        throw KqError(
            QStringLiteral("程序库 %1 缺少 %2").arg(m_library.fileName(), QString::fromLatin1(symbol)));
    return f;
}

} // namespace kq
