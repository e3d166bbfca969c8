// Moving a shared folder's result file and answer log into the database and back, with COPY.

#include "AnswerLog.h"
#include "Cp932.h"
#include "PgLink.h"
#include "PgResultStore.h"
#include "PgSchema.h"
#include "RecordOffsets.h"

#include <QFile>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace mirai::pgtransfer {

namespace {

constexpr qint64 kReadChunk = 44 * 48 * 1024; // whole records of both kinds, 2 MB

pg::ConnectionPtr open(const QString& connection, Outcome& outcome) {
    pg::ConnectionPtr link(pg::connect(connection, 10));
    if (PQstatus(link.get()) != CONNECTION_OK)
        outcome.error = u"データベースに接続できません。\n"_s + pg::message(link.get(), nullptr);
    return link;
}

// An answer log begins with its header: a log of a newer version is not taken.
bool beforeRows(QFile& file, int size, Outcome& outcome) {
    if (size != answerlog::kRecordSize)
        return true;
    const QByteArray head = file.read(answerlog::kHeaderSize);
    switch (answerlog::checkHeader(head)) {
    case answerlog::HeaderCheck::Ours:
        return true;
    case answerlog::HeaderCheck::Missing:
        file.seek(file.size()); // an empty log: nothing to take
        return true;
    case answerlog::HeaderCheck::Foreign:
        break;
    }
    outcome.error = u"解答の記録がこのプログラムより新しい形式で書かれているため、取り込めません。"_s;
    return false;
}

// Streams `file` in whole records of `size` bytes into `COPY ... FROM STDIN (FORMAT binary)`, each
// record turned into one row by `row`, in one transaction.
template <class Row>
Outcome copyIn(const QString& connection, const QString& path, const char* lock, const char* sql, int size,
               Row row) {
    Outcome outcome;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        outcome.error = u"ファイルを開けません。\n"_s + path + u"\n"_s + file.errorString();
        return outcome;
    }
    if (!beforeRows(file, size, outcome))
        return outcome;
    const pg::ConnectionPtr link = open(connection, outcome);
    if (!outcome.error.isEmpty())
        return outcome;
    PGconn* c = link.get();
    auto failed = [&](const QString& what, const PGresult* result) {
        outcome.error = what + u"\n"_s + pg::message(c, result);
        outcome.records = 0;
        return outcome;
    };
    if (pg::ResultPtr begun = pg::exec(c, "BEGIN"); !pg::succeeded(begun.get()))
        return failed(u"取り込みを始められませんでした。"_s, begun.get());
    if (pg::ResultPtr locked = pg::exec(c, lock ? lock : "SELECT 1"); !pg::succeeded(locked.get()))
        return failed(u"取り込みを始められませんでした。"_s, locked.get());
    if (pg::ResultPtr copying(PQexec(c, sql)); PQresultStatus(copying.get()) != PGRES_COPY_IN)
        return failed(u"取り込みを始められませんでした。"_s, copying.get());
    QByteArray out = pg::copyHeader();
    QByteArray buffer;
    bool sent = true;
    for (;;) {
        buffer += file.read(kReadChunk);
        const qsizetype whole = buffer.size() / size * size;
        for (qsizetype at = 0; at < whole; at += size) {
            if (row(out, buffer.constData() + at))
                ++outcome.records;
        }
        buffer.remove(0, whole);
        if (out.size() >= kReadChunk || file.atEnd()) {
            if (file.atEnd())
                out += pg::copyTrailer();
            sent = PQputCopyData(c, out.constData(), static_cast<int>(out.size())) == 1;
            out.clear();
        }
        if (!sent || file.atEnd() || file.error() != QFileDevice::NoError)
            break;
    }
    if (file.error() != QFileDevice::NoError) {
        PQputCopyEnd(c, "read error");
        PQclear(PQgetResult(c));
        return failed(u"ファイルを読めませんでした。何も取り込んでいません。"_s, nullptr);
    }
    PQputCopyEnd(c, sent ? nullptr : "send error");
    const pg::ResultPtr copied(PQgetResult(c));
    while (PGresult* rest = PQgetResult(c))
        PQclear(rest);
    if (!pg::succeeded(copied.get()))
        return failed(u"取り込めませんでした。何も取り込んでいません。"_s, copied.get());
    if (pg::ResultPtr committed = pg::exec(c, "COMMIT"); !pg::succeeded(committed.get()))
        return failed(u"取り込めませんでした。何も取り込んでいません。"_s, committed.get());
    return outcome;
}

} // namespace

Outcome importResults(const QString& connection, const QString& resultFile) {
    return copyIn(connection, resultFile, pg::kAddLock,
                  "COPY mirai_runs (record, run_date, run_time) FROM STDIN (FORMAT binary)", kRecordSize,
                  [](QByteArray& out, const char* record) {
                      pg::putInt16(out, 3);
                      pg::putInt32(out, kRecordSize);
                      out.append(record, kRecordSize);
                      pg::putInt32(out, 8);
                      pg::putFloat8(out, offsets::date(record));
                      pg::putInt32(out, 8);
                      pg::putFloat8(out, offsets::timeOfDay(record));
                      return true;
                  });
}

Outcome importAnswers(const QString& connection, const QString& answerLog, const QByteArray& site) {
    return copyIn(connection, answerLog, nullptr,
                  "COPY mirai_answers (run_id, idx, site, answer, student, level, is_right, ms) "
                  "FROM STDIN (FORMAT binary)",
                  answerlog::kRecordSize, [&site](QByteArray& out, const char* record) {
                      const std::optional<LoggedAnswer> answer = answerlog::decode(record);
                      if (!answer)
                          return false; // cut or damaged: the log's own readers skip it too
                      pg::putInt16(out, 8);
                      pg::putInt32(out, 8);
                      pg::putInt64(out, static_cast<std::int64_t>(answer->runId));
                      pg::putInt32(out, 2);
                      pg::putInt16(out, answer->index);
                      pg::putInt32(out, static_cast<std::int32_t>(site.size()));
                      out += site;
                      pg::putInt32(out, answerlog::kRecordSize);
                      out.append(record, answerlog::kRecordSize);
                      pg::putInt32(out, 2);
                      pg::putInt16(out, answer->student);
                      pg::putInt32(out, 2);
                      pg::putInt16(out, answer->level);
                      pg::putInt32(out, 1);
                      out.append(answer->right ? '\1' : '\0');
                      pg::putInt32(out, 4);
                      pg::putInt32(out, static_cast<std::int32_t>(answer->ms));
                      return true;
                  });
}

Outcome exportResults(const QString& connection, const QString& resultFile) {
    Outcome outcome;
    const pg::ConnectionPtr link = open(connection, outcome);
    if (!outcome.error.isEmpty())
        return outcome;
    QFile file(resultFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        outcome.error = u"ファイルを作れません。\n"_s + resultFile + u"\n"_s + file.errorString();
        return outcome;
    }
    QByteArray out;
    bool written = true;
    pg::ResultPtr failure;
    const bool copied = pg::copyOutColumn(
        link.get(), "COPY (SELECT record FROM mirai_runs ORDER BY seq) TO STDOUT (FORMAT binary)",
        [&](const char* value, int length) {
            out.append(value, length);
            ++outcome.records;
            if (out.size() >= kReadChunk) {
                written = written && file.write(out) == out.size();
                out.clear();
            }
        },
        failure);
    written = written && file.write(out) == out.size() && file.flush();
    if (!copied)
        outcome.error = u"書き出せませんでした。\n"_s + pg::message(link.get(), failure.get());
    else if (!written)
        outcome.error = u"ファイルに書けませんでした。\n"_s + resultFile + u"\n"_s + file.errorString();
    return outcome;
}

} // namespace mirai::pgtransfer

namespace mirai {

std::optional<int> runStoreCommand(const QStringList& arguments, const QString& stationFolder) {
    const QString command = arguments.value(1);
    if (command != u"--migrate"_s && command != u"--import"_s && command != u"--export"_s)
        return std::nullopt;
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (command == u"--migrate"_s) {
        const QString connection = arguments.size() > 2 ? arguments[2] : storeSetting(stationFolder);
        if (connection.isEmpty()) {
            err << u"データベースが指定されていません（station.ini の [store] postgresql=）。\n"_s;
            return 2;
        }
        return pgschema::runMigrate(connection);
    }
    const bool importing = command == u"--import"_s;
    if (arguments.size() != 4 && !(importing && arguments.size() == 6)) {
        err << u"使い方: miraidrill --import <接続> <成績累積データ.dat> [<解答記録.dat> <塾コード>]\n"
               u"        miraidrill --export <接続> <成績累積データ.dat>\n"_s;
        return 2;
    }
    pgtransfer::Outcome outcome = importing ? pgtransfer::importResults(arguments[2], arguments[3])
                                            : pgtransfer::exportResults(arguments[2], arguments[3]);
    if (outcome.error.isEmpty())
        out << (importing ? u"%1 件の記録を取り込みました。\n"_s : u"%1 件の記録を書き出しました。\n"_s)
                   .arg(outcome.records);
    if (outcome.error.isEmpty() && importing && arguments.size() == 6) {
        QByteArray site = cp932::encode(arguments[5]).left(5);
        while (site.endsWith(' '))
            site.chop(1);
        outcome = pgtransfer::importAnswers(arguments[2], arguments[4], site);
        if (outcome.error.isEmpty())
            out << u"%1 件の解答を取り込みました。\n"_s.arg(outcome.records);
    }
    if (!outcome.error.isEmpty()) {
        err << outcome.error << u"\n"_s;
        return 1;
    }
    return 0;
}

} // namespace mirai
