// The LZRW1KH expander on any bytes: it must stay inside its two areas (the sanitizers watch) and
// give back exactly what the test encoder packed.
#include "core/maintenance/lzrw1kh.h"
#include "support/lzrw1khencoder.h"

#include <cstdlib>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > std::size_t(kq::kLzrw1khBlockSize) + 16) return 0;
    // Exactly sized copies, so a read or write past either area is caught.
    const std::vector<std::uint8_t> block(data, data + size);
    const auto out = std::make_unique<std::uint8_t[]>(kq::kLzrw1khBlockSize);
    const int n = kq::Lzrw1khExpand(block.data(), int(size), out.get());
    if (n > kq::kLzrw1khBlockSize || (size > std::size_t(kq::kLzrw1khBlockSize) && n != -1)) std::abort();

    if (size < std::size_t(kq::kLzrw1khBlockSize)) {
        const QByteArray source(reinterpret_cast<const char*>(data), int(size));
        const QByteArray packed = kq::test::Lzrw1khEncode(source);
        const std::vector<std::uint8_t> again(packed.begin(), packed.end());
        const int m = kq::Lzrw1khExpand(again.data(), int(again.size()), out.get());
        if (m != int(size) || QByteArray(reinterpret_cast<const char*>(out.get()), m) != source) std::abort();
    }
    return 0;
}
