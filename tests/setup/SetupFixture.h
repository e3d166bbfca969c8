#pragma once

#include "Context.h"
#include "Cp932.h"
#include "Files.h"
#include "SharedState.h"

#include <QDir>
#include <QDirIterator>
#include <gtest/gtest.h>
#include <memory>

namespace mirai::test {

// Text in code page 932, as the stations' files hold it.
inline QByteArray cp(const QString& text) {
    return cp932::encode(text);
}

// Every file and folder under `root` with its bytes: what a step that must leave nothing behind is
// compared by.
inline QStringList snapshot(const QString& root) {
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        entries.append(QDir(root).relativeFilePath(path) + QStringLiteral(" ") +
                       QString::fromLatin1(readBytes(path).toHex()));
    }
    entries.sort();
    return entries;
}

// A station with a complete shared folder (site "12345 北教室", password "abc", school year starting
// in April, today 9 December 2026) and the platform doubles `P`.
template <class P> class SetupFixture : public ::testing::Test {
protected:
    SetupFixture() {
        tree.writeDefaults();
        state->AppFolder = tree.appFolder();
        state->CommonFolder = tree.commonFolder();
        state->DataFolder = tree.dataFolder();
        state->ProgramTitle = QStringLiteral("みらいドリル");
        state->SchoolYearStartMonth = Untyped::number(4);
        state->RosterKeepMark2 = Untyped::number(1);
    }
    Context ctx() { return Context{*state, platform.platform()}; }
    QString rosterPath() const { return tree.commonFolder() + QStringLiteral("新名簿.txt"); }
    QString resultPath() const { return tree.dataFolder() + QStringLiteral("成績累積データ.dat"); }

    std::unique_ptr<SharedState> state = std::make_unique<SharedState>();
    DataTree tree;
    P platform;
};

} // namespace mirai::test
