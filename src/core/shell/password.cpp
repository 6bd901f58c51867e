#include "core/shell/password.h"

#include "core/data/dataset.h"
#include "core/data/kqerror.h"
#include "core/data/schema.h"
#include "core/data/tables.h"
#include "core/platform/lazylibrary.h"

#include <sodium.h>

namespace kq {

namespace {

// What crypto_pwhash_str writes first for an Argon2id hash.
const QString kHashMarker = QStringLiteral(crypto_pwhash_STRPREFIX);

static_assert(crypto_pwhash_STRBYTES <= FieldWidth::StoredPassword, "a stored hash fits its field");

// The hashing library, opened by the first password that is hashed or checked (see
// lazylibrary.h) and initialised once.
struct LibSodium {
    decltype(&::crypto_pwhash_str) crypto_pwhash_str;
    decltype(&::crypto_pwhash_str_verify) crypto_pwhash_str_verify;
};

const LibSodium& Sodium() {
    return LibraryApi<LibSodium>("sodium", 23, [](LazyLibrary& lib, LibSodium& a) {
        decltype(&::sodium_init) init = nullptr;
        lib.resolve(init, "sodium_init");
        if (init() < 0) throw KqError(QStringLiteral("无法初始化密码库"));
        lib.resolve(a.crypto_pwhash_str, "crypto_pwhash_str");
        lib.resolve(a.crypto_pwhash_str_verify, "crypto_pwhash_str_verify");
    });
}

} // namespace

bool IsPasswordHash(const QString& stored) {
    // A clear password holds at most FieldWidth::Password bytes, a hash many more.
    return stored.size() > FieldWidth::Password && stored.startsWith(kHashMarker);
}

QString HashPassword(const QString& password) {
    if (password.isEmpty()) return {};
    const LibSodium& sodium = Sodium();
    const QByteArray folded = password.toCaseFolded().toUtf8();
    char hash[crypto_pwhash_STRBYTES];
    if (sodium.crypto_pwhash_str(hash, folded.constData(), size_t(folded.size()),
                                 crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw KqError(QStringLiteral("无法保存密码：内存不足"));
    return QString::fromLatin1(hash);
}

bool VerifyPassword(const QString& stored, const QString& typed) {
    if (!IsPasswordHash(stored)) return stored.compare(typed, Qt::CaseInsensitive) == 0;
    const LibSodium& sodium = Sodium();
    const QByteArray hash = stored.toLatin1();
    const QByteArray folded = typed.toCaseFolded().toUtf8();
    return sodium.crypto_pwhash_str_verify(hash.constData(), folded.constData(), size_t(folded.size())) == 0;
}

void SetPasswordField(DataSet& ds, const QString& passwordOrStored) {
    const QString stored =
        IsPasswordHash(passwordOrStored) ? passwordOrStored : HashPassword(passwordOrStored);
    ds.widenField(schema::Employee::Password, FieldWidth::StoredPassword);
    ds.setValue(schema::Employee::Password, stored);
}

int HashClearPasswords(const QString& fileName) {
    DataSet ds;
    ds.open(fileName);
    int hashed = 0;
    ds.update([&] {
        for (int row = 0; row < ds.recordCount(); ++row) {
            const QString stored = ds.valueAt(row, schema::Employee::Password).toString();
            if (stored.isEmpty() || IsPasswordHash(stored)) continue;
            ds.moveTo(row);
            ds.edit();
            SetPasswordField(ds, stored);
            ds.post();
            ++hashed;
        }
    });
    ds.close();
    return hashed;
}

} // namespace kq
