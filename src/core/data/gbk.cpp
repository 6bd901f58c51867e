#include "data/gbk.h"

#include <QList>

#include <iconv.h>

namespace kq {

namespace {

int CharWidth(char32_t c) { return c < 0x80 ? 1 : 2; }

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
    for (char32_t c : text.toUcs4()) width += CharWidth(c);
    return width;
}

QString GbkCut(const QString& text, int maxBytes) {
    if (maxBytes <= 0) return {};
    int width = 0;
    int i = 0;
    while (i < text.size()) {
        const int len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const char32_t c = len == 2 ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1)) : text.at(i).unicode();
        if (width + CharWidth(c) > maxBytes) break;
        width += CharWidth(c);
        i += len;
    }
    return text.left(i);
}

QByteArray ToGbk(const QString& text) {
    QByteArray out;
    // Character by character, so one character GBK lacks costs only itself.
    for (char32_t c : text.toUcs4()) {
        if (c < 0x80) {
            out.append(char(c));
            continue;
        }
        bool ok = false;
        const QByteArray utf8 = QString::fromUcs4(&c, 1).toUtf8();
        const QByteArray gbk = Convert("GBK", "UTF-8", utf8, &ok);
        out.append(ok ? gbk : QByteArray("?"));
    }
    return out;
}

QString FromGbk(const QByteArray& bytes) { return FromCodePage(bytes, 936); }

QString FromCodePage(const QByteArray& bytes, int codePage) {
    const QByteArray name = codePage == 936 ? QByteArray("GBK") : "CP" + QByteArray::number(codePage);
    bool ok = false;
    const QByteArray utf8 = Convert("UTF-8//TRANSLIT", name.constData(), bytes, &ok);
    if (ok) return QString::fromUtf8(utf8);
    return QString::fromLatin1(bytes);
}

} // namespace kq
