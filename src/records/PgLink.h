#pragma once

// Small pieces over libpq shared by the PostgreSQL store, its migrations and its transfers.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <libpq-fe.h>
#include <memory>
#include <vector>

namespace mirai::pg {

// Every transaction that adds runs takes this lock first, so runs are numbered in the order they
// become visible (the schema's mirai_add_lock).
constexpr const char* kAddLock = "SELECT pg_advisory_xact_lock(mirai_add_lock())";

// The libpq connection string of a station setting: a bare name is a service of pg_service.conf.
QByteArray connectionString(const QString& setting);

// Connects with a time limit (the setting's own connect_timeout wins). Never null.
PGconn* connect(const QString& setting, int timeoutSeconds);

struct ConnectionCloser {
    void operator()(PGconn* connection) const { PQfinish(connection); }
};
using ConnectionPtr = std::unique_ptr<PGconn, ConnectionCloser>;

struct ResultClearer {
    void operator()(PGresult* result) const { PQclear(result); }
};
using ResultPtr = std::unique_ptr<PGresult, ResultClearer>;

// One parameter of a statement: text, or bytes sent as they are (bytea, float8 and the like).
struct Param {
    QByteArray value;
    bool binary = false;
    bool null = false;
};
Param text(std::int64_t value);
Param bytes(const QByteArray& value);
Param float8(double value);

// Runs one statement; the result in binary form when `binaryResult`.
ResultPtr exec(PGconn* connection, const char* sql, const std::vector<Param>& params = {},
               bool binaryResult = false);
bool succeeded(const PGresult* result);
// The server's error code (SQLSTATE), empty when there is none.
QByteArray sqlState(const PGresult* result);
// The first line of what libpq or the server said.
QString message(PGconn* connection, const PGresult* result);
// Whether a failure means the server is out of reach (no connection, lost, shutting down, full).
bool unreachable(PGconn* connection, const PGresult* result);

// Big-endian helpers of the binary COPY format.
void putInt16(QByteArray& out, std::int16_t value);
void putInt32(QByteArray& out, std::int32_t value);
void putInt64(QByteArray& out, std::int64_t value);
void putFloat8(QByteArray& out, double value);
QByteArray copyHeader();
QByteArray copyTrailer();

// Streams `COPY (...) TO STDOUT (FORMAT binary)` of one bytea column; every value goes to
// `onValue`. False, with the message, when it failed.
template <class OnValue>
bool copyOutColumn(PGconn* connection, const char* sql, OnValue onValue, ResultPtr& failure);

} // namespace mirai::pg

#include "PgLink.inl"
