#pragma once

#include "Configuration.h"
#include "Controls.h"
#include "Files.h"
#include "RecordFiles.h"
#include "Roster.h"
#include "Screen.h"
#include "ScreenNames.h"
#include "SharedState.h"
#include "UiDoubles.h"
#include "seisekitime1.h"

#include <QListWidget>
#include <QPointer>
#include <gtest/gtest.h>
#include <memory>

namespace mirai::test {

// Stands in for a screen around the hub; it remembers the level current when it came up.
class StubScreen : public Screen {
public:
    StubScreen(SharedState& state) : m_state(state) {}
    void activate() override {
        ++activations;
        level = m_state.CurrentLevel;
    }
    int activations = 0;
    int level = 0;

private:
    SharedState& m_state;
};

// A station on Wednesday 9 December 2026 at 10:00 with two levels, a small roster and student 7
// ("山田花子", third grade) signed in at 9:50.
class HubFixture : public ::testing::Test {
protected:
    void SetUp() override {
        platform.clock.set(QDateTime(QDate(2026, 12, 9), QTime(10, 0, 0)));
        tree.writeDefaults();
        tree.writeRoster({QStringLiteral("7,2017,0,0,\"山田花子\",0,\"\",\"\""),
                          QStringLiteral("8,2016,0,0,\"佐藤一郎\",0,\"\",\"\""),
                          QStringLiteral("9,2012,0,0,\"鈴木次郎\",0,\"\",\"\"")});
        writeCriteria(
            {QStringLiteral("120,300,100,5,1,0,0,7,1,,,"), QStringLiteral("150,400,100,5,1.5,0,0,7,1,,,")});
        state->StudentNumber = 7;
        state->StudentName = QStringLiteral("山田花子").leftJustified(20, u' ');
        state->StudentGroupText = QStringLiteral("小３");
        state->SessionStart = 9 * 3600 + 50 * 60;
        for (const QString& name : {screens::namesel(), screens::MainFrm()}) {
            platform.screens.registerScreen(name, [this, name] {
                auto* stub = new StubScreen(*state);
                stubs[name] = stub;
                return stub;
            });
        }
        registerResultsScreen(platform.screens, ctx());
        readRoster();
    }

    // The name selection has read the roster before the hub opens.
    void readRoster() { ReadRoster(*state, platform.clock.today()); }

    void writeCriteria(const QStringList& rows) {
        tree.writeCriteria(rows);
        ASSERT_FALSE(LoadConfiguration(*state, tree.appFolder()).has_value());
        setUpLevelValues(*state);
    }

    Context ctx() { return {*state, platform}; }
    QString resultFile() const { return tree.dataFolder() + QStringLiteral("成績累積データ.dat"); }

    // `count` runs of a student at a level, `daysAgo` days before today.
    void addRuns(int student, int level, std::int32_t seconds, int count, int daysAgo = 0) {
        std::vector<RawRecord> records;
        for (int i = 0; i < count; ++i) {
            RawRecord record;
            record.date = platform.clock.today().addDays(-daysAgo);
            record.time = QTime(9, 10 + i, 0);
            record.student = static_cast<std::int16_t>(student);
            record.level = static_cast<std::int16_t>(level);
            record.seconds = seconds;
            records.push_back(record);
        }
        appendRecords(resultFile(), records);
    }

    seisekitime1* open() {
        platform.screens.show(screens::seisekitime1());
        return platform.screens.find<seisekitime1>(screens::seisekitime1());
    }

    QString text(QWidget* screen, const QString& name) { return labelText(screen, name); }
    QStringList lines(QWidget* screen, int level) {
        QStringList result;
        auto* list = control<QListWidget>(screen, QStringLiteral("List5(%1)").arg(level));
        for (int i = 0; list && i < list->count(); ++i)
            result.append(list->item(i)->text());
        return result;
    }
    bool shown(const QString& name) const { return platform.screens.shownHistory().contains(name); }

    std::unique_ptr<SharedState> state = std::make_unique<SharedState>();
    DataTree tree;
    UiTestPlatform platform;
    QHash<QString, QPointer<StubScreen>> stubs;
};

} // namespace mirai::test
