#include "PgSchema.h"

#include "PgLink.h"

#include <QTextStream>
#include <algorithm>
#include <iterator>

using namespace Qt::StringLiterals;

namespace mirai::pgschema {

namespace {

struct Migration {
    int number;
    const char* sql;
};

// The numbered files of migrations/, in order (made at configure time).
constexpr Migration kMigrations[] = {
#include "PgMigrations.inc"
};

// Only one migration at a time, whoever runs it: a lock of the database for this program.
constexpr const char* kMigrationLock = "SELECT pg_advisory_xact_lock(2027011901)";

} // namespace

int knownVersion() {
    return std::prev(std::end(kMigrations))->number;
}

Check check(PGconn* connection) {
    const pg::ResultPtr result = pg::exec(connection, "SELECT version FROM mirai_schema");
    if (!pg::succeeded(result.get()))
        return {pg::sqlState(result.get()) == "42P01" ? Fit::NotSetUp : Fit::Failed, 0,
                pg::message(connection, result.get())};
    if (PQntuples(result.get()) != 1)
        return {Fit::NotSetUp, 0, {}};
    const int version = QByteArray(PQgetvalue(result.get(), 0, 0)).toInt();
    if (version > knownVersion())
        return {Fit::Newer, version, {}};
    if (version < knownVersion())
        return {Fit::Older, version, {}};
    return {Fit::Fits, version, {}};
}

bool migrate(PGconn* connection, QString& report) {
    auto fail = [&](const QString& what, const PGresult* result) {
        report = what + u"\n"_s + pg::message(connection, result);
        pg::exec(connection, "ROLLBACK");
        return false;
    };
    for (const char* sql :
         {"BEGIN", kMigrationLock, "CREATE TABLE IF NOT EXISTS mirai_schema (version integer NOT NULL)",
          "INSERT INTO mirai_schema SELECT 0 WHERE NOT EXISTS (SELECT FROM mirai_schema)"}) {
        const pg::ResultPtr result = pg::exec(connection, sql);
        if (!pg::succeeded(result.get()))
            return fail(u"データベースの形式を確かめられませんでした。"_s, result.get());
    }
    const pg::ResultPtr current = pg::exec(connection, "SELECT version FROM mirai_schema");
    if (!pg::succeeded(current.get()) || PQntuples(current.get()) != 1)
        return fail(u"データベースの形式を確かめられませんでした。"_s, current.get());
    const int version = QByteArray(PQgetvalue(current.get(), 0, 0)).toInt();
    if (version > knownVersion()) {
        pg::exec(connection, "ROLLBACK");
        report =
            u"データベースの形式（%1）がこのプログラムの知る形式（%2）より新しいため、何も変更していません。"
            u"プログラムを新しくしてください。"_s.arg(version)
                .arg(knownVersion());
        return false;
    }
    int applied = 0;
    for (const Migration& migration : kMigrations) {
        if (migration.number <= version)
            continue;
        // PQexec runs every statement of the file in this transaction.
        const pg::ResultPtr result(PQexec(connection, migration.sql));
        if (!pg::succeeded(result.get()))
            return fail(
                u"データベースの形式 %1 を作れませんでした。何も変更していません。"_s.arg(migration.number),
                result.get());
        const pg::ResultPtr noted =
            pg::exec(connection, "UPDATE mirai_schema SET version = $1", {pg::text(migration.number)});
        if (!pg::succeeded(noted.get()))
            return fail(u"データベースの形式を記録できませんでした。何も変更していません。"_s, noted.get());
        ++applied;
    }
    const pg::ResultPtr committed = pg::exec(connection, "COMMIT");
    if (!pg::succeeded(committed.get()))
        return fail(u"データベースの形式を記録できませんでした。何も変更していません。"_s, committed.get());
    report = applied == 0
                 ? u"データベースの形式は最新です（%1）。"_s.arg(knownVersion())
                 : u"データベースの形式を %1 から %2 にしました。"_s.arg(version).arg(knownVersion());
    return true;
}

int runMigrate(const QString& connection) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    const pg::ConnectionPtr link(pg::connect(connection, 10));
    if (PQstatus(link.get()) != CONNECTION_OK) {
        err << u"データベースに接続できません。"_s << u"\n"_s << pg::message(link.get(), nullptr) << u"\n"_s;
        return 2;
    }
    QString report;
    const bool done = migrate(link.get(), report);
    (done ? out : err) << report << u"\n"_s;
    return done ? 0 : 1;
}

} // namespace mirai::pgschema
