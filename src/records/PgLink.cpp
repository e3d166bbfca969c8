#include "PgLink.h"

#include <QtEndian>
#include <cstring>

namespace mirai::pg {

QByteArray connectionString(const QString& setting) {
    const QString trimmed = setting.trimmed();
    if (trimmed.isEmpty())
        return {};
    if (trimmed.contains(u'=') || trimmed.startsWith(u"postgres"))
        return trimmed.toUtf8();
    return "service=" + trimmed.toUtf8();
}

PGconn* connect(const QString& setting, int timeoutSeconds) {
    const QByteArray timeout = QByteArray::number(std::max(timeoutSeconds, 2));
    const QByteArray dbname = connectionString(setting);
    // Ours first: what the setting says itself overrides them. A server that stops answering in
    // the middle of a statement (a line gone dead) counts as away after some ten seconds, rather
    // than when the system gives up on the connection.
    const char* keys[] = {"connect_timeout",
                          "application_name",
                          "client_encoding",
                          "keepalives_idle",
                          "keepalives_interval",
                          "keepalives_count",
                          "tcp_user_timeout",
                          "dbname",
                          nullptr};
    const char* values[] = {timeout.constData(), "miraidrill", "UTF8", "5", "2", "3", "10000",
                            dbname.constData(),  nullptr};
    PGconn* connection = PQconnectdbParams(keys, values, 1);
    // The server's notices (a table that exists already) are for a console, not for a station.
    PQsetNoticeProcessor(
        connection, [](void*, const char*) {}, nullptr);
    return connection;
}

Param text(std::int64_t value) {
    return Param{QByteArray::number(static_cast<qlonglong>(value)), false, false};
}

Param bytes(const QByteArray& value) {
    return Param{value, true, false};
}

Param float8(double value) {
    QByteArray out(8, '\0');
    qToBigEndian(value, out.data());
    return Param{out, true, false};
}

ResultPtr exec(PGconn* connection, const char* sql, const std::vector<Param>& params, bool binaryResult) {
    std::vector<const char*> values;
    std::vector<int> lengths;
    std::vector<int> formats;
    values.reserve(params.size());
    for (const Param& param : params) {
        values.push_back(param.null ? nullptr : param.value.constData());
        lengths.push_back(static_cast<int>(param.value.size()));
        formats.push_back(param.binary ? 1 : 0);
    }
    return ResultPtr(PQexecParams(connection, sql, static_cast<int>(params.size()), nullptr, values.data(),
                                  lengths.data(), formats.data(), binaryResult ? 1 : 0));
}

bool succeeded(const PGresult* result) {
    const ExecStatusType status = PQresultStatus(result);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

QByteArray sqlState(const PGresult* result) {
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    return state ? QByteArray(state) : QByteArray();
}

QString message(PGconn* connection, const PGresult* result) {
    const char* text = result ? PQresultErrorMessage(result) : nullptr;
    if (!text || !*text)
        text = PQerrorMessage(connection);
    return QString::fromUtf8(text).section(u'\n', 0, 0).trimmed();
}

bool unreachable(PGconn* connection, const PGresult* result) {
    if (!connection || PQstatus(connection) != CONNECTION_OK)
        return true;
    const QByteArray state = sqlState(result);
    // Connection exceptions, the server shutting down or starting, too many connections.
    return state.startsWith("08") || state == "57P01" || state == "57P02" || state == "57P03" ||
           state == "53300" || (result == nullptr);
}

void putInt16(QByteArray& out, std::int16_t value) {
    char bytes[2];
    qToBigEndian(value, bytes);
    out.append(bytes, 2);
}
void putInt32(QByteArray& out, std::int32_t value) {
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}
void putInt64(QByteArray& out, std::int64_t value) {
    char bytes[8];
    qToBigEndian(value, bytes);
    out.append(bytes, 8);
}
void putFloat8(QByteArray& out, double value) {
    char bytes[8];
    qToBigEndian(value, bytes);
    out.append(bytes, 8);
}

QByteArray copyHeader() {
    QByteArray header("PGCOPY\n\377\r\n\0", 11);
    putInt32(header, 0); // flags
    putInt32(header, 0); // no header extension
    return header;
}

QByteArray copyTrailer() {
    QByteArray trailer;
    putInt16(trailer, -1);
    return trailer;
}

} // namespace mirai::pg
