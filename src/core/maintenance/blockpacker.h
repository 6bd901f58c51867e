#pragma once

#include "core/maintenance/blockcodec.h"

#include <QByteArray>
#include <QIODevice>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kq {

// Reads a source in blocks of kArchiveBlockSize bytes and compresses them on worker threads a few
// blocks ahead of the writer, handing them back in source order. Each block is compressed alone,
// so the result does not depend on the number of threads. At most a fixed number of blocks wait,
// so memory stays flat however large the source is. Only the calling thread reads the source.
class BlockPacker {
public:
    struct Block {
        QByteArray data;   // the source bytes; empty at the end of the source
        QByteArray packed; // the zlib stream when how is Stream
        BlockCodec::Packed how = BlockCodec::Packed::Raw;
        bool readFailed = false; // the source could not be read here; nothing follows
    };

    // threads: compressing threads; 0 or 1 compresses in the calling thread when a block is taken.
    BlockPacker(int level, int threads);
    ~BlockPacker();
    BlockPacker(const BlockPacker&) = delete;
    BlockPacker& operator=(const BlockPacker&) = delete;

    // Starts on a new source, dropping what is left of the previous one. The source must stay
    // open until the next begin() or end().
    void begin(QIODevice& source);
    // The next block of the source, compressed; waits for it. Valid until pop().
    Block& front();
    void pop();
    // Drops the blocks read ahead and lets go of the source.
    void end();

private:
    struct Slot {
        Block block;
        bool claimed = false;
        bool done = false;
    };
    void fill();
    void work(BlockCodec& codec);

    BlockCodec m_codec; // for the calling thread when there are no workers
    const size_t m_depth;
    QIODevice* m_source = nullptr;
    bool m_sourceEnded = false;
    std::mutex m_mutex;
    std::condition_variable m_wake; // a slot is waiting for a worker, or the packer is closing
    std::condition_variable m_done; // a slot was compressed
    std::deque<std::shared_ptr<Slot>> m_slots;
    bool m_closing = false;
    std::vector<std::thread> m_workers;
};

} // namespace kq
