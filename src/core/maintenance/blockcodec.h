#pragma once

#include <QByteArray>

#include <zlib.h>

namespace kq {

// The zlib side of the archive's data blocks: each block is one complete zlib stream of at most
// kArchiveBlockSize bytes made by a compressor reset for it, so blocks stand alone.
class BlockCodec {
public:
    // level: zlib level (0..9, or -1 for the library default).
    explicit BlockCodec(int level);
    ~BlockCodec();
    BlockCodec(const BlockCodec&) = delete;
    BlockCodec& operator=(const BlockCodec&) = delete;

    // Sets the compressor up now instead of on the first block; false when zlib fails.
    bool readyToCompress();

    enum class Packed { Stream, Raw, Failed };
    // Compresses data into one stream in out when it fits into kArchiveBlockSize bytes (Stream),
    // otherwise leaves out empty (Raw); Failed when the compressor fails. Allocates nothing once
    // ready and when out holds room for kArchiveBlockSize bytes.
    Packed compress(const char* data, int size, QByteArray& out);

    enum Expanded { TooLarge = -1, Corrupt = -2 };
    // Expands one complete stream into out (kArchiveBlockSize bytes): the size produced, TooLarge
    // when the stream holds more than that, Corrupt when it is not one valid complete stream.
    int expand(const char* data, int size, char* out);

private:
    z_stream m_deflate{};
    z_stream m_inflate{};
    bool m_deflateReady = false;
    bool m_inflateReady = false;
    int m_level;
};

} // namespace kq
