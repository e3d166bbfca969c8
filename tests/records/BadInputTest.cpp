// Random and truncated input for the field reader, the roster reader and the record loader:
// no crash, no write out of bounds (run it under the sanitizers), and results that make sense.

#include "Cp932.h"
#include "NumberText.h"
#include "RecordFiles.h"
#include "RecordsFixture.h"
#include "ResultRecords.h"
#include "Roster.h"
#include "Statistics.h"
#include "TextFile.h"

#include <cmath>
#include <random>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

// Replayed sequences: a failure names its round, and the same round fails again.
constexpr std::uint32_t kStartValue = 20261209;

QByteArray randomBytes(std::mt19937& random, int maxLength) {
    std::uniform_int_distribution<int> length(0, maxLength);
    std::uniform_int_distribution<int> byte(0, 255);
    QByteArray bytes(length(random), '\0');
    for (char& c : bytes)
        c = static_cast<char>(byte(random));
    return bytes;
}

// Text made mostly of the characters the readers care about.
QByteArray fieldSoup(std::mt19937& random, int maxLength) {
    static const char* const pieces[] = {",",           "\"",   "\r\n",     "\n",   "\r",   " ",    "\t",
                                         "0",           "12",   "-3",       "5000", "5001", "1997", "1e9",
                                         "99999999999", "1.5",  ".",        "e",    "+",    "abc",  "\x1a",
                                         "\x82\xa0",    "\x82", "\x96\x6b", "名"};
    std::uniform_int_distribution<int> count(0, maxLength);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    QByteArray bytes;
    for (int i = count(random); i > 0; --i)
        bytes += pieces[pick(random)];
    return bytes;
}

// A valid roster, then damaged: bytes flipped, cut short, or pieces inserted.
QByteArray damagedRoster(std::mt19937& random) {
    QString text;
    std::uniform_int_distribution<int> number(-10, 5010);
    std::uniform_int_distribution<int> year(1985, 2022);
    std::uniform_int_distribution<int> flag(0, 3);
    const int records = std::uniform_int_distribution<int>(0, 30)(random);
    for (int i = 0; i < records; ++i)
        text += QString::number(number(random)) + u","_s + QString::number(year(random)) + u",0,0,\"名前"_s +
                QString::number(i) + u"\","_s + QString::number(flag(random)) + u",\"\",\"\"\r\n"_s;
    QByteArray bytes = cp932::encode(text);
    std::uniform_int_distribution<int> damage(0, 3);
    switch (damage(random)) {
    case 0:
        if (!bytes.isEmpty())
            bytes.truncate(std::uniform_int_distribution<qsizetype>(0, bytes.size() - 1)(random));
        break;
    case 1:
        for (int i = 0; i < 5 && !bytes.isEmpty(); ++i)
            bytes[std::uniform_int_distribution<qsizetype>(0, bytes.size() - 1)(random)] =
                static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random));
        break;
    case 2:
        bytes.insert(bytes.isEmpty() ? 0 : bytes.size() / 2, fieldSoup(random, 20));
        break;
    default:
        break;
    }
    return bytes;
}

TEST(BadInput, FieldReaderSurvivesAnyBytes) {
    std::mt19937 random(kStartValue);
    std::uniform_int_distribution<int> kind(0, 4);
    for (int round = 0; round < 3000; ++round) {
        TextFieldReader reader;
        reader.setBytes(round % 2 == 0 ? randomBytes(random, 200) : fieldSoup(random, 60));
        // Every read consumes input or the end is near: a bounded number of reads reaches it.
        int reads = 0;
        while (!reader.atEnd() && reads < 1000) {
            switch (kind(random)) {
            case 0:
                reader.readText();
                break;
            case 1:
                reader.readInt16();
                break;
            case 2:
                reader.readInt32();
                break;
            case 3: {
                const float value = reader.readSingle();
                ASSERT_FALSE(std::isinf(value)) << "round " << round;
                break;
            }
            default:
                reader.readUntyped();
                break;
            }
            ++reads;
        }
        ASSERT_TRUE(reader.atEnd()) << "round " << round;
    }
}

class BadInputFixture : public RecordsFixture {};

TEST_F(BadInputFixture, RosterReaderSurvivesDamagedAndRandomFiles) {
    std::mt19937 random(kStartValue + 1);
    state().SchoolYearStartMonth = Untyped::number(4);
    state().RosterKeepMark2 = Untyped::number(1);
    const QString path = tree.commonFolder() + u"新名簿.txt"_s;
    for (int round = 0; round < 2000; ++round) {
        const int form = round % 3;
        writeBytes(path, form == 0   ? damagedRoster(random)
                         : form == 1 ? fieldSoup(random, 80)
                                     : randomBytes(random, 300));
        int calls = 0;
        bool sound = true;
        ReadRoster(state(), QDate(2005, 3, 15), [&](const ListedRecord& record) {
            ++calls;
            sound = sound && isStudentNumber(record.number) && record.name.size() <= 20 &&
                    record.name == trimBlanks(record.name) && !record.halfWidthLabel.isEmpty();
        });
        ASSERT_TRUE(sound) << "round " << round;
        ASSERT_EQ(calls, state().ListedStudentCount) << "round " << round;
        ASSERT_EQ(state().NumberByPosition.size(), static_cast<std::size_t>(calls) + 1) << "round " << round;
        for (int position = 1; position <= state().ListedStudentCount; ++position) {
            const int number = state().NumberByPosition[static_cast<std::size_t>(position)];
            ASSERT_TRUE(isStudentNumber(number)) << "round " << round;
            ASSERT_EQ(state().RosterNames[static_cast<std::size_t>(number)].size(), 20) << "round " << round;
        }
    }
}

TEST_F(BadInputFixture, LoaderAndStatisticsSurviveDamagedAndRandomFiles) {
    std::mt19937 random(kStartValue + 2);
    platform.clock.set(QDateTime(QDate(2026, 12, 9), QTime(10, 0)));
    for (int level = 1; level <= kMaxLevel; ++level) {
        LevelCriteriaRow& row = state().LevelCriteria[static_cast<std::size_t>(level)];
        row.TargetSeconds = level * 20 - 40; // some at 0 and below
        row.PointFactor = level == 3 ? 1e30f : 1.5f;
        row.PassPeriodDays = Untyped::number(level % 5 == 0 ? -2.5 : 7);
        row.OverusePeriodDays = Untyped::number(level % 7 == 0 ? 1e308 : 1);
    }
    std::uniform_int_distribution<int> small(-3, 40);
    std::uniform_int_distribution<int> student(-5, 5010);
    std::uniform_int_distribution<int> seconds(-100, 120000);
    std::uniform_int_distribution<int> daysAgo(-3, 40);
    for (int round = 0; round < 1500; ++round) {
        QByteArray bytes;
        if (round % 3 == 0) {
            bytes = randomBytes(random, 44 * 30 + 43);
        } else {
            std::vector<RawRecord> records(
                static_cast<std::size_t>(std::uniform_int_distribution<int>(0, 40)(random)));
            for (RawRecord& record : records) {
                record.date = QDate(2026, 12, 9).addDays(-daysAgo(random));
                record.student = static_cast<std::int16_t>(student(random));
                record.level = static_cast<std::int16_t>(small(random));
                record.seconds = round % 3 == 1 ? seconds(random) : static_cast<std::int32_t>(random());
            }
            bytes = rawRecordBytes(records);
            // Cut short at any byte, as an interrupted copy would.
            if (round % 5 == 0 && !bytes.isEmpty())
                bytes.truncate(std::uniform_int_distribution<qsizetype>(0, bytes.size())(random));
        }
        writeBytes(resultPath(), bytes);
        ASSERT_TRUE(ComputeResultStatistics(ctx())) << "round " << round;
        const std::int64_t complete = bytes.size() / 44;
        ASSERT_LE(state().LoadedResultCount, complete) << "round " << round;
        ASSERT_EQ(state().LoadedResultCount, static_cast<std::int32_t>(state().LoadedResults.size()));
        for (const LoadedResult& entry : state().LoadedResults) {
            ASSERT_GE(entry.StudentNumber, 1) << "round " << round;
            ASSERT_LE(entry.StudentNumber, kMaxStudent) << "round " << round;
            ASSERT_GE(entry.Level, 1) << "round " << round;
            ASSERT_LE(entry.Level, kMaxLevel) << "round " << round;
            ASSERT_GE(entry.RunDate, 0.0) << "round " << round;
        }
        for (int level = 1; level <= kMaxLevel; ++level) {
            ASSERT_LE(state().BestSecondsAll[static_cast<std::size_t>(level)], kNoRecordSeconds);
            for (int s : {1, 2500, 5000}) {
                ASSERT_LE(state().RunCountToday(level, s), state().RunCountSoFar(level, s))
                    << "round " << round;
                ASSERT_LE(state().RunCountSoFar(level, s), complete) << "round " << round;
            }
        }
        ASSERT_TRUE(platform.messages.shown.empty()) << "round " << round;
    }
}

TEST_F(BadInputFixture, ListReaderDecodesAnyBytes) {
    std::mt19937 random(kStartValue + 3);
    for (int round = 0; round < 1000; ++round) {
        const QByteArray bytes = randomBytes(random, 44 * 10 + 43);
        writeBytes(resultPath(), bytes);
        const auto range = readNewestRecords(ctx(), std::uniform_int_distribution<int>(-1, 12)(random));
        ASSERT_TRUE(range) << "round " << round;
        ASSERT_EQ(range->total, bytes.size() / 44);
        ASSERT_LE(static_cast<std::int64_t>(range->records.size()), range->total);
        for (const ResultRecord& record : range->records) {
            // Whatever the bytes, the dates either convert or are plainly absent.
            (void)dateFromOle(record.RunDate);
            (void)timeFromOle(record.RunTimeOfDay);
            ASSERT_EQ(encodeRecord(record).size(), 44);
        }
    }
}

} // namespace
} // namespace mirai::test
