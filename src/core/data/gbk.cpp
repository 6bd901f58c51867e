#include "core/data/gbk.h"

#include <QList>

#include <iconv.h>

namespace kq {

namespace {

int CharWidth(char32_t c) {
    return c < 0x80 ? 1 : 2;
}

QByteArray Convert(const char* to, const char* from, const QByteArray& in, bool* ok) {
    *ok = false;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    QByteArray out(in.size() * 4 + 16, '\0');
    char* src = const_cast<char*>(in.constData());
    size_t srcLeft = size_t(in.size());
    char* dst = out.data();
    size_t dstLeft = size_t(out.size());
    size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (r == size_t(-1)) return {};
    out.truncate(out.size() - int(dstLeft));
    *ok = true;
    return out;
}

} // namespace

int GbkWidth(const QString& text) {
    int width = 0;
    for (char32_t c : text.toUcs4())
        width += CharWidth(c);
    return width;
}

QString GbkCut(const QString& text, int maxBytes) {
    if (maxBytes <= 0) return {};
    int width = 0;
    int i = 0;
    while (i < text.size()) {
        const int len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const char32_t c =
            len == 2 ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1)) : text.at(i).unicode();
        if (width + CharWidth(c) > maxBytes) break;
        width += CharWidth(c);
        i += len;
    }
    return text.left(i);
}

namespace {

// Character by character, so one character an encoding lacks costs only itself; such a
// character takes the first of the fallbacks that encodes it, else '?'.
QByteArray Encode(const QString& text, std::initializer_list<const char*> encodings) {
    QByteArray out;
    for (char32_t c : text.toUcs4()) {
        if (c < 0x80) {
            out.append(char(c));
            continue;
        }
        const QByteArray utf8 = QString::fromUcs4(&c, 1).toUtf8();
        QByteArray encoded("?");
        for (const char* encoding : encodings) {
            bool ok = false;
            const QByteArray bytes = Convert(encoding, "UTF-8", utf8, &ok);
            if (ok) {
                encoded = bytes;
                break;
            }
        }
        out.append(encoded);
    }
    return out;
}

} // namespace

QByteArray ToGbk(const QString& text) {
    return Encode(text, {"GBK"});
}

QByteArray ToGbkName(const QString& text) {
    return Encode(text, {"GBK", "GB18030"});
}

QString FromGbk(const QByteArray& bytes) {
    return FromCodePage(bytes, 936);
}

QString FromCodePage(const QByteArray& bytes, int codePage) {
    // Code page 936 is GBK; bytes that GBK does not read may be GB18030's four-byte forms.
    const QList<QByteArray> names = codePage == 936 ? QList<QByteArray>{"GBK", "GB18030"}
                                                    : QList<QByteArray>{"CP" + QByteArray::number(codePage)};
    for (const QByteArray& name : names) {
        bool ok = false;
        const QByteArray utf8 = Convert("UTF-8//TRANSLIT", name.constData(), bytes, &ok);
        if (ok) return QString::fromUtf8(utf8);
    }
    return QString::fromLatin1(bytes);
}

} // namespace kq
