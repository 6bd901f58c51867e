#pragma once

#include <QString>
#include <stdexcept>

namespace kq {

// A failure of the storage engines or of a conversion. It abandons the current operation;
// windows catch it at the handler and show its message (see gui/platform/guarded.h).
class KqError : public std::runtime_error {
public:
    explicit KqError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// A change refused because another process changed or deleted what it was meant for since it was
// read; the data has been read again.
class ChangedElsewhere : public KqError {
public:
    using KqError::KqError;
};

// The message of any exception: a KqError's own text, otherwise the UTF-8 text of what().
inline QString ErrorText(const std::exception& e) {
    if (const auto* kq = dynamic_cast<const KqError*>(&e)) return kq->message();
    return QString::fromUtf8(e.what());
}

} // namespace kq
