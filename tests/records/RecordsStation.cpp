// A station of the many-stations test: appends records through the real lock, keeps loading
// the file, or holds the lock for a while. Exit code 0 when everything it saw was sound.
//
//   records_station append <data folder> <station> <count> <retry ms> <pause µs> [queue folder]
//   records_station load   <data folder> <stop file> <stations> [queue folder]
//   records_station hold   <data folder> <ms>
//   records_station delete <data folder> <record> <stop at call>
//
// A delete stops right before its n-th file call (from 1), says "stopped" and waits to be killed;
// with 0 it runs to the end and prints the kind of every call it made ("calls 0,0,5,…"), and with
// -1 it says "copying" when the copy of the file begins and carries on.
// With a queue folder, runs that cannot reach the data folder wait there, and appends and loads
// store the waiting runs first.

#include "Doubles.h"
#include "FileResultStore.h"
#include "FileSystem.h"
#include "ResultRecords.h"
#include "SharedState.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

using namespace mirai;

// Messages go to the test's output instead of a window.
class PrintedMessages final : public MessageBoxes {
public:
    MessageAnswer show(const QString& text, const QString&, MessageButtons, MessageIcon) override {
        // A run kept on the station is no fault of the station.
        if (text.contains(QStringLiteral("この記録はこのコンピューターに保存しました。"))) {
            ++kept;
            return MessageAnswer::Ok;
        }
        std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
        ++shown;
        return MessageAnswer::Ok;
    }
    int shown = 0;
    int kept = 0;
};

class NoPump final : public EventPump {
public:
    void processEvents() override { QCoreApplication::processEvents(); }
};

struct Station {
    SystemClock clock;
    test::ScriptedRandom random;
    test::RecordingMediaPlayer media;
    PrintedMessages messages;
    NoPump events;
    SystemFileSystem disk;
    test::RecordingLauncher launcher;
    test::RecordingAppControl app;
    Platform platform;
    std::unique_ptr<SharedState> state = std::make_unique<SharedState>();

    Station(const QString& dataFolder, const QString& queueFolder) {
        platform.clock = &clock;
        platform.random = &random;
        platform.media = &media;
        platform.messages = &messages;
        platform.events = &events;
        platform.disk = &disk;
        platform.launcher = &launcher;
        platform.app = &app;
        state->DataFolder = dataFolder;
        state->QueueFolder = queueFolder;
        state->SiteCode = u"12345"_s;
    }
    Context ctx() { return Context{*state, platform}; }
};

int append(Station& station, int number, int count, int retryMs, int pauseUs) {
    station.disk.setLockRetryMs(retryMs);
    station.state->StudentNumber = static_cast<std::int16_t>(number);
    station.state->CurrentLevel = 1;
    for (int i = 1; i <= count; ++i) {
        station.state->RunSeconds = i;
        if (!AppendResultRecord(station.ctx()))
            return 2;
        if (pauseUs > 0)
            QThread::usleep(static_cast<unsigned long>(pauseUs));
    }
    std::printf("kept %d\n", station.messages.kept);
    return station.messages.shown == 0 ? 0 : 2;
}

// Every load must show whole records only, each station's runs in its own order with none
// missing between the first and the last one seen.
int load(Station& station, const QString& stopFile, int stations) {
    int loads = 0;
    bool stop = false;
    while (!stop) {
        stop = QFileInfo::exists(stopFile); // one more load after the appenders are done
        if (!LoadResultRecords(station.ctx()))
            return 3;
        ++loads;
        std::map<int, std::int32_t> last;
        for (const LoadedResult& entry : station.state->LoadedResults) {
            if (entry.StudentNumber < 1 || entry.StudentNumber > stations || entry.Level != 1 ||
                entry.Seconds < 1 || entry.Seconds > 100000) {
                std::fprintf(stderr, "damaged record: station %d level %d seconds %d\n", entry.StudentNumber,
                             entry.Level, entry.Seconds);
                return 4;
            }
            // The window holds the whole file here, so each station's runs start at 1.
            auto it = last.find(entry.StudentNumber);
            const std::int32_t expected = it == last.end() ? 1 : it->second + 1;
            if (entry.Seconds != expected) {
                std::fprintf(stderr, "station %d: %d where %d belongs\n", entry.StudentNumber, entry.Seconds,
                             expected);
                return 5;
            }
            last[entry.StudentNumber] = entry.Seconds;
        }
    }
    std::printf("loads %d\n", loads);
    return loads > 0 ? 0 : 6;
}

// Holds the lock as another station would, and reports the file's size when the lock was
// taken and when it is let go: nobody may write in between.
int hold(Station& station, int ms) {
    const QByteArray name = QFile::encodeName(resultFilePath(*station.state));
    const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return 7;
    int error = 0;
    while (station.disk.tryLock(fd, error) != LockResult::Locked)
        QThread::usleep(200);
    struct stat before {};
    ::fstat(fd, &before);
    std::printf("locked %lld\n", static_cast<long long>(before.st_size));
    std::fflush(stdout);
    QThread::msleep(static_cast<unsigned long>(ms));
    struct stat after {};
    ::fstat(fd, &after);
    station.disk.unlock(fd);
    ::close(fd);
    std::printf("released %lld\n", static_cast<long long>(after.st_size));
    return 0;
}

// A teacher's delete, to be killed at a chosen moment.
int deleteRecord(const QString& dataFolder, std::int64_t number, int stopAt) {
    test::FaultyFileSystem files;
    PrintedMessages messages;
    NoPump events;
    SystemClock clock;
    test::RecordingAppControl app;
    Platform platform;
    platform.disk = &files;
    platform.messages = &messages;
    platform.events = &events;
    platform.clock = &clock;
    platform.app = &app;
    SharedState state;
    state.DataFolder = dataFolder;
    FileResultStore store(platform, StorePaths::of(state));
    const StoreResult<QByteArray> asRead = store.readRecord(number);
    if (!asRead)
        return 8;
    files.log.clear();
    bool copying = false;
    files.onCall = [stopAt, &copying](test::FaultyFileSystem::Call call, int index) {
        if (stopAt == -1 && call == test::FaultyFileSystem::Call::Copy && !copying) {
            copying = true;
            std::printf("copying\n");
            std::fflush(stdout);
        }
        if (index + 1 == stopAt) {
            std::printf("stopped\n");
            std::fflush(stdout);
            for (;;)
                QThread::sleep(1);
        }
    };
    if (!store.remove(number, *asRead))
        return 9;
    QStringList kinds;
    for (const auto call : files.log)
        kinds.append(QString::number(static_cast<int>(call)));
    std::printf("calls %s\n", kinds.join(u',').toUtf8().constData());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() < 3)
        return 64;
    const QString mode = args[1];
    const qsizetype queueArgument = mode == u"append" ? 7 : mode == u"load" ? 5 : -1;
    Station station(args[2],
                    queueArgument > 0 && args.size() > queueArgument ? args[queueArgument] : QString());
    if (mode == u"append" && (args.size() == 7 || args.size() == 8))
        return append(station, args[3].toInt(), args[4].toInt(), args[5].toInt(), args[6].toInt());
    if (mode == u"load" && (args.size() == 5 || args.size() == 6))
        return load(station, args[3], args[4].toInt());
    if (mode == u"hold" && args.size() == 4)
        return hold(station, args[3].toInt());
    if (mode == u"delete" && args.size() == 5)
        return deleteRecord(args[2], args[3].toLongLong(), args[4].toInt());
    return 64;
}
