#pragma once

#include <cstdint>

namespace kq {

// Largest block of the older archive encoding, and the size of the area it expands into.
inline constexpr int kLzrw1khBlockSize = 32783;

// Expands one LZRW1KH block (flag byte 0x80: stored; otherwise 16-bit control words, high bit
// first, over literal, copy and run items) into dest, which holds kLzrw1khBlockSize bytes.
// Returns the number of bytes produced, or -1 for a corrupt block: a copy reaching before the
// start of the output, output beyond kLzrw1khBlockSize, an item or control word cut off by the end
// of the block, or a size outside 0..kLzrw1khBlockSize. Never reads or writes outside the two areas.
int Lzrw1khExpand(const std::uint8_t* source, int size, std::uint8_t* dest);

} // namespace kq
