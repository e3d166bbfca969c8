#include "PgServer.h"

#include "PgResultStore.h"
#include "PgSchema.h"

#include <QProcess>
#include <QTime>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace mirai::test::pgserver {

namespace {

QString base() {
    return qEnvironmentVariable("MIRAI_PG_TEST");
}

bool serverControl(const QString& action) {
    const QString command = u"%1 %2/pg_ctl -D %3 -w -t 30 -m fast -l %3/server.log %4"_s.arg(
        qEnvironmentVariable("MIRAI_PG_RUN_AS"), qEnvironmentVariable("MIRAI_PG_BIN"),
        qEnvironmentVariable("MIRAI_PG_DATA"), action);
    QProcess process;
    process.start(u"/bin/sh"_s, {u"-c"_s, command});
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

} // namespace

bool available() {
    return !base().isEmpty();
}

QString as(const char* role, const QString& database) {
    return base() + u" dbname="_s + database + u" user="_s + QString::fromLatin1(role);
}

pg::ResultPtr admin(const QString& sql, const QString& database) {
    const pg::ConnectionPtr link(pg::connect(as("postgres", database), 5));
    return pg::ResultPtr(PQexec(link.get(), sql.toUtf8().constData()));
}

void prepare() {
    static bool made = false;
    if (!made) {
        admin(u"DROP DATABASE IF EXISTS mirai_test"_s, u"postgres"_s);
        ASSERT_TRUE(pg::succeeded(admin(u"CREATE DATABASE mirai_test"_s, u"postgres"_s).get()));
        const pg::ConnectionPtr link(pg::connect(as("postgres"), 5));
        QString report;
        ASSERT_TRUE(pgschema::migrate(link.get(), report)) << report.toStdString();
        for (const auto& [role, code] : {std::pair{kSiteA, kCodeA}, std::pair{kSiteB, kCodeB}}) {
            admin(u"CREATE ROLE %1 LOGIN IN ROLE mirai_station"_s.arg(QString::fromLatin1(role)));
            ASSERT_TRUE(pg::succeeded(admin(u"INSERT INTO mirai_sites VALUES ('%1', '%2')"_s.arg(
                                                QString::fromLatin1(code), QString::fromLatin1(role)))
                                          .get()));
        }
        made = true;
    }
    ASSERT_TRUE(pg::succeeded(admin(u"TRUNCATE mirai_runs, mirai_answers RESTART IDENTITY"_s).get()));
    PgResultStore::closeConnections();
}

bool stop() {
    return serverControl(u"stop"_s);
}

bool start() {
    return serverControl(u"start"_s);
}

RawRecord siteRun(int student, int seconds, int level, const char* site) {
    RawRecord record;
    record.student = static_cast<std::int16_t>(student);
    record.level = static_cast<std::int16_t>(level);
    record.seconds = seconds;
    record.time = QTime(9, 0).addSecs(seconds);
    record.siteCode = QByteArray(site, 5);
    return record;
}

} // namespace mirai::test::pgserver
