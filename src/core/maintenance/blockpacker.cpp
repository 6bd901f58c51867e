#include "core/maintenance/blockpacker.h"

#include "core/maintenance/backupfile.h"

namespace kq {

namespace {

void Pack(BlockCodec& codec, BlockPacker::Block& b) {
    if (b.data.isEmpty() || b.readFailed) return;
    b.how = codec.compress(b.data.constData(), int(b.data.size()), b.packed);
}

} // namespace

BlockPacker::BlockPacker(int level, int threads)
    : m_codec(level), m_depth(size_t(threads > 1 ? threads * 2 : 1)) {
    // The workers' compressors and every buffer are allocated on this thread, so the workers never
    // call malloc and get no allocator arenas of their own (a few hundred KB each).
    for (int i = 0; threads > 1 && i < threads; ++i) {
        auto codec = std::make_shared<BlockCodec>(level);
        codec->readyToCompress(); // a failure shows as the first block's
        m_workers.emplace_back([this, codec] { work(*codec); });
    }
}

BlockPacker::~BlockPacker() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_closing = true;
    }
    m_wake.notify_all();
    for (std::thread& t : m_workers)
        t.join();
}

void BlockPacker::begin(QIODevice& source) {
    end();
    m_source = &source;
    m_sourceEnded = false;
    fill();
}

BlockPacker::Block& BlockPacker::front() {
    fill();
    std::shared_ptr<Slot> slot;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        slot = m_slots.front();
        if (m_workers.empty()) {
            if (!slot->done) {
                Pack(m_codec, slot->block);
                slot->done = true;
            }
        } else {
            m_done.wait(lock, [&] { return slot->done; });
        }
    }
    return slot->block;
}

void BlockPacker::pop() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_slots.empty()) m_slots.pop_front();
    }
    fill();
}

void BlockPacker::end() {
    // A worker still busy with a dropped slot keeps it alive through its own reference.
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_slots.clear();
    m_source = nullptr;
}

void BlockPacker::fill() {
    while (m_source && !m_sourceEnded) {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            if (m_slots.size() >= m_depth) return;
        }
        auto slot = std::make_shared<Slot>();
        Block& b = slot->block;
        b.data.resize(kArchiveBlockSize);
        b.packed.reserve(kArchiveBlockSize);
        const qint64 n = m_source->read(b.data.data(), kArchiveBlockSize);
        b.readFailed = n < 0;
        b.data.truncate(n < 0 ? 0 : int(n));
        m_sourceEnded = n <= 0;
        // Nothing to compress at the end or after a failed read.
        if (m_sourceEnded) slot->claimed = slot->done = true;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_slots.push_back(std::move(slot));
        }
        m_wake.notify_one();
    }
}

void BlockPacker::work(BlockCodec& codec) {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        std::shared_ptr<Slot> slot;
        m_wake.wait(lock, [&] {
            if (m_closing) return true;
            for (const std::shared_ptr<Slot>& s : m_slots)
                if (!s->claimed) {
                    slot = s;
                    return true;
                }
            return false;
        });
        if (m_closing) return;
        slot->claimed = true;
        lock.unlock();
        Pack(codec, slot->block);
        lock.lock();
        slot->done = true;
        m_done.notify_all();
    }
}

} // namespace kq
