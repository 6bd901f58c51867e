#include "support/archivebytes.h"

#include <QFile>
#include <QtEndian>
#include <zlib.h>

namespace kq::test {

ArchiveBuilder& ArchiveBuilder::header(const QByteArray& title, qint32 total, qint32 count) {
    return text(title).int32(total).int32(count);
}

ArchiveBuilder& ArchiveBuilder::int32(qint32 value) {
    char b[4];
    qToLittleEndian(value, b);
    bytes.append(b, 4);
    return *this;
}

ArchiveBuilder& ArchiveBuilder::raw(const QByteArray& b) {
    bytes += b;
    return *this;
}

ArchiveBuilder& ArchiveBuilder::text(const QByteArray& b) {
    return int32(qint32(b.size())).raw(b);
}

ArchiveBuilder& ArchiveBuilder::entry(const QByteArray& name, qint32 dateTime) {
    return text(name).int32(dateTime);
}

ArchiveBuilder& ArchiveBuilder::ec2(const QList<QByteArray>& pieces, bool raw) {
    bytes.append("EC2\0", 4);
    for (const QByteArray& p : pieces) {
        if (raw)
            int32(-qint32(p.size())).bytes += p;
        else
            text(ZlibStream(p));
    }
    return end();
}

ArchiveBuilder& ArchiveBuilder::ecs(const QList<QByteArray>& blocks) {
    bytes.append("ECS\0", 4);
    qint32 remaining = 0;
    for (const QByteArray& b : blocks)
        remaining += qint32(b.size()) + 4;
    int32(remaining);
    for (const QByteArray& b : blocks)
        text(b);
    return *this;
}

QByteArray ZlibStream(const QByteArray& data, int level) {
    uLongf size = compressBound(uLong(data.size()));
    QByteArray out(int(size), '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.constData()),
              uLong(data.size()), level);
    out.truncate(int(size));
    return out;
}

namespace {

struct Reader {
    const QByteArray& b;
    int pos = 0;
    bool ok = true;
    qint32 int32() {
        if (pos + 4 > b.size()) {
            ok = false;
            return 0;
        }
        const qint32 v = qFromLittleEndian<qint32>(b.constData() + pos);
        pos += 4;
        return v;
    }
    QByteArray take(int n) {
        if (n < 0 || pos + n > b.size()) {
            ok = false;
            return {};
        }
        const QByteArray r = b.mid(pos, n);
        pos += n;
        return r;
    }
};

QByteArray Inflate(const QByteArray& stream) {
    QByteArray out(16384, '\0');
    uLongf size = uLongf(out.size());
    if (uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
                   reinterpret_cast<const Bytef*>(stream.constData()), uLong(stream.size())) != Z_OK)
        return "<bad stream>";
    out.truncate(int(size));
    return out;
}

bool Segment(Reader& r, ParsedEntry& e) {
    ParsedSegment s;
    s.tag = r.take(4);
    if (s.tag != QByteArray("EC2\0", 4)) return false;
    s.tag.chop(1);
    for (;;) {
        const qint32 length = r.int32();
        if (!r.ok) return false;
        if (length == 0) break;
        const QByteArray data = r.take(qAbs(length));
        s.blocks.append({length, length > 0 ? Inflate(data) : data});
    }
    e.segments.append(s);
    return r.ok;
}

} // namespace

ParsedVolume ParseVolume(const QByteArray& bytes, bool first) {
    ParsedVolume v;
    Reader r{bytes};
    if (first) {
        v.title = r.take(r.int32());
        v.total = r.int32();
        v.count = r.int32();
    }
    ParsedEntry* current = nullptr;
    if (!first) {
        v.entries.append(ParsedEntry());
        current = &v.entries.last();
        if (!Segment(r, *current)) v.problem = QStringLiteral("continued segment");
    }
    while (r.ok && v.problem.isEmpty() && r.pos < bytes.size()) {
        // After a segment: another segment of the same file, a name, the volume change or the end.
        if (current && bytes.mid(r.pos, 4) == QByteArray("EC2\0", 4)) {
            if (!Segment(r, *current)) v.problem = QStringLiteral("segment at %1").arg(r.pos);
            continue;
        }
        const qint32 length = r.int32();
        if (length == 0) {
            v.endMark = true;
            break;
        }
        const QByteArray name = r.take(length);
        if (name.startsWith("NEXT:DISK")) {
            v.nextDisk = name;
            break;
        }
        ParsedEntry e;
        e.name = name;
        e.dateTime = r.int32();
        v.entries.append(e);
        current = &v.entries.last();
        if (!Segment(r, *current)) v.problem = QStringLiteral("segment of %1").arg(QString::fromLatin1(name));
    }
    if (!r.ok && v.problem.isEmpty()) v.problem = QStringLiteral("cut off");
    if (v.problem.isEmpty() && r.pos != bytes.size()) v.problem = QStringLiteral("bytes after the end");
    return v;
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

} // namespace kq::test
