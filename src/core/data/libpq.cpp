#include "core/data/libpq.h"

#include "core/platform/lazylibrary.h"

namespace kq {

const LibPq& Pq() {
    return LibraryApi<LibPq>("pq", 5, [](LazyLibrary& lib, LibPq& a) {
        lib.resolve(a.PQclear, "PQclear");
        lib.resolve(a.PQcmdTuples, "PQcmdTuples");
        lib.resolve(a.PQerrorMessage, "PQerrorMessage");
        lib.resolve(a.PQexec, "PQexec");
        lib.resolve(a.PQexecParams, "PQexecParams");
        lib.resolve(a.PQftype, "PQftype");
        lib.resolve(a.PQgetResult, "PQgetResult");
        lib.resolve(a.PQgetisnull, "PQgetisnull");
        lib.resolve(a.PQgetlength, "PQgetlength");
        lib.resolve(a.PQgetvalue, "PQgetvalue");
        lib.resolve(a.PQntuples, "PQntuples");
        lib.resolve(a.PQputCopyData, "PQputCopyData");
        lib.resolve(a.PQputCopyEnd, "PQputCopyEnd");
        lib.resolve(a.PQresultStatus, "PQresultStatus");
        lib.resolve(a.PQstatus, "PQstatus");
        lib.resolve(a.PQtransactionStatus, "PQtransactionStatus");
    });
}

} // namespace kq
