#include "core/maintenance/blockcodec.h"

#include "core/maintenance/backupfile.h"

namespace kq {

BlockCodec::BlockCodec(int level) : m_level(level) {}

BlockCodec::~BlockCodec() {
    if (m_deflateReady) deflateEnd(&m_deflate);
    if (m_inflateReady) inflateEnd(&m_inflate);
}

bool BlockCodec::readyToCompress() {
    if (!m_deflateReady)
        m_deflateReady = deflateInit2(&m_deflate, m_level, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    return m_deflateReady;
}

BlockCodec::Packed BlockCodec::compress(const char* data, int size, QByteArray& out) {
    if (!m_deflateReady) {
        if (!readyToCompress()) return Packed::Failed;
    } else if (deflateReset(&m_deflate) != Z_OK) {
        return Packed::Failed;
    }
    out.resize(kArchiveBlockSize);
    m_deflate.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    m_deflate.avail_in = uInt(size);
    m_deflate.next_out = reinterpret_cast<Bytef*>(out.data());
    m_deflate.avail_out = uInt(kArchiveBlockSize);
    const int r = deflate(&m_deflate, Z_FINISH);
    if (r == Z_STREAM_END) {
        out.truncate(kArchiveBlockSize - int(m_deflate.avail_out));
        return Packed::Stream;
    }
    out.truncate(0);
    return r == Z_OK || r == Z_BUF_ERROR ? Packed::Raw : Packed::Failed;
}

int BlockCodec::expand(const char* data, int size, char* out) {
    if (!m_inflateReady) {
        if (inflateInit(&m_inflate) != Z_OK) return Corrupt;
        m_inflateReady = true;
    } else if (inflateReset(&m_inflate) != Z_OK) {
        return Corrupt;
    }
    m_inflate.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    m_inflate.avail_in = uInt(size);
    m_inflate.next_out = reinterpret_cast<Bytef*>(out);
    m_inflate.avail_out = uInt(kArchiveBlockSize);
    const int r = inflate(&m_inflate, Z_FINISH);
    if (r == Z_STREAM_END) return kArchiveBlockSize - int(m_inflate.avail_out);
    // Output full with the stream unfinished: more than one block's worth.
    if ((r == Z_BUF_ERROR || r == Z_OK) && m_inflate.avail_out == 0) return TooLarge;
    return Corrupt;
}

} // namespace kq
