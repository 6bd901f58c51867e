#pragma once

#include "core/data/datasetlock.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

namespace kq {

// Where the dataset files are kept: files of the data folder, or, with the server as the engine,
// the server's table DataDocument (Name, Version, Body): one row per file holding its JSON,
// read whole and written whole, its version number raised by every write. A path stands for a
// server document when the server is the engine and the path is one of the seven dataset files
// of the data folder (any letter case); every other path (a restore's stage, a temporary copy)
// stays a file.

// The server document a path stands for (its stored name, e.g. "SysSetup.Dat"); empty for a file.
QString ServerDocumentName(const QString& path);

// What a dataset file holds and a stamp that changes with each write: a file's bytes, or "v" and
// the version number of a server document.
struct Document {
    QByteArray content;
    QByteArray stamp;
};

// The whole document; shownName names it when it is missing. Throws KqError.
Document ReadDocument(const QString& path, const QString& shownName);
// The whole document when its stamp is no longer stamp; nothing when unchanged. Throws KqError.
std::optional<Document> ReadChangedDocument(const QString& path, const QByteArray& stamp);
// The current stamp; empty when the document is missing or cannot be read.
QByteArray DocumentStamp(const QString& path);
bool DocumentExists(const QString& path);

// Replaces the document whole and returns its new stamp; ownerOnly keeps a file readable by its
// owner only. With a stamp as read in over, a server document is written only when no other
// station wrote it since: otherwise ChangedElsewhere is thrown and nothing is written (a file's
// writer compares under DocumentLock instead). Throws KqError.
QByteArray WriteDocument(const QString& path, const QByteArray& content, bool ownerOnly,
                         const QByteArray& over = {});
// Writes content where no document exists yet (first-run content); whether it did.
bool CreateDocument(const QString& path, const QByteArray& content, bool ownerOnly);

// What a writer of the dataset files of path's folder holds while it compares and writes: the
// folder's DataSetLock for files, nothing for server documents (their versions guard each write).
class DocumentLock {
public:
    explicit DocumentLock(const QString& path);
    ~DocumentLock();
    DocumentLock(const DocumentLock&) = delete;
    DocumentLock& operator=(const DocumentLock&) = delete;

private:
    std::unique_ptr<DataSetLock> m_lock;
};

} // namespace kq
