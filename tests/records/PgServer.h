#pragma once

// The throw-away server the PostgreSQL tests run against (scripts/with-pg-server starts it): one
// database with the schema and two sites, emptied before every test.

#include "PgLink.h"
#include "RecordFiles.h"

#include <QByteArray>
#include <QString>

namespace mirai::test::pgserver {

// The two sites of the test database: their roles and codes.
constexpr const char* kSiteA = "site_a";
constexpr const char* kSiteB = "site_b";
constexpr const char* kCodeA = "12345";
constexpr const char* kCodeB = "67890";

// Whether a server was started for the tests (MIRAI_PG_TEST).
bool available();
// Makes the test database once (schema, roles, sites) and empties it.
void prepare();
// A connection string to the test database (or `database`) as `role`.
QString as(const char* role, const QString& database = QStringLiteral("mirai_test"));
// Runs one statement as the server's superuser; the result, checked by the caller.
pg::ResultPtr admin(const QString& sql, const QString& database = QStringLiteral("mirai_test"));
// Stops or starts the server (an outage while stations are in use). False when it failed.
bool stop();
bool start();

// A run of `student` at `level` for a site, at 9:00 plus its seconds.
RawRecord siteRun(int student, int seconds, int level, const char* site);

} // namespace mirai::test::pgserver
