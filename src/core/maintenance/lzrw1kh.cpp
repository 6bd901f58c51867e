#include "core/maintenance/lzrw1kh.h"

#include <cstring>

namespace kq {

namespace {

// Most bytes a literal or copy item reads and writes; a run writes up to 4111 and checks alone.
constexpr int kItemIn = 4;
constexpr int kCopyOut = 18;
// Bytes read or written past an item by the word-wide copies below.
constexpr int kSlack = 16;

// Copies a match of length bytes from offset bytes back. Eight bytes at a time where the
// distance allows (each word then reads only bytes already written); byte by byte below that,
// as an offset below the length repeats the latest bytes. May write up to 24 bytes.
inline void CopyMatch(std::uint8_t* op, int offset, int length) {
    const std::uint8_t* from = op - offset;
    if (offset >= 8) {
        std::memcpy(op, from, 8);
        std::memcpy(op + 8, from + 8, 8);
        if (length > 16) std::memcpy(op + 16, from + 16, 8);
    } else if (offset == 1) {
        std::memset(op, *from, size_t(length));
    } else {
        for (int i = 0; i < length; ++i)
            op[i] = from[i];
    }
}

} // namespace

int Lzrw1khExpand(const std::uint8_t* source, int size, std::uint8_t* dest) {
    if (size < 0 || size > kLzrw1khBlockSize) return -1;
    if (size == 0) return 0;
    if (source[0] == 0x80) {
        std::memcpy(dest, source + 1, size_t(size - 1));
        return size - 1;
    }
    if (size < 3) return -1;
    const std::uint8_t* ip = source + 3;
    const std::uint8_t* const iend = source + size;
    std::uint8_t* op = dest;
    std::uint8_t* const oend = dest + kLzrw1khBlockSize;
    unsigned control = unsigned(source[1]) << 8 | source[2];
    int bits = 16;
    while (ip < iend) {
        if (bits == 0) {
            if (iend - ip < 2) return -1;
            control = unsigned(ip[0]) << 8 | ip[1];
            ip += 2;
            bits = 16;
            // A block may end right after its last full group.
            if (ip >= iend) return -1;
        }
        // A whole group with room to spare on both sides: the bounds are checked once for it,
        // and literals and copies move by words.
        if (bits == 16 && iend - ip >= 16 * kItemIn + kSlack && oend - op >= 16 * kCopyOut + kSlack + 8) {
            bool clear = true;
            while (bits > 0) {
                if ((control & 0x8000) == 0) {
                    // A run of literals: as many as the control word's leading zero bits.
                    int run = 1;
                    while (run < bits && (control << run & 0x8000) == 0)
                        ++run;
                    std::memcpy(op, ip, kSlack);
                    op += run;
                    ip += run;
                    control = (control << run) & 0xFFFF;
                    bits -= run;
                    continue;
                }
                const int a = ip[0];
                const int b = ip[1];
                const int offset = a * 16 + (b >> 4);
                if (offset != 0) {
                    if (offset > op - dest) return -1;
                    const int length = (b & 0x0F) + 3;
                    CopyMatch(op, offset, length);
                    op += length;
                    ip += 2;
                } else {
                    const int count = (b & 0x0F) * 256 + ip[2] + 16;
                    if (oend - op < count) return -1;
                    std::memset(op, ip[3], size_t(count));
                    op += count;
                    ip += 4;
                    // A run may use up the room the group counted on: go on item by item.
                    clear = oend - op >= 16 * kCopyOut + kSlack + 8;
                }
                control = (control << 1) & 0xFFFF;
                --bits;
                if (!clear) break;
            }
            if (bits == 0 || ip >= iend) continue;
        }
        if ((control & 0x8000) == 0) {
            if (op >= oend) return -1;
            *op++ = *ip++;
        } else {
            if (iend - ip < 2) return -1;
            const int a = ip[0];
            const int b = ip[1];
            const int offset = a * 16 + (b >> 4);
            if (offset != 0) {
                const int length = (b & 0x0F) + 3;
                if (offset > op - dest || oend - op < length) return -1;
                for (int i = 0; i < length; ++i)
                    op[i] = op[i - offset];
                op += length;
                ip += 2;
            } else {
                if (iend - ip < 4) return -1;
                const int count = (b & 0x0F) * 256 + ip[2] + 16;
                if (oend - op < count) return -1;
                std::memset(op, ip[3], size_t(count));
                op += count;
                ip += 4;
            }
        }
        control = (control << 1) & 0xFFFF;
        --bits;
    }
    return int(op - dest);
}

} // namespace kq
