#include "core/maintenance/lzrw1kh.h"

#include <cstring>

namespace kq {

int Lzrw1khExpand(const std::uint8_t* source, int size, std::uint8_t* dest) {
    if (size < 0 || size > kLzrw1khBlockSize) return -1;
    if (size == 0) return 0;
    if (source[0] == 0x80) {
        std::memcpy(dest, source + 1, size_t(size - 1));
        return size - 1;
    }
    if (size < 3) return -1;
    unsigned control = unsigned(source[1]) << 8 | source[2];
    int bits = 16;
    int in = 3;
    int out = 0;
    while (in < size) {
        if (bits == 0) {
            if (in + 2 > size) return -1;
            control = unsigned(source[in]) << 8 | source[in + 1];
            in += 2;
            bits = 16;
            // A block may end right after its last full group.
            if (in >= size) return -1;
        }
        if ((control & 0x8000) == 0) {
            if (out >= kLzrw1khBlockSize) return -1;
            dest[out++] = source[in++];
        } else {
            if (in + 2 > size) return -1;
            const int a = source[in];
            const int b = source[in + 1];
            const int offset = a * 16 + (b >> 4);
            if (offset != 0) {
                const int length = (b & 0x0F) + 3;
                if (offset > out || out + length > kLzrw1khBlockSize) return -1;
                // Byte by byte: an offset below the length repeats the latest bytes.
                for (int i = 0; i < length; ++i, ++out)
                    dest[out] = dest[out - offset];
                in += 2;
            } else {
                if (in + 4 > size) return -1;
                const int count = (b & 0x0F) * 256 + source[in + 2] + 16;
                if (out + count > kLzrw1khBlockSize) return -1;
                std::memset(dest + out, source[in + 3], size_t(count));
                out += count;
                in += 4;
            }
        }
        control = (control << 1) & 0xFFFF;
        --bits;
    }
    return out;
}

} // namespace kq
