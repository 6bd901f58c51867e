#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace kq {

// One stream of the root storage of a compound file.
struct CompoundStream {
    QString name; // at most 31 characters
    QByteArray data;
};

// Packs the streams into an OLE2 compound file (version 3, 512-byte sectors). Streams under
// 4096 bytes live in the mini stream, larger ones in sector chains; the allocation table
// extends into DIFAT sectors, so files of many megabytes stay valid.
QByteArray BuildCompoundFile(const QList<CompoundStream>& streams);

} // namespace kq
