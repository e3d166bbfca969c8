#pragma once

#include <QString>

typedef struct pg_conn PGconn;

namespace mirai::pgschema {

// The newest schema this program knows: the number of its newest migration.
int knownVersion();

enum class Fit { Fits, NotSetUp, Older, Newer, Failed };
struct Check {
    Fit fit = Fit::Failed;
    int version = 0; // what the database has
    QString message; // what the server said when the check failed
};
// Whether the database's schema is the one this program knows.
Check check(PGconn* connection);

// Brings the database's schema to the newest this program knows, applying the numbered
// migrations it lacks in one transaction. Refuses a schema newer than it knows. The report is in
// Japanese, for the person who ran it.
bool migrate(PGconn* connection, QString& report);

// Runs `--migrate <connection>`: prints the report and returns the program's exit code.
int runMigrate(const QString& connection);

} // namespace mirai::pgschema
