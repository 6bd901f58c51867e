#include "core/reports/compoundfile.h"

#include "core/data/kqerror.h"

#include <QtEndian>
#include <algorithm>

namespace kq {

namespace {

constexpr quint32 FreeSect = 0xFFFFFFFF;
constexpr quint32 EndOfChain = 0xFFFFFFFE;
constexpr quint32 FatSect = 0xFFFFFFFD;
constexpr quint32 DifSect = 0xFFFFFFFC;
constexpr quint32 NoStream = 0xFFFFFFFF;
constexpr int SectorSize = 512;
constexpr int MiniSectorSize = 64;
constexpr int MiniStreamCutoff = 4096;
constexpr int IdsPerSector = SectorSize / 4;
constexpr int HeaderDifatIds = 109;
constexpr int EntrySize = 128;
constexpr int MaxNameLength = 31;

int Blocks(qint64 bytes, int size) {
    return int((bytes + size - 1) / size);
}

void Put16(QByteArray& b, int at, quint16 v) {
    qToLittleEndian(v, b.data() + at);
}
void Put32(QByteArray& b, int at, quint32 v) {
    qToLittleEndian(v, b.data() + at);
}

void PadTo(QByteArray& data, int size) {
    data.append((size - data.size() % size) % size, '\0');
}

// Appends the chain of count consecutive blocks that starts at first.
void AddChain(QList<quint32>& table, quint32 first, int count) {
    for (int i = 1; i <= count; ++i)
        table.append(i < count ? first + i : EndOfChain);
}

// Block ids as whole sectors, the unused rest marked free.
QByteArray IdSectors(const QList<quint32>& ids) {
    QByteArray out(Blocks(ids.size(), IdsPerSector) * SectorSize, '\xFF');
    for (int i = 0; i < ids.size(); ++i)
        Put32(out, 4 * i, ids.at(i));
    return out;
}

struct Entry {
    QString name;
    quint8 type = 0; // 0 unused, 2 stream, 5 root storage
    quint32 left = NoStream, right = NoStream, child = NoStream;
    quint32 start = EndOfChain;
    quint32 size = 0;
};

QByteArray EntryBytes(const Entry& e) {
    QByteArray b(EntrySize, '\0');
    Put32(b, 0x44, e.left);
    Put32(b, 0x48, e.right);
    Put32(b, 0x4C, e.child);
    if (e.type == 0) return b;
    for (int i = 0; i < e.name.size(); ++i)
        Put16(b, 2 * i, e.name.at(i).unicode());
    Put16(b, 0x40, quint16((e.name.size() + 1) * 2));
    b[0x42] = char(e.type);
    b[0x43] = 1; // black
    Put32(b, 0x74, e.start);
    Put32(b, 0x78, e.size);
    return b;
}

// Directory order: shorter names first, equal lengths by their upper-cased UTF-16 code units.
bool NameLess(const QString& a, const QString& b) {
    return a.size() != b.size() ? a.size() < b.size() : a.toUpper() < b.toUpper();
}

// Links the entries sorted[from, to) into a balanced search tree and returns its root. All
// nodes stay black; readers only walk the tree.
quint32 LinkTree(QList<Entry>& entries, const QList<int>& sorted, int from, int to) {
    if (from >= to) return NoStream;
    const int mid = (from + to) / 2;
    const quint32 left = LinkTree(entries, sorted, from, mid);
    const quint32 right = LinkTree(entries, sorted, mid + 1, to);
    entries[sorted.at(mid)].left = left;
    entries[sorted.at(mid)].right = right;
    return quint32(sorted.at(mid));
}

} // namespace

QByteArray BuildCompoundFile(const QList<CompoundStream>& streams) {
    QList<Entry> entries{{QStringLiteral("Root Entry"), 5}};
    QList<int> sorted;
    for (const CompoundStream& s : streams) {
        if (s.name.isEmpty() || s.name.size() > MaxNameLength)
            throw KqError(QStringLiteral("复合文件中的流名称无效：%1").arg(s.name));
        Entry e{s.name, 2};
        e.size = quint32(s.data.size());
        sorted.append(entries.size());
        entries.append(e);
    }
    std::sort(sorted.begin(), sorted.end(),
              [&](int a, int b) { return NameLess(entries.at(a).name, entries.at(b).name); });
    entries[0].child = LinkTree(entries, sorted, 0, sorted.size());

    // Small streams share the mini stream, cut into 64-byte blocks with their own table.
    QByteArray mini;
    QList<quint32> miniFat;
    for (int i = 0; i < streams.size(); ++i) {
        const QByteArray& data = streams.at(i).data;
        if (data.isEmpty() || data.size() >= MiniStreamCutoff) continue;
        entries[i + 1].start = quint32(miniFat.size());
        AddChain(miniFat, quint32(miniFat.size()), Blocks(data.size(), MiniSectorSize));
        mini += data;
        PadTo(mini, MiniSectorSize);
    }
    entries[0].size = quint32(mini.size());
    PadTo(mini, SectorSize);
    while (entries.size() % (SectorSize / EntrySize))
        entries.append(Entry{});
    const QByteArray miniFatBytes = IdSectors(miniFat);

    // Sector order: directory, mini table, mini stream, large streams, allocation table, DIFAT.
    QList<quint32> fat;
    AddChain(fat, 0, entries.size() * EntrySize / SectorSize);
    const quint32 miniFatStart = miniFat.isEmpty() ? EndOfChain : quint32(fat.size());
    AddChain(fat, quint32(fat.size()), miniFatBytes.size() / SectorSize);
    if (!mini.isEmpty()) entries[0].start = quint32(fat.size());
    AddChain(fat, quint32(fat.size()), mini.size() / SectorSize);
    for (int i = 0; i < streams.size(); ++i) {
        const int size = streams.at(i).data.size();
        if (size < MiniStreamCutoff) continue;
        entries[i + 1].start = quint32(fat.size());
        AddChain(fat, quint32(fat.size()), Blocks(size, SectorSize));
    }
    // The allocation table also lists its own sectors and those of the DIFAT that lists the
    // table sectors beyond the header's 109.
    int fatSectors = 0, difSectors = 0;
    for (;;) {
        const int f = Blocks(fat.size() + fatSectors + difSectors, IdsPerSector);
        const int d = f > HeaderDifatIds ? Blocks(f - HeaderDifatIds, IdsPerSector - 1) : 0;
        if (f == fatSectors && d == difSectors) break;
        fatSectors = f;
        difSectors = d;
    }
    const quint32 fatStart = quint32(fat.size());
    fat.append(QList<quint32>(fatSectors, FatSect));
    const quint32 difStart = quint32(fat.size());
    fat.append(QList<quint32>(difSectors, DifSect));
    const auto fatSector = [&](int i) { return i < fatSectors ? fatStart + quint32(i) : FreeSect; };

    QByteArray out(SectorSize, '\0');
    out.reserve(qsizetype(SectorSize) * (fat.size() + 1));
    const char signature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    std::copy(signature, signature + 8, out.begin());
    Put16(out, 0x18, 0x003E); // minor version
    Put16(out, 0x1A, 3);      // major version: 512-byte sectors
    Put16(out, 0x1C, 0xFFFE); // little-endian
    Put16(out, 0x1E, 9);      // sector size 2^9
    Put16(out, 0x20, 6);      // mini sector size 2^6
    Put32(out, 0x2C, quint32(fatSectors));
    Put32(out, 0x30, 0); // first directory sector
    Put32(out, 0x38, MiniStreamCutoff);
    Put32(out, 0x3C, miniFatStart);
    Put32(out, 0x40, quint32(miniFatBytes.size() / SectorSize));
    Put32(out, 0x44, difSectors ? difStart : EndOfChain);
    Put32(out, 0x48, quint32(difSectors));
    for (int i = 0; i < HeaderDifatIds; ++i)
        Put32(out, 0x4C + 4 * i, fatSector(i));

    for (const Entry& e : entries)
        out += EntryBytes(e);
    out += miniFatBytes;
    out += mini;
    for (const CompoundStream& s : streams) {
        if (s.data.size() < MiniStreamCutoff) continue;
        out += s.data;
        PadTo(out, SectorSize);
    }
    out += IdSectors(fat);
    for (int k = 0; k < difSectors; ++k) {
        QList<quint32> ids;
        for (int j = 0; j < IdsPerSector - 1; ++j)
            ids.append(fatSector(HeaderDifatIds + k * (IdsPerSector - 1) + j));
        ids.append(k + 1 < difSectors ? difStart + quint32(k) + 1 : EndOfChain);
        out += IdSectors(ids);
    }
    return out;
}

} // namespace kq
