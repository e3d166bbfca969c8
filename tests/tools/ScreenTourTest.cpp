#include "ScreenTour.h"

#include "ShotFiles.h"
#include "TourOptions.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace mirai::tour;

namespace {

struct NameCase {
    int position;
    const char16_t* name;
    const char16_t* file;
};

class ShotFileNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(ShotFileNameTest, NumbersInTableOrderWithTwoDigitsAtLeast) {
    EXPECT_EQ(shotFileName(GetParam().position, QString::fromUtf16(GetParam().name)),
              QString::fromUtf16(GetParam().file));
}

INSTANTIATE_TEST_SUITE_P(Names, ShotFileNameTest,
                         ::testing::Values(NameCase{1, u"splash", u"01-splash.png"},
                                           NameCase{12, u"hub-time-best", u"12-hub-time-best.png"},
                                           NameCase{100, u"drill", u"100-drill.png"}));

struct PlainCase {
    const char16_t* name;
    bool plain;
};

class PlainShotNameTest : public ::testing::TestWithParam<PlainCase> {};

TEST_P(PlainShotNameTest, OnlyLowerCaseWordsJoinedBySingleHyphens) {
    EXPECT_EQ(isPlainShotName(QString::fromUtf16(GetParam().name)), GetParam().plain)
        << QString::fromUtf16(GetParam().name).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Names, PlainShotNameTest,
                         ::testing::Values(PlainCase{u"namesel", true}, PlainCase{u"hub-time-best", true},
                                           PlainCase{u"frmver2", true}, PlainCase{u"", false},
                                           PlainCase{u"Hub", false}, PlainCase{u"hub--time", false},
                                           PlainCase{u"-hub", false}, PlainCase{u"hub-", false},
                                           PlainCase{u"hub time", false}, PlainCase{u"hub/time", false},
                                           PlainCase{u"成績", false}));

struct SizeCase {
    const char16_t* folder;
    QSize size; // invalid: not a folder of pictures
};

class SizeFolderTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(SizeFolderTest, ReadsWidthByHeightAndNothingElse) {
    const QString folder = QString::fromUtf16(GetParam().folder);
    EXPECT_EQ(sizeOfFolder(folder), GetParam().size) << folder.toStdString();
    if (GetParam().size.isValid()) {
        EXPECT_EQ(sizeFolderName(GetParam().size), folder);
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, SizeFolderTest,
                         ::testing::Values(SizeCase{u"1024x768", QSize(1024, 768)},
                                           SizeCase{u"1920x1080", QSize(1920, 1080)}, SizeCase{u"1024x", {}},
                                           SizeCase{u"x768", {}}, SizeCase{u"0x768", {}},
                                           SizeCase{u"01024x768", {}}, SizeCase{u"1024X768", {}},
                                           SizeCase{u"1024x768x24", {}}, SizeCase{u"index.html", {}}));

TEST(IndexPage, ShowsEverySizeSmallestFirstAndSaysWhatIsMissing) {
    const std::vector<IndexRow> rows = {{u"01-splash.png"_s, u"起動画面"_s},
                                        {u"02-namesel.png"_s, u"名前 & <選択>"_s}};
    const QString html =
        indexPage(rows, {u"1920x1080"_s, u"1024x768"_s}, [](const QString& folder, const QString& file) {
            return !(folder == u"1920x1080"_s && file == u"02-namesel.png"_s);
        });
    EXPECT_LT(html.indexOf(u"<th>1024x768</th>"_s), html.indexOf(u"<th>1920x1080</th>"_s));
    const qsizetype small = html.indexOf(u"src=\"1024x768/01-splash.png\""_s);
    const qsizetype large = html.indexOf(u"src=\"1920x1080/01-splash.png\""_s);
    ASSERT_GE(small, 0);
    EXPECT_GT(large, small);
    EXPECT_GE(html.indexOf(u"src=\"1024x768/02-namesel.png\""_s), 0);
    EXPECT_LT(html.indexOf(u"1920x1080/02-namesel.png"_s), 0);
    EXPECT_EQ(html.count(u"class=\"missing\""_s), 1);
    EXPECT_GE(html.indexOf(u"名前 &amp; &lt;選択&gt;"_s), 0);
    EXPECT_GE(html.indexOf(u"<b>02-namesel</b>"_s), 0);
}

// What a shot may do to the data folder; the snapshot puts every one of them back.
enum class Damage { Appended, Emptied, Removed, FolderInstead, FileAdded, FolderAdded };

class FolderSnapshotTest : public ::testing::TestWithParam<Damage> {};

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

TEST_P(FolderSnapshotTest, PutsTheFolderBackAsItWas) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString results = dir.filePath(u"成績累積データ.dat"_s);
    const QString criteria = dir.filePath(u"タイム回数データ.txt"_s);
    writeAll(results, QByteArray(88, '\x07'));
    writeAll(criteria, "60,180\r\n");
    FolderSnapshot snapshot;
    ASSERT_TRUE(snapshot.take(dir.path()));

    switch (GetParam()) {
    case Damage::Appended:
        writeAll(results, QByteArray(132, '\x07'));
        break;
    case Damage::Emptied:
        writeAll(criteria, QByteArray());
        break;
    case Damage::Removed:
        ASSERT_TRUE(QFile::remove(criteria));
        break;
    case Damage::FolderInstead:
        ASSERT_TRUE(QFile::remove(results));
        ASSERT_TRUE(QDir().mkpath(results + u"/inner"_s));
        break;
    case Damage::FileAdded:
        writeAll(dir.filePath(u"成績累積データtemp.dat"_s), "x");
        break;
    case Damage::FolderAdded:
        ASSERT_TRUE(QDir().mkpath(dir.filePath(u"extra/deeper"_s)));
        break;
    }
    EXPECT_TRUE(snapshot.restore());

    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name),
              (QStringList{u"タイム回数データ.txt"_s, u"成績累積データ.dat"_s}));
    EXPECT_EQ(readAll(results), QByteArray(88, '\x07'));
    EXPECT_EQ(readAll(criteria), QByteArray("60,180\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Damages, FolderSnapshotTest,
                         ::testing::Values(Damage::Appended, Damage::Emptied, Damage::Removed,
                                           Damage::FolderInstead, Damage::FileAdded, Damage::FolderAdded));

TEST(FolderSnapshot, AFailedSnapshotKeepsTheOneBefore) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString results = dir.filePath(u"成績累積データ.dat"_s);
    writeAll(results, "kept");
    FolderSnapshot snapshot;
    EXPECT_TRUE(snapshot.restore()); // none taken yet: nothing to do
    EXPECT_EQ(readAll(results), QByteArray("kept"));
    ASSERT_TRUE(snapshot.take(dir.path()));
    EXPECT_FALSE(snapshot.take(dir.filePath(u"missing"_s)));
    writeAll(results, "changed");
    EXPECT_TRUE(snapshot.restore());
    EXPECT_EQ(readAll(results), QByteArray("kept"));
}

struct OptionsCase {
    QStringList arguments;
    bool valid;
    QStringList only;
};

class TourOptionsTest : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(TourOptionsTest, EitherPicturesOfATreeOrTheIndexOfAFolder) {
    const std::optional<TourOptions> options = parseTourOptions(GetParam().arguments);
    ASSERT_EQ(options.has_value(), GetParam().valid) << GetParam().arguments.join(u' ').toStdString();
    if (options) {
        EXPECT_EQ(options->only, GetParam().only);
    }
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, TourOptionsTest,
    ::testing::Values(
        OptionsCase{{u"--app-folder"_s, u"t/prog/MiraiDrill"_s, u"--out"_s, u"o"_s}, true, {}},
        OptionsCase{{u"--out"_s, u"o"_s, u"--only"_s, u"drill,,hub-graph"_s, u"--app-folder"_s, u"a"_s},
                    true,
                    {u"drill"_s, u"hub-graph"_s}},
        OptionsCase{{u"--index"_s, u"o"_s}, true, {}}, OptionsCase{{}, false, {}},
        OptionsCase{{u"--app-folder"_s, u"a"_s}, false, {}}, OptionsCase{{u"--out"_s, u"o"_s}, false, {}},
        OptionsCase{{u"--app-folder"_s, u"a"_s, u"--out"_s}, false, {}},
        OptionsCase{{u"--app-folder"_s, u"a"_s, u"--out"_s, u"o"_s, u"--only"_s, u","_s}, false, {}},
        OptionsCase{{u"--app-folder"_s, u"a"_s, u"--out"_s, u"o"_s, u"--index"_s, u"o"_s}, false, {}},
        OptionsCase{{u"--index"_s, u"o"_s, u"--only"_s, u"drill"_s}, false, {}},
        OptionsCase{{u"--out"_s, u"o"_s, u"--out"_s, u"p"_s, u"--app-folder"_s, u"a"_s}, false, {}},
        OptionsCase{{u"--app-folder"_s, u"a"_s, u"--out"_s, u"o"_s, u"--size"_s, u"1x1"_s}, false, {}}));

enum class Buttons { Ok, OkCancel, YesNo };

struct AnswerCase {
    Buttons buttons;
    const char16_t* asked;   // empty: a message nobody expected
    const char16_t* pressed; // empty: none fits
};

class AnswerButtonTest : public ::testing::TestWithParam<AnswerCase> {};

// A message nobody expected gets the answer that changes nothing: a record is never deleted, a
// change never saved by the tour.
TEST_P(AnswerButtonTest, TheAskedButtonOrTheOneThatChangesNothing) {
    QMessageBox box;
    switch (GetParam().buttons) {
    case Buttons::Ok:
        box.addButton(u"OK"_s, QMessageBox::AcceptRole);
        break;
    case Buttons::OkCancel:
        box.addButton(u"OK"_s, QMessageBox::AcceptRole);
        box.addButton(u"キャンセル"_s, QMessageBox::RejectRole);
        break;
    case Buttons::YesNo:
        box.addButton(u"はい"_s, QMessageBox::YesRole);
        box.addButton(u"いいえ"_s, QMessageBox::NoRole);
        break;
    }
    const QAbstractButton* button = answerButton(box, QString::fromUtf16(GetParam().asked));
    EXPECT_EQ(button ? button->text() : QString(), QString::fromUtf16(GetParam().pressed));
}

INSTANTIATE_TEST_SUITE_P(
    Messages, AnswerButtonTest,
    ::testing::Values(AnswerCase{Buttons::Ok, u"", u"OK"}, AnswerCase{Buttons::OkCancel, u"", u"キャンセル"},
                      AnswerCase{Buttons::YesNo, u"", u"いいえ"}, AnswerCase{Buttons::OkCancel, u"OK", u"OK"},
                      AnswerCase{Buttons::YesNo, u"はい", u"はい"}, AnswerCase{Buttons::Ok, u"いいえ", u""}));

TEST(ShotTable, EveryShotHasAPlainUniqueNameACaptionAndAWayThere) {
    QSet<QString> seen;
    for (const Shot& shot : shotTable()) {
        EXPECT_TRUE(isPlainShotName(shot.name)) << shot.name.toStdString();
        EXPECT_FALSE(seen.contains(shot.name)) << shot.name.toStdString();
        EXPECT_FALSE(shot.caption.isEmpty()) << shot.name.toStdString();
        EXPECT_TRUE(static_cast<bool>(shot.reach)) << shot.name.toStdString();
        seen.insert(shot.name);
    }
}

} // namespace
