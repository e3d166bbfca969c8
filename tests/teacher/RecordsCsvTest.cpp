// The spreadsheet export: fields that survive a CSV reader as they were written, formula guards,
// and an export that fails without leaving a half file.

#include "RecordsCsv.h"

#include "CsvRows.h"
#include "RosterTables.h"
#include "TeacherFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

class RecordsCsvTest : public StationFixture<TestPlatform> {
protected:
    void SetUp() override {
        // Names with a comma, a quote, a line break, a formula, and a plain one.
        tree.writeRoster({u"7,2017,0,0,\"山田,花子\",0,\"\",\"\""_s, u"8,2016,0,0,\"=1+2\",0,\"\",\"\""_s,
                          u"9,2016,0,0,\"-佐藤\",0,\"\",\"\""_s, u"10,2016,0,0,\"@鈴木\",0,\"\",\"\""_s,
                          u"11,2016,0,0,\"田中\r\n次郎\",0,\"\",\"\""_s,
                          u"12,2016,0,0,\"+高橋\",0,\"\",\"\""_s});
        roster.LoadRosterChoices(tree.commonFolder() + u"新名簿.txt"_s, 2026);
        QByteArray bytes =
            rawRecordBytes({run(7, 1, 95), run(8, 2, 99999), run(9, 1, 0), run(10, 0, 30), run(11, 2, 123456),
                            run(12, 1, -4), run(42, 1, 61), run(-3, 1, 62)});
        bytes.replace(44 * 2 + 24, 5, "99999");                   // recorded at another site
        bytes.replace(44 * 3 + 34, 5, QByteArray("12\0\0\0", 5)); // points stored otherwise
        bytes += rawRecordBytes(run(13, 1, 70));
        writeBytes(resultPath(), bytes);
        QDir().mkpath(tree.root() + u"out"_s);
    }
    QString csvPath() const { return tree.root() + u"out/成績.csv"_s; }

    RosterTables roster;
    const QStringList header{u"記録番号"_s, u"日付"_s,     u"時刻"_s, u"レベル"_s, u"秒"_s,  u"時間切れ"_s,
                             u"ポイント"_s, u"生徒番号"_s, u"名前"_s, u"学年"_s,   u"教室"_s};
    Rows expected() const {
        const QString d = u"2026/12/09"_s;
        return {
            header,
            {u"1"_s,
             d,
             u"9:00:00"_s,
             u"1"_s,
             u"95"_s,
             {},
             u"0"_s,
             u"7"_s,
             u"山田,花子"_s,
             u"小３"_s,
             u"北教室"_s},
            {u"2"_s, d, u"9:00:00"_s, u"2"_s, {}, u"○"_s, u"0"_s, u"8"_s, u"'=1+2"_s, u"小４"_s, u"北教室"_s},
            {u"3"_s, d, u"9:00:00"_s, u"1"_s, u"0"_s, {}, u"0"_s, u"9"_s, u"'-佐藤"_s, u"小４"_s, u"他塾"_s},
            {u"4"_s,
             d,
             u"9:00:00"_s,
             u"0"_s,
             u"30"_s,
             {},
             u"12"_s,
             u"10"_s,
             u"'@鈴木"_s,
             u"小４"_s,
             u"北教室"_s},
            {u"5"_s,
             d,
             u"9:00:00"_s,
             u"2"_s,
             u"123456"_s,
             {},
             u"0"_s,
             u"11"_s,
             u"田中\r\n次郎"_s,
             u"小４"_s,
             u"北教室"_s},
            {u"6"_s,
             d,
             u"9:00:00"_s,
             u"1"_s,
             u"-4"_s,
             {},
             u"0"_s,
             u"12"_s,
             u"'+高橋"_s,
             u"小４"_s,
             u"北教室"_s},
            {u"7"_s, d, u"9:00:00"_s, u"1"_s, u"61"_s, {}, u"0"_s, u"42"_s, {}, {}, u"北教室"_s},
            {u"8"_s, d, u"9:00:00"_s, u"1"_s, u"62"_s, {}, u"0"_s, u"-3"_s, {}, {}, u"北教室"_s},
            {u"9"_s, d, u"9:00:00"_s, u"1"_s, u"70"_s, {}, u"0"_s, u"13"_s, {}, {}, u"北教室"_s}};
    }
};

TEST_F(RecordsCsvTest, EveryRecordReadsBackAsWritten) {
    const CsvExport result = exportRecordsCsv(ctx(), csvPath(), roster);
    ASSERT_TRUE(result.written) << result.error.toStdString();
    EXPECT_EQ(result.rows, 9);
    const QByteArray bytes = readBytes(csvPath());
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF\"記録番号\",\"日付\""));
    EXPECT_TRUE(bytes.endsWith("\"北教室\"\r\n"));
    // Numbers stand bare, every text is quoted.
    EXPECT_TRUE(bytes.contains(
        "\r\n2,\"2026/12/09\",\"9:00:00\",2,,\"○\",\"0\",8,\"'=1+2\",\"小４\",\"北教室\"\r\n"));
    bool wellFormed = false;
    const Rows rows = readCsv(bytes, &wellFormed);
    EXPECT_TRUE(wellFormed);
    EXPECT_EQ(rows, expected());
    EXPECT_TRUE(platform.messages.shown.empty());
}

TEST_F(RecordsCsvTest, ASpreadsheetsCsvReaderReadsTheSame) {
    const QString python = QStandardPaths::findExecutable(u"python3"_s);
    if (python.isEmpty())
        GTEST_SKIP() << "python3 is not on this machine";
    ASSERT_TRUE(exportRecordsCsv(ctx(), csvPath(), roster).written);
    QProcess process;
    process.start(python, {u"-c"_s,
                           u"import csv, json, sys\n"
                           "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
                           "    print(json.dumps(list(csv.reader(f, strict=True))))\n"_s,
                           csvPath()});
    ASSERT_TRUE(process.waitForFinished(30000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QJsonArray parsed = QJsonDocument::fromJson(process.readAllStandardOutput()).array();
    Rows rows;
    for (const QJsonValue& row : parsed) {
        QStringList fields;
        for (const QJsonValue& field : row.toArray())
            fields.append(field.toString());
        rows.push_back(fields);
    }
    EXPECT_EQ(rows, expected());
}

TEST_F(RecordsCsvTest, AFailedExportLeavesNoHalfFile) {
    // A folder that is not there.
    CsvExport result = exportRecordsCsv(ctx(), tree.root() + u"none/成績.csv"_s, roster);
    EXPECT_FALSE(result.written);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(tree.root() + u"none"_s));

    // A disk that fills up half-way: the file of an earlier export stays as it was.
    std::vector<RawRecord> many(2000, run(7, 1, 60));
    writeRecords(resultPath(), many);
    writeBytes(csvPath(), "earlier export\r\n");
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit small = before;
    small.rlim_cur = 16 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    result = exportRecordsCsv(ctx(), csvPath(), roster);
    setrlimit(RLIMIT_FSIZE, &before);
    EXPECT_FALSE(result.written);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_EQ(readBytes(csvPath()), QByteArray("earlier export\r\n"));
    EXPECT_EQ(QDir(tree.root() + u"out"_s).entryList(QDir::Files), QStringList{u"成績.csv"_s});

    // With room again, the whole file.
    result = exportRecordsCsv(ctx(), csvPath(), roster);
    EXPECT_TRUE(result.written);
    EXPECT_EQ(result.rows, 2000);
    EXPECT_EQ(readBytes(csvPath()).count("\r\n"), 2001);
}

} // namespace
} // namespace mirai::test
