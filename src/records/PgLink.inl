#pragma once

#include <QtEndian>

namespace mirai::pg {

template <class OnValue>
bool copyOutColumn(PGconn* connection, const char* sql, OnValue onValue, ResultPtr& failure) {
    failure.reset(PQexec(connection, sql));
    if (PQresultStatus(failure.get()) != PGRES_COPY_OUT)
        return false;
    failure.reset();
    bool headerSeen = false;
    for (;;) {
        char* buffer = nullptr;
        const int size = PQgetCopyData(connection, &buffer, 0);
        if (size == -1)
            break; // the end; the result follows
        if (size < 0) {
            failure.reset(PQgetResult(connection));
            return false;
        }
        const char* at = buffer;
        const char* end = buffer + size;
        // The first row carries the file header: signature, flags and an extension area.
        if (!headerSeen) {
            constexpr int kSignature = 11;
            if (size < kSignature + 8) {
                PQfreemem(buffer);
                return false;
            }
            const std::int32_t extension = qFromBigEndian<std::int32_t>(at + kSignature + 4);
            at += kSignature + 8 + extension;
            headerSeen = true;
        }
        if (end - at >= 2) {
            const std::int16_t fields = qFromBigEndian<std::int16_t>(at);
            at += 2;
            if (fields == 1 && end - at >= 4) {
                const std::int32_t length = qFromBigEndian<std::int32_t>(at);
                at += 4;
                if (length >= 0 && end - at >= length)
                    onValue(at, length);
            }
        }
        PQfreemem(buffer);
    }
    failure.reset(PQgetResult(connection));
    const bool ok = PQresultStatus(failure.get()) == PGRES_COMMAND_OK;
    // Whatever else the connection has to say belongs to this statement.
    while (PGresult* rest = PQgetResult(connection))
        PQclear(rest);
    if (ok)
        failure.reset();
    return ok;
}

} // namespace mirai::pg
