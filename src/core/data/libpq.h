#pragma once

#include <libpq-fe.h>

namespace kq {

// The entry points of the server's client library that the report scans and bulk copies call on
// the connection under Qt's driver. The library is opened when the server engine first needs it
// (Qt's driver has loaded it by then), so programs on the embedded engine never map it.
struct LibPq {
    decltype(&::PQclear) PQclear;
    decltype(&::PQcmdTuples) PQcmdTuples;
    decltype(&::PQerrorMessage) PQerrorMessage;
    decltype(&::PQexec) PQexec;
    decltype(&::PQexecParams) PQexecParams;
    decltype(&::PQftype) PQftype;
    decltype(&::PQgetResult) PQgetResult;
    decltype(&::PQgetisnull) PQgetisnull;
    decltype(&::PQgetlength) PQgetlength;
    decltype(&::PQgetvalue) PQgetvalue;
    decltype(&::PQntuples) PQntuples;
    decltype(&::PQputCopyData) PQputCopyData;
    decltype(&::PQputCopyEnd) PQputCopyEnd;
    decltype(&::PQresultStatus) PQresultStatus;
    decltype(&::PQstatus) PQstatus;
    decltype(&::PQtransactionStatus) PQtransactionStatus;
};

// Throws KqError when the library cannot be opened.
const LibPq& Pq();

} // namespace kq
