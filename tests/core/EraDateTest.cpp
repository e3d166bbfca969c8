#include "EraDate.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace mirai;

namespace {

struct EraCase {
    QDate date;
    const char16_t* text;
};

class EraDateTest : public ::testing::TestWithParam<EraCase> {};

TEST_P(EraDateTest, FormatsEraYearMonthDayAndWeekday) {
    EXPECT_EQ(eraDateText(GetParam().date), QString::fromUtf16(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Boundaries, EraDateTest,
                         ::testing::Values(EraCase{QDate(2004, 2, 8), u"平成16年 2月 08日（日）"},
                                           EraCase{QDate(2019, 4, 30), u"平成31年 4月 30日（火）"},
                                           EraCase{QDate(2019, 5, 1), u"令和1年 5月 01日（水）"},
                                           EraCase{QDate(2026, 12, 9), u"令和8年 12月 09日（水）"},
                                           EraCase{QDate(1989, 1, 7), u"昭和64年 1月 07日（土）"},
                                           EraCase{QDate(1989, 1, 8), u"平成1年 1月 08日（日）"},
                                           EraCase{QDate(1926, 12, 24), u"大正15年 12月 24日（金）"},
                                           EraCase{QDate(1926, 12, 25), u"昭和1年 12月 25日（土）"},
                                           EraCase{QDate(1912, 7, 29), u"明治45年 7月 29日（月）"},
                                           EraCase{QDate(1912, 7, 30), u"大正1年 7月 30日（火）"}));

struct SeasonCase {
    int month;
    std::uint32_t colour;
};

class SeasonTest : public ::testing::TestWithParam<SeasonCase> {};

TEST_P(SeasonTest, ColourFollowsTheMonth) {
    EXPECT_EQ(seasonColour(GetParam().month), GetParam().colour);
}

INSTANTIATE_TEST_SUITE_P(Months, SeasonTest,
                         ::testing::Values(SeasonCase{1, 0x000080FF}, SeasonCase{2, 0x000080FF},
                                           SeasonCase{3, 0x00C0FFC0}, SeasonCase{5, 0x00C0FFC0},
                                           SeasonCase{6, 0x00C0C000}, SeasonCase{8, 0x00C0C000},
                                           SeasonCase{9, 0x000040C0}, SeasonCase{11, 0x000040C0},
                                           SeasonCase{12, 0x00C0FFC0}));

TEST(SeasonColour, FirstOfMarchAndLastOfFebruaryDiffer) {
    EXPECT_EQ(seasonColour(QDate(2005, 3, 1).month()), 0x00C0FFC0u);
    EXPECT_EQ(seasonColour(QDate(2005, 2, 28).month()), 0x000080FFu);
}

} // namespace
