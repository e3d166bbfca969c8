// The result store's promises, one table of cases run against both stores: the shared folder's
// file and the PostgreSQL server.

#include "AnswerLog.h"
#include "Doubles.h"
#include "Files.h"
#include "PgServer.h"
#include "RecordFiles.h"
#include "ResultRecords.h"
#include "ResultStore.h"
#include "SharedState.h"
#include "StoreMessages.h"

#include <QDir>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

enum class Kind { Files, Postgres };

// One station on a store of either kind, with its own folders and platform doubles.
class Station {
public:
    Station(Kind kind, const char* role = pgserver::kSiteA, const char* site = pgserver::kCodeA)
        : m_kind(kind), m_role(role), m_state(std::make_unique<SharedState>()) {
        QDir().mkpath(tree.dataFolder());
        state().CommonFolder = tree.commonFolder();
        state().DataFolder = tree.dataFolder();
        state().QueueFolder = tree.root() + u"端末/"_s;
        state().SiteCode = QString::fromLatin1(site);
        state().ProgramTitle = u"みらいドリル"_s;
        if (kind == Kind::Postgres)
            state().StoreConnection = pgserver::as(role);
        platform.events.stepMs = 100;
    }

    SharedState& state() { return *m_state; }
    Context ctx() { return Context{*m_state, platform.platform()}; }
    std::unique_ptr<ResultStore> store() { return openResultStore(ctx()); }

    // The store out of reach: the shared folder gone, or nothing listening where the server was.
    void goAway() {
        if (m_kind == Kind::Files)
            ASSERT_TRUE(QDir().rename(tree.dataFolder().chopped(1), tree.root() + u"外れ"_s));
        else
            state().StoreConnection = u"host=127.0.0.1 port=1 dbname=mirai_test user=site_a"_s;
    }
    void comeBack() {
        if (m_kind == Kind::Files)
            ASSERT_TRUE(QDir().rename(tree.root() + u"外れ"_s, tree.dataFolder().chopped(1)));
        else
            state().StoreConnection = pgserver::as(m_role);
    }

    DataTree tree;
    TestPlatform platform;

private:
    Kind m_kind;
    const char* m_role;
    std::unique_ptr<SharedState> m_state;
};

RawRecord run(int student, int seconds, const char* site = pgserver::kCodeA) {
    return pgserver::siteRun(student, seconds, 3, site);
}

// Five runs, stored in order; their bytes.
QByteArray fiveRuns(ResultStore& store) {
    QByteArray all;
    for (int i = 1; i <= 5; ++i) {
        const QByteArray record = rawRecordBytes(run(10 + i, 60 + i));
        EXPECT_TRUE(store.append(mirai::StoredRun{record, {}, 1000u + static_cast<std::uint64_t>(i)}).ok());
        all += record;
    }
    return all;
}

QByteArray recordAt(const QByteArray& all, int number) {
    return all.mid((number - 1) * 44, 44);
}

QByteArray answersOf(std::uint64_t runId, int count) {
    QByteArray bytes;
    for (int i = 1; i <= count; ++i) {
        LoggedAnswer answer;
        answer.runId = runId;
        answer.student = 12;
        answer.level = 3;
        answer.index = static_cast<std::uint8_t>(i);
        answer.digitA = 7;
        answer.digitB = static_cast<std::uint8_t>(i);
        answer.placesB = 1;
        answer.typed = {'0', '.', '7'};
        answer.typedLength = 3;
        answer.right = i % 2 == 1;
        answer.ms = 900u * static_cast<std::uint32_t>(i);
        bytes += answerlog::encode(answer);
    }
    return bytes;
}

QByteArray scanned(ResultStore& store, std::int64_t& count) {
    QByteArray bytes;
    const StoreResult<std::int64_t> scan =
        store.scan([&](const char* records, std::int64_t n) { bytes.append(records, n * 44); });
    EXPECT_TRUE(scan.ok());
    count = scan ? *scan : -1;
    return bytes;
}

// How a change was refused; none when it was made.
std::optional<StoreErrorKind> kindOf(const StoreResult<Done>& result) {
    if (result)
        return std::nullopt;
    return result.error().kind;
}

struct ContractCase {
    const char* name;
    std::function<void(Station&)> check;
};

const ContractCase kContract[] = {
    {"TheNewestRunsComeBackInOrderWithTheirNumbers",
     [](Station& station) {
         auto store = station.store();
         const StoreResult<RecordWindow> empty = store->readNewest(20);
         ASSERT_TRUE(empty.ok()) << storeErrorMessage(empty.error()).toStdString();
         EXPECT_EQ(empty->total, 0);
         EXPECT_TRUE(empty->bytes.isEmpty());
         const QByteArray all = fiveRuns(*store);
         const StoreResult<RecordWindow> three = store->readNewest(3);
         ASSERT_TRUE(three.ok());
         EXPECT_EQ(three->total, 5);
         EXPECT_EQ(three->first, 3);
         EXPECT_EQ(three->bytes, all.mid(2 * 44));
         const StoreResult<RecordWindow> every = store->readNewest(100);
         ASSERT_TRUE(every.ok());
         EXPECT_EQ(every->first, 1);
         EXPECT_EQ(every->bytes, all);
     }},
    {"AScanGivesEveryRunInOrder",
     [](Station& station) {
         auto store = station.store();
         std::int64_t count = -1;
         EXPECT_TRUE(scanned(*store, count).isEmpty());
         EXPECT_EQ(count, 0);
         const QByteArray all = fiveRuns(*store);
         EXPECT_EQ(scanned(*store, count), all);
         EXPECT_EQ(count, 5);
     }},
    {"ARunIsReadByItsNumberAndNoOtherIs",
     [](Station& station) {
         auto store = station.store();
         const QByteArray all = fiveRuns(*store);
         const StoreResult<QByteArray> second = store->readRecord(2);
         ASSERT_TRUE(second.ok());
         EXPECT_EQ(*second, recordAt(all, 2));
         for (const std::int64_t number : {0, 6, 100}) {
             const StoreResult<QByteArray> none = store->readRecord(number);
             ASSERT_FALSE(none.ok()) << number;
             EXPECT_EQ(none.error().kind, StoreErrorKind::NoSuchRecord) << number;
         }
     }},
    {"APatchChangesStudentAndTimeOnlyAndOnlyWhatWasRead",
     [](Station& station) {
         auto store = station.store();
         const QByteArray all = fiveRuns(*store);
         ASSERT_TRUE(store->patch(2, recordAt(all, 2), 99, 123).ok());
         RawRecord expected = run(12, 62);
         expected.student = 99;
         expected.seconds = 123;
         EXPECT_EQ(*store->readRecord(2), rawRecordBytes(expected));
         EXPECT_EQ(kindOf(store->patch(2, recordAt(all, 2), 1, 1)), StoreErrorKind::Changed);
         EXPECT_EQ(kindOf(store->patch(9, recordAt(all, 2), 1, 1)), StoreErrorKind::NoSuchRecord);
         EXPECT_EQ(*store->readRecord(2), rawRecordBytes(expected));
         EXPECT_EQ(*store->readRecord(3), recordAt(all, 3));
     }},
    {"ADeleteRemovesExactlyThatRun",
     [](Station& station) {
         auto store = station.store();
         const QByteArray all = fiveRuns(*store);
         ASSERT_TRUE(store->remove(3, recordAt(all, 3)).ok());
         std::int64_t count = 0;
         EXPECT_EQ(scanned(*store, count), all.left(2 * 44) + all.mid(3 * 44));
         EXPECT_EQ(store->readNewest(10)->total, 4);
         // Number 3 is now the run that was 4th: the teacher's copy no longer fits.
         EXPECT_EQ(kindOf(store->remove(3, recordAt(all, 3))), StoreErrorKind::Changed);
         EXPECT_EQ(kindOf(store->remove(5, recordAt(all, 5))), StoreErrorKind::NoSuchRecord);
         EXPECT_EQ(store->readNewest(10)->total, 4);
     }},
    {"ARunsAnswersAndALeftRunsAnswersComeBackInOrder",
     [](Station& station) {
         auto store = station.store();
         const QByteArray finished = answersOf(71, 3);
         const QByteArray left = answersOf(72, 2);
         ASSERT_TRUE(store->append(mirai::StoredRun{rawRecordBytes(run(12, 70)), finished, 71}).ok());
         ASSERT_TRUE(store->append(mirai::StoredRun{{}, left, 72}).ok());
         QByteArray back;
         const StoreResult<std::int64_t> count =
             store->scanAnswers([&](const LoggedAnswer* a, std::int64_t n) {
                 for (std::int64_t i = 0; i < n; ++i)
                     back += answerlog::encode(a[i]);
             });
         ASSERT_TRUE(count.ok());
         EXPECT_EQ(*count, 5);
         EXPECT_EQ(back, finished + left);
         EXPECT_EQ(store->readNewest(10)->total, 1); // a left run makes no record
         // Asked for some students: theirs only.
         for (const auto& [students, expected] :
              {std::pair{std::vector<int>{12}, 5}, std::pair{std::vector<int>{13, 500}, 0}}) {
             std::int64_t seen = 0;
             ASSERT_TRUE(store
                             ->scanAnswers([&](const LoggedAnswer*, std::int64_t n) { seen += n; },
                                           StudentFilter(students))
                             .ok());
             EXPECT_EQ(seen, expected);
         }
     }},
    {"ARunKeptWhileTheStoreIsAwayIsStoredOnceWhenItIsBack",
     [](Station& station) {
         station.goAway();
         const QByteArray record = rawRecordBytes(run(14, 80));
         const StoreResult<Appended> kept =
             station.store()->append(mirai::StoredRun{record, answersOf(81, 2), 81});
         ASSERT_TRUE(kept.ok());
         EXPECT_TRUE(kept->keptOnStation);
         EXPECT_EQ(kept->why.kind, StoreErrorKind::Unreachable);
         EXPECT_EQ(station.store()->queuedCount(), 1);
         EXPECT_EQ(station.store()->queuedRecords(), record);
         EXPECT_FALSE(station.store()->replay().ok());
         station.comeBack();
         auto store = station.store();
         const StoreResult<std::int64_t> first = store->replay();
         ASSERT_TRUE(first.ok());
         EXPECT_EQ(*first, 1);
         const StoreResult<std::int64_t> again = store->replay();
         ASSERT_TRUE(again.ok());
         EXPECT_EQ(*again, 0);
         EXPECT_EQ(store->queuedCount(), 0);
         EXPECT_EQ(store->readNewest(10)->bytes, record);
         std::int64_t answers = 0;
         ASSERT_TRUE(store->scanAnswers([&](const LoggedAnswer*, std::int64_t n) { answers += n; }).ok());
         EXPECT_EQ(answers, 2);
     }},
};

struct KindCase {
    const char* name;
    Kind kind;
};

class StoreContract : public ::testing::TestWithParam<std::tuple<KindCase, ContractCase>> {};

TEST_P(StoreContract, Holds) {
    const auto& [kind, contract] = GetParam();
    if (kind.kind == Kind::Postgres) {
        if (!pgserver::available())
            GTEST_SKIP() << "no PostgreSQL server (run under scripts/with-pg-server)";
        pgserver::prepare();
    }
    Station station(kind.kind);
    contract.check(station);
}

INSTANTIATE_TEST_SUITE_P(BothStores, StoreContract,
                         ::testing::Combine(::testing::Values(KindCase{"Files", Kind::Files},
                                                              KindCase{"Postgres", Kind::Postgres}),
                                            ::testing::ValuesIn(kContract)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::get<1>(info.param).name;
                         });

} // namespace
} // namespace mirai::test
