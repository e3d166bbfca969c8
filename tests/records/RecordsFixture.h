#pragma once

#include "Context.h"
#include "Doubles.h"
#include "Files.h"
#include "SharedState.h"

#include <QDir>
#include <gtest/gtest.h>

#include <memory>

namespace mirai::test {

// A station tree with its shared state and the platform doubles. The shared state is large
// (the per-student tables), so it lives on the heap.
class RecordsFixture : public ::testing::Test {
protected:
    RecordsFixture() : m_state(std::make_unique<SharedState>()) {
        QDir().mkpath(tree.dataFolder());
        state().CommonFolder = tree.commonFolder();
        state().DataFolder = tree.dataFolder();
        state().ProgramTitle = QStringLiteral("みらいドリル");
        // Waits of several seconds pass in a few dozen pumps.
        platform.events.stepMs = 100;
    }

    SharedState& state() { return *m_state; }
    Context ctx() { return Context{*m_state, platform.platform()}; }
    QString resultPath() const { return tree.dataFolder() + QStringLiteral("成績累積データ.dat"); }

    DataTree tree;
    TestPlatform platform;

private:
    std::unique_ptr<SharedState> m_state;
};

} // namespace mirai::test
