#include "DesktopPlatform.h"
#include "Doubles.h"
#include "FileSystem.h"
#include "Files.h"
#include "MediaPlayer.h"
#include "PainterSurface.h"
#include "ProcessLauncher.h"
#include "Screen.h"
#include "ScreenManager.h"
#include "Stage.h"
#include "UiDoubles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>
#include <optional>

using namespace Qt::StringLiterals;
using namespace mirai;

namespace {

TEST(PlayCommand, PathIsEverythingBetweenPlayAndWait) {
    EXPECT_EQ(playCommandPath(u"play /a b/音 フォルダ/pin.wav wait"_s), u"/a b/音 フォルダ/pin.wav"_s);
    EXPECT_EQ(playCommandPath(u"play x.wav wait"_s), u"x.wav"_s);
    EXPECT_EQ(playCommandPath(u"play .wav wait"_s), u".wav"_s);
    EXPECT_EQ(playCommandPath(u"stop x.wav wait"_s), QString());
    EXPECT_EQ(playCommandPath(u"play x.wav"_s), QString());
    EXPECT_EQ(playCommandPath(u"play wait"_s), QString());
}

// A short silent mono 16-bit WAV file.
QByteArray silentWave(int samples) {
    QByteArray out;
    auto put = [&out](quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    out.append("RIFF", 4);
    put(36 + samples * 2, 4);
    out.append("WAVEfmt ", 8);
    put(16, 4);
    put(1, 2);
    put(1, 2);
    put(8000, 4);
    put(16000, 4);
    put(2, 2);
    put(16, 2);
    out.append("data", 4);
    put(samples * 2, 4);
    out.append(QByteArray(samples * 2, '\0'));
    return out;
}

TEST(SdlMediaPlayer, AnswersWithTheMediaErrorNumbers) {
    qputenv("SDL_AUDIODRIVER", "dummy"); // no sound card on a build machine
    QTemporaryDir dir;
    const QString good = dir.filePath(u"音 フォルダ/pin.wav"_s);
    const QString bad = dir.filePath(u"bad.wav"_s);
    test::writeBytes(good, silentWave(400));
    test::writeBytes(bad, QByteArray("RIFF not really a wave file"));
    SdlMediaPlayer player;
    EXPECT_EQ(player.send(u"play "_s + good + u" wait"_s), MediaOk);
    EXPECT_EQ(player.send(u"play "_s + dir.filePath(u".wav"_s) + u" wait"_s), MediaFileNotFound);
    EXPECT_EQ(player.send(u"play "_s + bad + u" wait"_s), MediaBadFile);
    EXPECT_EQ(player.send(u"open "_s + good), MediaBadCommand);
    for (int error :
         {int(MediaBadCommand), int(MediaFileNotFound), int(MediaBadFile), int(MediaNoDevice), 99})
        EXPECT_FALSE(player.errorText(error).isEmpty());
}

// A cue holds the drill until its sound has played to the end, and not much longer: a player
// that returned at once would cut every sound off.
TEST(SdlMediaPlayer, ACueReturnsWhenItsSoundHasEnded) {
    qputenv("SDL_AUDIODRIVER", "dummy");
    QTemporaryDir dir;
    const QString sound = dir.filePath(u"長い音.wav"_s);
    test::writeBytes(sound, silentWave(3200)); // 400 ms at 8000 samples a second
    SdlMediaPlayer player;
    for (int round = 0; round < 2; ++round) { // the device opened, then already open
        QElapsedTimer held;
        held.start();
        ASSERT_EQ(player.send(u"play "_s + sound + u" wait"_s), MediaOk);
        // The device takes a buffer (about 11 ms) at a time, and a busy machine may hand it the
        // last one early: a cue returning much before its sound's end is the fault.
        EXPECT_GE(held.elapsed(), 400 - 25);
        EXPECT_LT(held.elapsed(), 400 + 1500);
    }
}

// A sound that played once, or was read ahead, plays on while the shared folder is out of reach,
// so an outage never counts as a failing answer sound.
TEST(SdlMediaPlayer, ASoundReadOnceOrAheadPlaysOnWhenItsFolderIsGone) {
    qputenv("SDL_AUDIODRIVER", "dummy");
    QTemporaryDir dir;
    const QString played = dir.filePath(u"音フォルダ/正解.wav"_s);
    const QString ahead = dir.filePath(u"音フォルダ/間違い.wav"_s);
    const QString never = dir.filePath(u"音フォルダ/最高1.wav"_s);
    for (const QString& path : {played, ahead, never})
        test::writeBytes(path, silentWave(400));
    SdlMediaPlayer player;
    ASSERT_EQ(player.send(u"play "_s + played + u" wait"_s), MediaOk);
    player.preload(ahead);
    ASSERT_TRUE(QDir(dir.filePath(u"音フォルダ"_s)).removeRecursively());
    EXPECT_EQ(player.send(u"play "_s + played + u" wait"_s), MediaOk);
    EXPECT_EQ(player.send(u"play "_s + ahead + u" wait"_s), MediaOk);
    EXPECT_EQ(player.send(u"play "_s + never + u" wait"_s), MediaFileNotFound);
}

class OfdLockTest : public ::testing::Test {
protected:
    QFile* open() {
        auto* file = new QFile(m_dir.filePath(u"results.dat"_s));
        EXPECT_TRUE(file->open(QIODevice::ReadWrite));
        m_files.emplace_back(file);
        return file;
    }
    QTemporaryDir m_dir;
    std::vector<std::unique_ptr<QFile>> m_files;
    SystemFileSystem m_system;
    int m_error = 0;
};

TEST_F(OfdLockTest, SecondHolderIsBusyUntilTheFirstUnlocks) {
    QFile* first = open();
    QFile* second = open();
    EXPECT_EQ(m_system.tryLock(first->handle(), m_error), LockResult::Locked);
    EXPECT_EQ(m_system.tryLock(second->handle(), m_error), LockResult::Busy);
    m_system.unlock(first->handle());
    EXPECT_EQ(m_system.tryLock(second->handle(), m_error), LockResult::Locked);
}

TEST_F(OfdLockTest, ClosingAnotherDescriptorOfTheFileKeepsTheLock) {
    QFile* holder = open();
    ASSERT_EQ(m_system.tryLock(holder->handle(), m_error), LockResult::Locked);
    QFile* reader = open();
    reader->close(); // would drop a classic POSIX lock of this process
    QFile* other = open();
    EXPECT_EQ(m_system.tryLock(other->handle(), m_error), LockResult::Busy);
}

TEST_F(OfdLockTest, ClosingTheHolderReleasesTheLock) {
    QFile* holder = open();
    ASSERT_EQ(m_system.tryLock(holder->handle(), m_error), LockResult::Locked);
    holder->close();
    QFile* other = open();
    EXPECT_EQ(m_system.tryLock(other->handle(), m_error), LockResult::Locked);
}

TEST(OfdLock, BadDescriptorIsAnError) {
    SystemFileSystem files;
    int error = 0;
    EXPECT_EQ(files.tryLock(-1, error), LockResult::Error);
    EXPECT_EQ(error, EBADF);
    EXPECT_FALSE(systemErrorText(error).isEmpty());
}

TEST(Launcher, MissingProgramIsReportedNotStarted) {
    QtProcessLauncher launcher;
    QString error;
    EXPECT_FALSE(launcher.startDetached(u"/nonexistent/起動/プログラムメニューc.exe"_s, {u"001"_s}, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(WaitWhilePumping, WaitsOnTheTickClockAndStopsWhenTheProgramEnds) {
    test::TestPlatform doubles;
    const std::int64_t start = doubles.clock.tickMs();
    waitWhilePumping(doubles, 1000);
    EXPECT_GE(doubles.clock.tickMs() - start, 1000);
    EXPECT_EQ(doubles.events.calls, 100);

    doubles.events.onPump = [&] { doubles.app.endProgram(); };
    doubles.events.calls = 0;
    waitWhilePumping(doubles, 1000);
    EXPECT_EQ(doubles.events.calls, 1);
}

// A screen that counts its activations and can act inside one.
class CountingScreen : public Screen {
public:
    explicit CountingScreen(QStringList* log, QString name) : m_log(log), m_name(std::move(name)) {}
    ~CountingScreen() override { m_log->append(u"~"_s + m_name); }
    void activate() override {
        ++activations;
        m_log->append(m_name);
        if (onActivate)
            onActivate();
    }
    int activations = 0;
    std::function<void()> onActivate;

private:
    QStringList* m_log;
    QString m_name;
};

class ScreenManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const QString& name : {u"A"_s, u"B"_s, u"C"_s})
            m_screens.registerScreen(name, [this, name] { return new CountingScreen(&m_log, name); });
    }
    void TearDown() override {
        m_screens.closeAll();
        flush();
    }
    void flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    QStringList m_log;
    ScreenManager m_screens;
};

TEST_F(ScreenManagerTest, ActivationRunsOncePerDisplay) {
    auto* a = static_cast<CountingScreen*>(m_screens.show(u"A"_s));
    ASSERT_NE(a, nullptr);
    m_screens.show(u"A"_s); // already the current screen: no second activation
    EXPECT_EQ(a->activations, 1);
    a->activateWindow(); // the window system giving focus back
    QCoreApplication::processEvents();
    EXPECT_EQ(a->activations, 1);
    m_screens.show(u"B"_s);
    m_screens.show(u"A"_s); // becomes current again
    EXPECT_EQ(a->activations, 2);
    EXPECT_EQ(m_screens.current(), u"A"_s);
    EXPECT_EQ(m_screens.shownHistory(), (QStringList{u"A"_s, u"A"_s, u"B"_s, u"A"_s}));
}

TEST_F(ScreenManagerTest, CloseHidesAndDeletesLaterAndALaterShowLoadsAnew) {
    QPointer<Screen> a = m_screens.show(u"A"_s);
    m_screens.close(u"A"_s);
    EXPECT_FALSE(m_screens.isLoaded(u"A"_s));
    ASSERT_TRUE(a);
    EXPECT_FALSE(a->isVisible());
    flush();
    EXPECT_FALSE(a);
    auto* again = static_cast<CountingScreen*>(m_screens.show(u"A"_s));
    EXPECT_EQ(again->activations, 1);
}

TEST_F(ScreenManagerTest, ActivationMayCloseItsOwnScreen) {
    auto* a = static_cast<CountingScreen*>(m_screens.load(u"A"_s));
    a->onActivate = [this] {
        m_screens.show(u"B"_s);
        m_screens.close(u"A"_s);
    };
    EXPECT_EQ(m_screens.show(u"A"_s), a); // closed, but deleted only later
    EXPECT_EQ(m_screens.current(), u"B"_s);
    EXPECT_TRUE(m_screens.isVisible(u"B"_s));
}

TEST_F(ScreenManagerTest, CloseAllClosesTheLastOpenedFirst) {
    m_screens.show(u"A"_s);
    m_screens.show(u"B"_s);
    m_screens.show(u"C"_s);
    m_screens.closeAll();
    flush();
    EXPECT_EQ(m_log.mid(3), (QStringList{u"~C"_s, u"~B"_s, u"~A"_s}));
    EXPECT_FALSE(m_screens.isLoaded(u"A"_s));
}

TEST_F(ScreenManagerTest, RegisteredNamesComeSortedWithoutMakingAScreen) {
    m_screens.registerScreen(u"0"_s, [this] { return new CountingScreen(&m_log, u"0"_s); });
    EXPECT_EQ(m_screens.registeredNames(), (QStringList{u"0"_s, u"A"_s, u"B"_s, u"C"_s}));
    EXPECT_TRUE(m_log.isEmpty());
    EXPECT_FALSE(m_screens.isLoaded(u"0"_s));
}

TEST_F(ScreenManagerTest, UnknownNameShowsNothing) {
    EXPECT_EQ(m_screens.show(u"Z"_s), nullptr);
    EXPECT_TRUE(m_screens.current().isEmpty());
}

TEST(UiTestPlatform, EndingTheProgramClosesEveryScreen) {
    QStringList log; // outlives the screens the platform deletes
    test::UiTestPlatform doubles;
    doubles.screens.registerScreen(u"A"_s, [&] { return new CountingScreen(&log, u"A"_s); });
    doubles.screens.show(u"A"_s);
    doubles.app.endProgram();
    EXPECT_TRUE(doubles.app.endRequested());
    EXPECT_FALSE(doubles.screens.isLoaded(u"A"_s));
}

} // namespace

namespace {

// Darkest pixel of an image area, for "something was drawn there".
int darkestIn(const QImage& image, const QRect& area) {
    int darkest = 255;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            darkest = std::min(darkest, qGray(image.pixel(x, y)));
    return darkest;
}

TEST(PainterSurface, DrawsInTwipsAndANewCanvasPageIsBlank) {
    QImage canvas(200, 100, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    PainterSurface surface(&canvas, 15.0);
    EXPECT_EQ(surface.sizeTwips(), QSizeF(3000, 1500));

    // A red line 15 twips (one pixel) down, across the left half; text at (1500, 600) twips.
    surface.drawLine(QPointF(0, 150), QPointF(1500, 150), 1, 0x0000FF);
    surface.setFont(QStringLiteral("IPAGothic"), 12);
    surface.drawText(QPointF(1500, 600), u"漢字"_s);
    ASSERT_TRUE(surface.flush());
    EXPECT_EQ(canvas.pixelColor(50, 10).red(), 255);
    EXPECT_LT(canvas.pixelColor(50, 10).green(), 128);
    EXPECT_EQ(darkestIn(canvas, QRect(150, 0, 50, 30)), 255) << "nothing right of the line's end";
    EXPECT_LT(darkestIn(canvas, QRect(100, 40, 40, 20)), 128) << "the text sits below its top-left corner";
    EXPECT_EQ(darkestIn(canvas, QRect(0, 30, 95, 70)), 255) << "nothing left of or above the text";

    surface.newPage();
    ASSERT_TRUE(surface.flush());
    EXPECT_EQ(darkestIn(canvas, canvas.rect()), 255);
}

} // namespace

namespace {

TEST(Stage, ScaleAndPlaceForEachDisplay) {
    struct Case {
        QSize display;
        double scale; // 0: a little under min(width / 1024, height / 768), see below
        QSize logical;
        QPoint origin;
    };
    const Case cases[] = {
        {{1024, 768}, 1.0, {1024, 768}, {0, 0}},
        {{1366, 768}, 1.0, {1366, 768}, {171, 0}},
        {{1360, 768}, 1.0, {1360, 768}, {168, 0}},
        {{1920, 1080}, 1.40625, {1365, 768}, {170, 0}},
        {{1600, 900}, 1.171875, {1365, 768}, {170, 0}},
        {{1680, 1050}, 1.3671875, {1229, 768}, {102, 0}},
        {{1280, 800}, 1280 / 1228.8, {1229, 768}, {102, 0}},
        {{1280, 1024}, 1.25, {1024, 819}, {0, 25}},
        {{800, 600}, 0.78125, {1024, 768}, {0, 0}},
        // 2560 / 1.875 = 1365.33 logical pixels would leave the last column dark: the next factor
        // that divides the display evenly.
        {{2560, 1440}, 2560.0 / 1367, {1367, 769}, {171, 0}},
        {{3840, 2160}, 3840.0 / 1367, {1367, 769}, {171, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.display.width());
        const StageLayout layout = stageLayout(c.display);
        EXPECT_NEAR(layout.scale, c.scale, 1e-9);
        EXPECT_EQ(layout.logicalSize, c.logical);
        EXPECT_EQ(layout.origin, c.origin);
        // The toolkit's own roundings: the display in logical pixels, and a window of that size
        // back in device pixels, which must be every pixel of the display.
        EXPECT_EQ((QSizeF(c.display) / layout.scale).toSize(), layout.logicalSize);
        EXPECT_EQ((QSizeF(layout.logicalSize) * layout.scale).toSize(), c.display);
        EXPECT_GE(layout.logicalSize.width(), 1024);
        EXPECT_GE(layout.logicalSize.height(), 768);
    }
    EXPECT_EQ(stageLayout(QSize()).scale, 1.0);
}

class SizedScreen : public Screen {
public:
    SizedScreen(QSize size, std::optional<QPoint> place) {
        setFixedSize(size);
        if (place)
            move(*place);
    }
};

TEST(Stage, ScreensSitWhereA1024By768DisplayWouldShowThem) {
    test::UiTestPlatform platform;
    Stage stage([] { return QColor(Qt::green); });
    stage.resize(1365, 768);
    stage.show();
    platform.screens.setStage(&stage);
    platform.screens.registerScreen(u"full"_s, [] { return new SizedScreen({1024, 768}, std::nullopt); });
    platform.screens.registerScreen(u"splash"_s, [] { return new SizedScreen({640, 600}, std::nullopt); });
    platform.screens.registerScreen(u"strip"_s, [] { return new SizedScreen({246, 768}, QPoint(0, 0)); });
    const struct {
        QString name;
        QPoint at;
    } cases[] = {{u"full"_s, {170, 0}}, {u"splash"_s, {170 + 192, 84}}, {u"strip"_s, {170, 0}}};
    for (const auto& c : cases) {
        Screen* screen = platform.screens.show(c.name);
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(screen->parentWidget(), &stage) << c.name.toStdString();
        EXPECT_EQ(screen->pos(), c.at) << c.name.toStdString();
    }
    // A display of another size moves them all along.
    stage.resize(1024, 819);
    EXPECT_EQ(platform.screens.find(u"full"_s)->pos(), QPoint(0, 25));
    EXPECT_EQ(platform.screens.find(u"splash"_s)->pos(), QPoint(192, 25 + 84));
}

TEST(Stage, TheStationSettingChoosesFullScreenOrAWindow) {
    const struct {
        const char* contents; // of station.ini; null: no file
        bool fullScreen;
    } cases[] = {{nullptr, true},
                 {"[display]\nmode=window\n", false},
                 {"[display]\nmode = Window \n", false},
                 {"[display]\nmode=fullscreen\n", true},
                 {"[display]\nmode=something\n", true},
                 {"garbage \x81\x40\n", true}};
    for (const auto& c : cases) {
        QTemporaryDir folder;
        if (c.contents) {
            QFile file(displaySettingsPath(folder.path()));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.contents);
        }
        EXPECT_EQ(readDisplaySettings(folder.path()).fullScreen, c.fullScreen)
            << (c.contents ? c.contents : "none");
    }
    EXPECT_TRUE(readDisplaySettings(QString()).fullScreen);
}

} // namespace
