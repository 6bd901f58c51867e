#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace kq::test {

// Archive bytes made by hand, for the reader's tests.
class ArchiveBuilder {
public:
    ArchiveBuilder& header(const QByteArray& title = "t", qint32 total = 0, qint32 count = 0);
    ArchiveBuilder& int32(qint32 value);
    ArchiveBuilder& raw(const QByteArray& bytes);
    ArchiveBuilder& text(const QByteArray& bytes); // length, then the bytes
    ArchiveBuilder& entry(const QByteArray& name, qint32 dateTime = 0);
    // An "EC2" segment: each piece as one zlib stream (stored raw when raw is set), then the end.
    ArchiveBuilder& ec2(const QList<QByteArray>& pieces, bool raw = false);
    // An "ECS" segment of the given LZRW1KH blocks.
    ArchiveBuilder& ecs(const QList<QByteArray>& blocks);
    ArchiveBuilder& end() { return int32(0); }
    QByteArray bytes;
};

// One volume written by the archive writer, taken apart.
struct ParsedBlock {
    qint32 length = 0;
    QByteArray data; // the source bytes the block stands for
};
struct ParsedSegment {
    QByteArray tag;
    QList<ParsedBlock> blocks;
};
struct ParsedEntry {
    QByteArray name; // empty for the data that continues a file from the previous volume
    qint32 dateTime = 0;
    QList<ParsedSegment> segments;
};
struct ParsedVolume {
    QByteArray title;
    qint32 total = -1;
    qint32 count = -1;
    QList<ParsedEntry> entries;
    QByteArray nextDisk; // the volume change record, if the volume ends with one
    bool endMark = false;
    QString problem; // what did not parse, empty when all did
};
ParsedVolume ParseVolume(const QByteArray& bytes, bool first = true);

QByteArray ReadAll(const QString& path);
void WriteAll(const QString& path, const QByteArray& bytes);
QByteArray ZlibStream(const QByteArray& data, int level = 6);

} // namespace kq::test
