#pragma once

#include "Context.h"
#include "Doubles.h"
#include "Files.h"
#include "RecordFiles.h"
#include "SharedState.h"

#include <QDir>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace mirai::test {

// A station's data tree with its shared state and the platform doubles `P`: the installation
// "12345 北教室", today 9 December 2026, the school year starting in April.
template <class P> class StationFixture : public ::testing::Test {
protected:
    StationFixture() {
        QDir().mkpath(tree.dataFolder());
        state->CommonFolder = tree.commonFolder();
        state->DataFolder = tree.dataFolder();
        state->ProgramTitle = QStringLiteral("みらいドリル");
        state->SiteCode = QStringLiteral("12345");
        state->SiteName = QStringLiteral("北教室");
        state->SchoolYearStartMonth = Untyped::number(4);
        // Waits of several seconds pass in a few dozen pumps.
        platform.events.stepMs = 100;
    }

    Context ctx() { return Context{*state, platform.platform()}; }
    QString resultPath() const { return tree.dataFolder() + QStringLiteral("成績累積データ.dat"); }
    QString copyPath() const { return tree.dataFolder() + QStringLiteral("成績累積データtemp.dat"); }
    QByteArray resultBytes() const { return readBytes(resultPath()); }

    // A run of a student at a level; the time of day tells runs apart.
    static RawRecord run(int student, int level, std::int32_t seconds, int minute = 0) {
        RawRecord record;
        record.student = static_cast<std::int16_t>(student);
        record.level = static_cast<std::int16_t>(level);
        record.seconds = seconds;
        record.time = QTime(9, 0).addSecs(60 * minute);
        return record;
    }

    std::unique_ptr<SharedState> state = std::make_unique<SharedState>();
    DataTree tree;
    P platform;
};

// The 44 bytes of record n (from 1) of a file's bytes.
inline QByteArray recordAt(const QByteArray& file, std::int64_t n) {
    return file.mid(static_cast<qsizetype>((n - 1) * 44), 44);
}

} // namespace mirai::test
