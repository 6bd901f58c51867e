#include "core/setup/unicodefile.h"

#include "core/data/kqerror.h"
#include "core/platform/savefiles.h"

#include <QDir>
#include <QFile>

namespace kq {

namespace {
const char kMark[] = "\xFF\xFE";
}

QString ReadUnicodeFile(const QString& path, bool withMark) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QByteArray bytes = file.readAll();
    if (withMark) {
        if (!bytes.startsWith(QByteArray(kMark, 2))) return {};
        bytes.remove(0, 2);
    }
    QString text(int(bytes.size() / 2), Qt::Uninitialized);
    for (int i = 0; i < text.size(); ++i)
        text[i] = QChar(char16_t(quint8(bytes.at(2 * i)) | quint8(bytes.at(2 * i + 1)) << 8));
    return text;
}

void WriteUnicodeFile(const QString& path, const QString& text, bool withMark) {
    if (text.isEmpty()) return;
    QByteArray bytes;
    bytes.reserve(2 * text.size() + 2);
    if (withMark) bytes.append(kMark, 2);
    for (const QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    QString error;
    if (!SaveWhole(path, bytes, &error))
        throw KqError(QStringLiteral("无法写入文件：%1（%2）").arg(QDir::toNativeSeparators(path), error));
}

QStringList TextLines(const QString& text) {
    QStringList lines;
    int start = 0;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.append(text.mid(start));
    return lines;
}

QString LinesText(const QStringList& lines) {
    QString text;
    for (const QString& line : lines)
        text += line + QLatin1String("\r\n");
    return text;
}

} // namespace kq
