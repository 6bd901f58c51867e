#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>

namespace kq::test {

// A plain LZRW1KH block encoder, so tests and benchmarks can make blocks of the older archive
// encoding: greedy runs (16..4111 equal bytes), copies through a 3-byte hash (offsets 1..4095,
// lengths 3..18) and literals, 16 items per control word. Falls back to a stored block (flag
// 0x80) when that is not smaller. Input: at most 32782 bytes.
inline QByteArray Lzrw1khEncode(const QByteArray& input) {
    const auto* src = reinterpret_cast<const std::uint8_t*>(input.constData());
    const int size = int(input.size());
    QByteArray out(1, '\0');
    std::array<int, 4096> table;
    table.fill(-1);
    int control = 0;
    int controlAt = -1;
    int items = 16;
    const auto item = [&](bool copyOrRun) {
        if (items == 16) {
            if (controlAt >= 0) {
                out[controlAt] = char(control >> 8);
                out[controlAt + 1] = char(control);
            }
            controlAt = int(out.size());
            out.append(2, '\0');
            control = 0;
            items = 0;
        }
        if (copyOrRun) control |= 0x8000 >> items;
        ++items;
    };
    int i = 0;
    while (i < size) {
        int run = 1;
        while (i + run < size && run < 4111 && src[i + run] == src[i])
            ++run;
        if (run >= 16) {
            item(true);
            out.append(char(0))
                .append(char((run - 16) >> 8))
                .append(char((run - 16) & 0xFF))
                .append(char(src[i]));
            i += run;
            continue;
        }
        if (i + 3 <= size) {
            const int h = ((src[i] << 8) ^ (src[i + 1] << 4) ^ src[i + 2]) & 4095;
            const int p = table[h];
            table[h] = i;
            const int offset = i - p;
            if (p >= 0 && offset <= 4095 && src[p] == src[i] && src[p + 1] == src[i + 1] &&
                src[p + 2] == src[i + 2]) {
                int length = 3;
                while (length < 18 && i + length < size && src[p + length] == src[i + length])
                    ++length;
                item(true);
                out.append(char(offset >> 4)).append(char(((offset & 0x0F) << 4) | (length - 3)));
                i += length;
                continue;
            }
        }
        item(false);
        out.append(char(src[i++]));
    }
    if (controlAt >= 0) {
        out[controlAt] = char(control >> 8);
        out[controlAt + 1] = char(control);
    }
    if (out.size() >= size + 1 || controlAt < 0) return QByteArray(1, char(0x80)) + input;
    return out;
}

} // namespace kq::test
