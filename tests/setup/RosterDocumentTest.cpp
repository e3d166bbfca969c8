#include "RosterDocument.h"

#include "Doubles.h"
#include "QtPrinters.h"
#include "RecordFiles.h"
#include "RosterNumbers.h"
#include "SetupFixture.h"
#include "TextRules.h"

#include <functional>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

using test::PrintTo;

// ---- Read and written back: byte for byte -------------------------------------------------------

struct RoundTripCase {
    const char* name;
    QByteArray bytes;
    int entries;
    int unreadable;
    bool rewritable;
};

class RosterRoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RosterRoundTripTest, AnUnchangedRosterIsWrittenBackByteForByte) {
    const RoundTripCase& c = GetParam();
    const RosterDocument roster(c.bytes);
    EXPECT_EQ(roster.rowCount(), c.entries);
    EXPECT_EQ(roster.unreadableCount(), c.unreadable);
    EXPECT_EQ(roster.rewritable(), c.rewritable);
    EXPECT_FALSE(roster.modified());
    if (c.rewritable) {
        EXPECT_EQ(roster.bytes(), c.bytes);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, RosterRoundTripTest,
    ::testing::Values(
        RoundTripCase{
            "as_the_stations_write_it",
            cp(u"1,2019,0,0,\"青木　陽向\",0,\"\",\"\"\r\n900,1990,0,0,\"★山口先生\",0,\"\",\"\"\r\n"_s), 2,
            0, true},
        RoundTripCase{"unquoted_with_blanks", cp(u"7, 2015 ,3,4,山田花子 ,1,メモ,\r\n"_s), 1, 0, true},
        RoundTripCase{"one_record_over_two_lines", cp(u"7,2015,0,0\r\n\"山田\",0,\"\",\"\"\r\n"_s), 1, 0,
                      true},
        RoundTripCase{
            "unreadable_records_kept",
            cp(u"6000,2015,0,0,\"x\",0,\"\",\"\"\r\n8,二〇一四,0,0,\"y\",0,\"\",\"\"\r\n9,2014,0,0,\"z\",0,\"\",\"\"\r\n"_s),
            1, 2, true},
        RoundTripCase{"end_of_file_mark", cp(u"7,2015,0,0,\"a\",0,\"\",\"\"\r\n\x1A"_s), 1, 0, true},
        RoundTripCase{"no_last_line_end", cp(u"7,2015,0,0,\"a\",0,\"\",\"\""_s), 1, 0, true},
        RoundTripCase{"file_ends_inside_a_record", cp(u"7,2015,0,0,\"a\",0,\"\",\"\"\r\n8,2014"_s), 1, 0,
                      true},
        RoundTripCase{"half_width_kana_and_circled", cp(u"3,2016,0,0,\"ﾀﾅｶ ①\",0,\"\",\"\"\r\n"_s), 1, 0,
                      true},
        RoundTripCase{"empty", QByteArray(), 0, 0, true},
        // A code that is no character, and a kanji stored in the NEC-selected block, which code page
        // 932 writes in the IBM block: written back they would change.
        RoundTripCase{"undecodable_code", QByteArray("7,2015,0,0,\"\x85\x40\",0,\"\",\"\"\r\n"), 1, 0, false},
        RoundTripCase{"nec_selected_kanji", QByteArray("7,2015,0,0,\"\xED\x40\",0,\"\",\"\"\r\n"), 1, 0,
                      false}));

// ---- Edited: only what changed is rewritten ---------------------------------------------------------

struct EditCase {
    const char* name;
    QString before;
    std::function<void(RosterDocument&)> edit;
    QString after;
};

class RosterEditTest : public ::testing::TestWithParam<EditCase> {};

TEST_P(RosterEditTest, RewritesChangedRecordsAndReadsBackAsEdited) {
    const EditCase& c = GetParam();
    RosterDocument roster(c.before.isNull() ? std::nullopt : std::optional<QByteArray>(cp(c.before)));
    c.edit(roster);
    EXPECT_TRUE(roster.modified());
    EXPECT_EQ(roster.bytes(), cp(c.after));
    const RosterDocument reread(roster.bytes());
    ASSERT_EQ(reread.rowCount(), roster.rowCount());
    for (int i = 0; i < roster.rowCount(); ++i)
        EXPECT_EQ(reread.row(i), roster.row(i)) << i;
}

const QString kThree =
    u"1,2015, 3 ,4,花子,0,メモ,x\r\n2,2014,0,0,\"一郎\",0,\"\",\"\"\r\n3,2013,0,0,\"次郎\",0,\"\",\"\"\r\n"_s;

INSTANTIATE_TEST_SUITE_P(
    Edits, RosterEditTest,
    ::testing::Values(
        EditCase{
            "renamed_keeps_its_unused_fields", kThree, [](RosterDocument& r) { r.setName(0, u"花子2"_s); },
            u"1,2015,3,4,\"花子2\",0,\"メモ\",\"x\"\r\n2,2014,0,0,\"一郎\",0,\"\",\"\"\r\n3,2013,0,0,\"次郎\",0,\"\",\"\"\r\n"_s},
        EditCase{
            "hidden_and_birth_year", kThree,
            [](RosterDocument& r) {
                r.setListFlag(1, kHiddenFlag);
                r.setBirthYear(2, 2012);
            },
            u"1,2015, 3 ,4,花子,0,メモ,x\r\n2,2014,0,0,\"一郎\",1,\"\",\"\"\r\n3,2012,0,0,\"次郎\",0,\"\",\"\"\r\n"_s},
        EditCase{"added_to_no_file", QString(),
                 [](RosterDocument& r) {
                     r.append({1, 1990, u"★山口"_s, 0});
                 },
                 u"1,1990,0,0,\"★山口\",0,\"\",\"\"\r\n"_s},
        EditCase{"added_after_a_last_line_without_end", u"7,2015,0,0,\"a\",0,\"\",\"\""_s,
                 [](RosterDocument& r) {
                     r.append({8, 2016, u"b"_s, 0});
                 },
                 u"7,2015,0,0,\"a\",0,\"\",\"\"\r\n8,2016,0,0,\"b\",0,\"\",\"\"\r\n"_s},
        EditCase{"added_before_the_end_of_file_mark", u"7,2015,0,0,\"a\",0,\"\",\"\"\r\n\x1A"_s,
                 [](RosterDocument& r) {
                     r.append({8, 2016, u"b, c"_s, 0});
                 },
                 u"7,2015,0,0,\"a\",0,\"\",\"\"\r\n8,2016,0,0,\"b, c\",0,\"\",\"\"\r\n\x1A"_s},
        EditCase{"added_before_a_broken_end", u"7,2015,0,0,\"a\",0,\"\",\"\"\r\n9,20"_s,
                 [](RosterDocument& r) {
                     r.append({8, 2016, u"b"_s, 0});
                 },
                 u"7,2015,0,0,\"a\",0,\"\",\"\"\r\n8,2016,0,0,\"b\",0,\"\",\"\"\r\n9,20"_s}));

TEST(RosterDocument, AnEditThatChangesNothingLeavesItUnmodified) {
    RosterDocument roster(cp(kThree));
    roster.setName(1, u"一郎"_s);
    roster.setListFlag(1, 0);
    EXPECT_FALSE(roster.modified());
}

// ---- Numbers -------------------------------------------------------------------------------------

struct NumberCase {
    const char* name;
    std::vector<int> inRoster;
    std::vector<int> withRuns;
    std::optional<int> expected;
};

std::vector<bool> table(const std::vector<int>& numbers) {
    std::vector<bool> result(kStudentRows, false);
    for (int n : numbers)
        result[static_cast<std::size_t>(n)] = true;
    return result;
}

std::vector<int> upTo(int last) {
    std::vector<int> numbers;
    for (int n = 1; n <= last; ++n)
        numbers.push_back(n);
    return numbers;
}

class NextNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NextNumberTest, TakesTheLowestNumberNeitherListedNorRun) {
    const NumberCase& c = GetParam();
    EXPECT_EQ(nextFreeNumber(table(c.inRoster), table(c.withRuns)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, NextNumberTest,
    ::testing::Values(NumberCase{"empty_roster", {}, {}, 1}, NumberCase{"after_the_last", {1, 2, 3}, {}, 4},
                      NumberCase{"a_gap", {1, 3}, {}, 2}, NumberCase{"a_gap_with_runs", {1, 3}, {2}, 4},
                      NumberCase{"runs_of_numbers_gone_from_the_roster", {}, {1, 2, 5}, 3},
                      NumberCase{"zero_is_never_given", {0}, {0}, 1},
                      NumberCase{"all_taken", upTo(5000), {}, std::nullopt},
                      NumberCase{"the_last_left_has_runs", upTo(4999), {5000}, std::nullopt}));

class RunNumbersTest : public SetupFixture<TestPlatform> {};

TEST_F(RunNumbersTest, EveryStudentWithARunInTheResultFile) {
    auto run = [](int student, int level) {
        RawRecord record;
        record.student = static_cast<std::int16_t>(student);
        record.level = static_cast<std::int16_t>(level);
        return record;
    };
    writeRecords(resultPath(), {run(7, 1), run(4999, 2), run(7, 2), run(-3, 1), run(6000, 1)});
    const std::optional<std::vector<bool>> numbers = numbersWithRuns(ctx());
    ASSERT_TRUE(numbers.has_value());
    EXPECT_EQ(*numbers, table({7, 4999}));
}

// ---- Texts the roster can hold -------------------------------------------------------------------

struct TextCase {
    const char* name;
    QString text;
    QString refusal; // empty: accepted
};

class UnwritableTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(UnwritableTextTest, NamesTheFirstCharacterCodePage932CannotHold) {
    EXPECT_EQ(unwritableReason(GetParam().text), GetParam().refusal);
}

QString notInCp932(const QString& character, const QString& code) {
    return u"「"_s + character + u"」（U+"_s + code +
           u"）はシフトJISにない文字なので、書けません。別の字に置きかえてください。"_s;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, UnwritableTextTest,
    ::testing::Values(TextCase{"kanji_and_kana", u"山田　はなこ"_s, {}},
                      TextCase{"half_width_kana", u"ﾔﾏﾀﾞ"_s, {}}, TextCase{"circled_and_roman", u"①Ⅱ"_s, {}},
                      TextCase{"ibm_kanji", u"髙橋"_s, {}},
                      TextCase{"comma_is_fine_in_quotes", u"山田, 花子"_s, {}},
                      TextCase{"outside_the_basic_plane", u"𠮷田"_s, notInCp932(u"𠮷"_s, u"20BB7"_s)},
                      TextCase{"emoji_after_kana", u"はな😀"_s, notInCp932(u"😀"_s, u"1F600"_s)},
                      TextCase{"latin_accent", u"José"_s, notInCp932(u"é"_s, u"00E9"_s)},
                      TextCase{"hangul", u"김"_s, notInCp932(u"김"_s, u"AE40"_s)},
                      TextCase{"double_quote", u"a\"b"_s, u"「\"」は使えません。"_s},
                      TextCase{"tab", u"a\tb"_s, u"改行やタブは使えません。"_s},
                      TextCase{"line_end", u"a\r\nb"_s, u"改行やタブは使えません。"_s}));

TEST(NameRules, EmptyNamesAreRefusedAndLongOnesWarned) {
    EXPECT_EQ(nameRefusal(u"　 "_s), u"名前を入れてください。"_s);
    EXPECT_TRUE(nameRefusal(u"山田"_s).isEmpty());
    EXPECT_TRUE(nameWarning(QString(20, u'山')).isEmpty());
    EXPECT_FALSE(nameWarning(QString(21, u'山')).isEmpty());
}

} // namespace
} // namespace mirai::test
