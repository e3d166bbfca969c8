#include "FileResultStore.h"

#include "AnswerLog.h"
#include "AppControl.h"
#include "Configuration.h"
#include "FileSystem.h"
#include "Platform.h"
#include "RecordOffsets.h"
#include "SharedState.h"
#include "StationQueue.h"

#include <QHash>
#include <QSet>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace mirai {

std::int64_t RecordWindow::count() const {
    return bytes.size() / kRecordSize;
}

namespace {

using Access = FileSystem::Access;

// How many of the newest records of the shared file the waiting runs are compared with before
// they are stored: the statistics' window. A replay cut short between storing the waiting runs
// and emptying the queue left them at the end of the file; whatever other stations add before
// this station replays again (weeks of a busy classroom fit in the window), they are found.
constexpr std::int64_t kReplayCheckRecords = kLoadWindow;

// The answers of one run the log's replay check counts with; a run that is cleared ends after ten
// right answers, and few have more than a handful wrong.
constexpr std::int64_t kMaxAnswersPerRun = 20;

// The newest answers an append reads to step over those a crash left torn at the end (a run's
// answers go in one write, a few of them).
constexpr std::int64_t kTornCheckRecords = 64;

// A delete's copy begins at a multiple of this in the file: unaligned, the system copies slower.
constexpr std::int64_t kCopyAlignment = 64 * 1024;

// ---- Small pieces -----------------------------------------------------------------------------

// Reads exactly `size` bytes at `offset`: a file that ends sooner has changed under the reader.
int readExactly(FileSystem& files, int fd, char* out, std::int64_t size, std::int64_t offset) {
    std::int64_t done = 0;
    if (const int code = files.readAt(fd, out, size, offset, done))
        return code;
    return done == size ? 0 : EIO;
}

// A 64-bit checksum of a stream of bytes, fed in pieces of any size.
class Checksum {
public:
    void add(const char* data, std::int64_t size) {
        for (std::int64_t i = 0; i < size; ++i) {
            m_word |= static_cast<std::uint64_t>(static_cast<unsigned char>(data[i])) << (8 * m_filled);
            if (++m_filled == 8)
                mixWord();
        }
        m_length += static_cast<std::uint64_t>(size);
    }
    std::uint64_t value() const {
        Checksum last = *this;
        if (last.m_filled > 0)
            last.mixWord();
        std::uint64_t h = last.m_state ^ m_length;
        h ^= h >> 33;
        h *= 0xff51afd7ed558ccdULL;
        h ^= h >> 33;
        h *= 0xc4ceb9fe1a85ec53ULL;
        h ^= h >> 33;
        return h;
    }

private:
    void mixWord() {
        m_state ^= m_word * 0x9e3779b97f4a7c15ULL;
        m_state = (m_state << 29 | m_state >> 35) * 0xbf58476d1ce4e5b9ULL;
        m_word = 0;
        m_filled = 0;
    }
    std::uint64_t m_state = 0x6a09e667f3bcc908ULL;
    std::uint64_t m_word = 0;
    int m_filled = 0;
    std::uint64_t m_length = 0;
};

// The records of `queued` that `stored` does not hold yet, in queue order. Each stored copy
// accounts for one queued copy, so two equal runs stay two runs.
QByteArray recordsNotYetStored(const QByteArray& queued, const QByteArray& stored) {
    QHash<QByteArray, int> copies;
    for (qsizetype at = 0; at + kRecordSize <= stored.size(); at += kRecordSize)
        ++copies[stored.mid(at, kRecordSize)];
    QByteArray missing;
    for (qsizetype at = 0; at + kRecordSize <= queued.size(); at += kRecordSize) {
        const QByteArray record = queued.mid(at, kRecordSize);
        const auto found = copies.find(record);
        if (found != copies.end() && found.value() > 0)
            --found.value();
        else
            missing += record;
    }
    return missing;
}

// ---- The delete's intent --------------------------------------------------------------------------

// Written and flushed beside the copy before the result file changes: which record goes, how long
// the file was, where the copy begins and a checksum of the copy (of its length and both its ends).
// The copy holds the file from a little before that record to its end: the only part a delete
// rewrites, so the only part a completion or a restore needs. It begins at a 64 KB boundary, where
// the system copies fastest.
struct Intent {
    std::int64_t number = 0;
    std::int64_t originalLength = 0;
    std::int64_t copyStart = 0; // where in the file the copy begins: at or before the record
    std::uint64_t copyChecksum = 0;
    QByteArray asRead; // the record's 44 bytes

    std::int64_t recordStart() const { return (number - 1) * kRecordSize; }
    std::int64_t copyLength() const { return originalLength - copyStart; }

    static constexpr char kMagic[8] = {'M', 'D', 'D', 'E', 'L', '1', '\r', '\n'};
    static constexpr int kSize = 8 + 8 + 8 + 8 + 8 + kRecordSize + 8;

    QByteArray encode() const {
        QByteArray bytes(kSize, '\0');
        char* out = bytes.data();
        std::memcpy(out, kMagic, 8);
        qToLittleEndian(number, out + 8);
        qToLittleEndian(originalLength, out + 16);
        qToLittleEndian(copyStart, out + 24);
        qToLittleEndian(copyChecksum, out + 32);
        std::memcpy(out + 40, asRead.constData(), kRecordSize);
        Checksum sum;
        sum.add(out, kSize - 8);
        qToLittleEndian(sum.value(), out + kSize - 8);
        return bytes;
    }
    // nullopt for anything but a whole, intact intent (a torn one means the delete never began).
    static std::optional<Intent> decode(const QByteArray& bytes) {
        if (bytes.size() != kSize || std::memcmp(bytes.constData(), kMagic, 8) != 0)
            return std::nullopt;
        const char* in = bytes.constData();
        Checksum sum;
        sum.add(in, kSize - 8);
        if (sum.value() != qFromLittleEndian<std::uint64_t>(in + kSize - 8))
            return std::nullopt;
        Intent intent;
        intent.number = qFromLittleEndian<std::int64_t>(in + 8);
        intent.originalLength = qFromLittleEndian<std::int64_t>(in + 16);
        intent.copyStart = qFromLittleEndian<std::int64_t>(in + 24);
        intent.copyChecksum = qFromLittleEndian<std::uint64_t>(in + 32);
        intent.asRead = QByteArray(in + 40, kRecordSize);
        if (intent.number < 1 || intent.originalLength < intent.number * kRecordSize ||
            intent.copyStart < 0 || intent.copyStart > intent.recordStart())
            return std::nullopt;
        return intent;
    }
};

} // namespace

// ---- Retry rules ------------------------------------------------------------------------------------

RetryPolicy::Class RetryPolicy::classify(int code) {
    switch (code) {
    case EBUSY:
    case ETXTBSY:
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
        return Class::InUse;
    // On this system locks are advisory, so a refused permission is never another station:
    // retrying it forever would hang the station.
    case ENOENT:
    case ENOTDIR:
    case EACCES:
    case EPERM:
    case EROFS:
    case ENOLCK:
    case ESTALE:
    case ETIMEDOUT:
    case ENOTCONN:
    case EHOSTDOWN:
    case EHOSTUNREACH:
        return Class::Transient;
    default:
        return Class::Final;
    }
}

StorePaths StorePaths::of(const SharedState& state) {
    StorePaths paths;
    paths.dataFolder = state.DataFolder;
    paths.results = state.DataFolder + QString::fromUtf16(files::kResults);
    paths.copy = state.DataFolder + u"成績累積データtemp.dat"_s;
    paths.intent = state.DataFolder + u"成績累積データ消去中.dat"_s;
    paths.note = state.DataFolder + u"成績累積データ消去完了.dat"_s;
    paths.answers = state.DataFolder + u"解答記録.dat"_s;
    if (!state.QueueFolder.isEmpty()) {
        paths.queue = state.QueueFolder + u"成績待ち.dat"_s;
        paths.answerQueue = state.QueueFolder + u"解答待ち.dat"_s;
    }
    return paths;
}

// ---- One operation ------------------------------------------------------------------------------------

// The steps one store operation is made of, with the errors they give and the waits between tries.
class FileResultStore::Session {
public:
    Session(FileResultStore& store, StoreOperation operation)
        : m_store(store), m_files(store.m_files), m_paths(store.m_paths), m_operation(operation) {}

    StoreError error(StoreStep step, int code, const QString& path) const {
        StoreError error;
        error.operation = m_operation;
        error.step = step;
        error.code = code;
        error.path = path;
        error.kind = RetryPolicy::classify(code) == RetryPolicy::Class::Final ? StoreErrorKind::Failed
                                                                              : StoreErrorKind::Unreachable;
        return error;
    }
    StoreError error(StoreErrorKind kind, StoreStep step, const QString& path,
                     std::int64_t record = 0) const {
        StoreError error;
        error.kind = kind;
        error.operation = m_operation;
        error.step = step;
        error.path = path;
        error.record = record;
        return error;
    }
    // A failure after bytes may have gone out: trying again could store a run twice.
    StoreError finalError(StoreStep step, int code, const QString& path) const {
        StoreError e = error(step, code, path);
        e.kind = StoreErrorKind::Failed;
        return e;
    }

    bool stopping() const {
        const AppControl* app = m_store.m_platform.app;
        if (!app)
            return false;
        return app->endRequested() || (m_store.m_policy.stopWhenEnding && app->stopping());
    }

    // Repeats `attempt` while its failure is worth another try, waiting between tries as the
    // failure asks and letting the screens run meanwhile.
    template <class T, class Attempt> StoreResult<T> withRetries(Attempt attempt) {
        int transientFailures = 0;
        for (;;) {
            StoreResult<T> result = attempt();
            if (result.ok())
                return result;
            StoreError failure = result.error();
            if (failure.kind != StoreErrorKind::Unreachable && failure.kind != StoreErrorKind::Failed)
                return failure;
            const RetryPolicy::Class retry = RetryPolicy::classify(failure.code);
            if (retry == RetryPolicy::Class::Final || failure.kind == StoreErrorKind::Failed)
                return failure;
            if (retry == RetryPolicy::Class::Transient &&
                ++transientFailures >= m_store.m_policy.transientAttempts) {
                failure.kind = StoreErrorKind::Unreachable;
                return failure;
            }
            if (stopping()) {
                failure.kind = StoreErrorKind::Ending;
                return failure;
            }
            waitWhilePumping(m_store.m_platform, retry == RetryPolicy::Class::InUse
                                                     ? m_files.lockRetryMs()
                                                     : m_store.m_policy.transientWaitMs);
            if (stopping()) {
                failure.kind = StoreErrorKind::Ending;
                return failure;
            }
        }
    }

    // Opens the result file for writing and takes its lock, once.
    StoreResult<Done> openLocked(OpenFile& file, Access access) {
        if (const int code = file.open(m_paths.results, access))
            return error(StoreStep::Open, code, m_paths.results);
        int lockError = 0;
        switch (file.lock(lockError)) {
        case LockResult::Locked:
            return Done{};
        case LockResult::Busy:
            return error(StoreStep::Lock, EAGAIN, m_paths.results);
        case LockResult::Error:
            return error(StoreStep::Lock, lockError != 0 ? lockError : ENOLCK, m_paths.results);
        }
        return error(StoreStep::Lock, ENOLCK, m_paths.results);
    }

    // The result file opened for reading; a missing one is made empty where the folder allows, and
    // reads as empty on a read-only share.
    StoreResult<Done> openForReading(OpenFile& file, bool& empty) {
        empty = false;
        int code = file.open(m_paths.results, Access::Read);
        if (code == ENOENT) {
            code = file.open(m_paths.results, Access::Create);
            if (code == EACCES || code == EPERM || code == EROFS) {
                empty = true;
                return Done{};
            }
        }
        if (code)
            return error(StoreStep::Open, code, m_paths.results);
        return Done{};
    }

    // The newest `count` whole records of an open file.
    StoreResult<RecordWindow> readNewest(const OpenFile& file, std::int64_t count) {
        RecordWindow window;
        std::int64_t size = 0;
        if (const int code = m_files.size(file.fd(), size))
            return error(StoreStep::Size, code, file.path());
        const std::int64_t total = size / kRecordSize;
        const std::int64_t wanted = std::clamp<std::int64_t>(count, 0, total);
        window.total = total;
        window.first = total - wanted + 1;
        if (wanted == 0)
            return window;
        // One positioned read of the whole window: the cost does not grow with the file's length.
        window.bytes = QByteArray(static_cast<qsizetype>(wanted * kRecordSize), Qt::Uninitialized);
        std::int64_t done = 0;
        if (const int code = m_files.readAt(file.fd(), window.bytes.data(), window.bytes.size(),
                                            (window.first - 1) * kRecordSize, done))
            return error(StoreStep::Read, code, file.path());
        window.bytes.truncate(static_cast<qsizetype>(done / kRecordSize * kRecordSize));
        window.total = window.first - 1 + window.count();
        return window;
    }

    // Copies [from, end) of one file to [from - shift, end - shift) of another (or the same), in
    // chunks, lowest first.
    int moveRange(int source, int target, std::int64_t from, std::int64_t end, std::int64_t shift) {
        const std::int64_t chunk = std::max<std::int64_t>(m_store.m_chunkRecords, 1) * kRecordSize;
        std::vector<char> buffer(
            static_cast<std::size_t>(std::min(chunk, std::max<std::int64_t>(end - from, 1))));
        for (std::int64_t at = from; at < end;) {
            const std::int64_t n = std::min<std::int64_t>(static_cast<std::int64_t>(buffer.size()), end - at);
            if (const int code = readExactly(m_files, source, buffer.data(), n, at))
                return code;
            std::int64_t done = 0;
            if (const int code = m_files.writeAt(target, buffer.data(), n, at - shift, done))
                return code;
            at += n;
        }
        return 0;
    }

    // A checksum of a copy's length and of its first and last 64 KB: enough to tell a copy that is
    // not the one an intent was written for, without reading all of a long one.
    int sampleChecksum(int fd, std::int64_t size, std::uint64_t& value) {
        constexpr std::int64_t kSample = 64 * 1024;
        std::vector<char> buffer(static_cast<std::size_t>(std::min(size, kSample)));
        Checksum sum;
        sum.add(reinterpret_cast<const char*>(&size), sizeof size);
        for (const std::int64_t at : {std::int64_t{0}, std::max<std::int64_t>(size - kSample, 0)}) {
            const std::int64_t n = static_cast<std::int64_t>(buffer.size());
            if (const int code = readExactly(m_files, fd, buffer.data(), n, at))
                return code;
            sum.add(buffer.data(), n);
        }
        value = sum.value();
        return 0;
    }

    // Whether a delete left something behind: its copy comes before its intent and goes after it,
    // so one look at the copy tells.
    bool deleteLeftSomething() const { return m_files.fileSize(m_paths.copy) >= 0; }

    // Under the result file's lock: completes a delete that was cut short, or clears what one
    // that never began left behind.
    StoreResult<Recovery> recoverUnderLock(OpenFile& results) {
        Recovery recovery;
        if (!deleteLeftSomething())
            return recovery;
        const std::optional<Intent> intent = readIntent();
        if (!intent) {
            // No whole intent: the result file was never touched; the copy is of no use.
            if (const int code = m_files.remove(m_paths.copy))
                return error(StoreStep::Remove, code, m_paths.copy);
            if (const int code = m_files.remove(m_paths.intent))
                return error(StoreStep::Remove, code, m_paths.intent);
            m_files.syncFolder(m_paths.dataFolder);
            recovery.removedStrayCopy = true;
            return recovery;
        }

        // The copy must be the file the intent speaks of; otherwise nothing is touched.
        OpenFile copy(m_files);
        if (const int code = copy.open(m_paths.copy, Access::Read))
            return code == ENOENT
                       ? error(StoreErrorKind::Unrecoverable, StoreStep::Check, m_paths.copy, intent->number)
                       : error(StoreStep::Open, code, m_paths.copy);
        std::int64_t copySize = 0;
        if (const int code = m_files.size(copy.fd(), copySize))
            return error(StoreStep::Size, code, m_paths.copy);
        std::uint64_t sum = 0;
        if (copySize != intent->copyLength())
            return error(StoreErrorKind::Unrecoverable, StoreStep::Check, m_paths.copy, intent->number);
        if (const int code = sampleChecksum(copy.fd(), copySize, sum))
            return error(StoreStep::Read, code, m_paths.copy);
        if (sum != intent->copyChecksum)
            return error(StoreErrorKind::Unrecoverable, StoreStep::Check, m_paths.copy, intent->number);

        // Roll forward: every record after the deleted one, one place down, from the copy (whose
        // byte c is byte copyStart + c of the file).
        const AppControl::WriteInProgress writing(m_store.m_platform.app);
        if (const int code =
                moveRange(copy.fd(), results.fd(), intent->recordStart() + kRecordSize - intent->copyStart,
                          copySize, kRecordSize - intent->copyStart))
            return finalError(StoreStep::Write, code, m_paths.results);
        if (const int code = m_files.truncate(results.fd(), intent->originalLength - kRecordSize))
            return finalError(StoreStep::Truncate, code, m_paths.results);
        if (const int code = m_files.sync(results.fd()))
            return finalError(StoreStep::Flush, code, m_paths.results);
        copy.close();
        if (const int code = finishDelete())
            return finalError(StoreStep::Remove, code, m_paths.intent);
        writeNote(intent->number);
        recovery.completedDelete = true;
        recovery.deletedRecord = intent->number;
        return recovery;
    }

    std::optional<Intent> readIntent() {
        OpenFile file(m_files);
        if (file.open(m_paths.intent, Access::Read))
            return std::nullopt;
        QByteArray bytes(Intent::kSize + 1, '\0');
        std::int64_t done = 0;
        if (m_files.readAt(file.fd(), bytes.data(), bytes.size(), 0, done))
            return std::nullopt;
        bytes.truncate(static_cast<qsizetype>(done));
        return Intent::decode(bytes);
    }

    // The intent goes first: from then on the copy is of no use, and a crash meanwhile leaves at
    // worst a copy without an intent, which the next open removes.
    int finishDelete() {
        if (const int code = m_files.remove(m_paths.intent))
            return code;
        m_files.syncFolder(m_paths.dataFolder);
        if (const int code = m_files.remove(m_paths.copy))
            return code;
        return 0;
    }

    // Tells the next teacher that a delete a crashed station began was completed.
    void writeNote(std::int64_t number) {
        OpenFile note(m_files);
        if (note.open(m_paths.note, Access::Replace))
            return;
        QByteArray bytes(8, '\0');
        qToLittleEndian(number, bytes.data());
        std::int64_t done = 0;
        if (writeAll(m_files, note.fd(), bytes, 0, done) == 0)
            m_files.sync(note.fd());
        note.close();
        m_files.syncFolder(m_paths.dataFolder);
    }

    // Before a reader reads: a delete in progress elsewhere is waited for, one cut short is
    // completed. Nothing to do costs two looks at the folder.
    StoreResult<Recovery> recoverBeforeReading() {
        if (!deleteLeftSomething())
            return Recovery{};
        return withRetries<Recovery>([&]() -> StoreResult<Recovery> {
            OpenFile results(m_files);
            if (StoreResult<Done> locked = openLocked(results, Access::Create); !locked)
                return locked.error();
            return recoverUnderLock(results);
        });
    }
    // The same for a read: a delete that cannot be completed is left for a teacher, and the
    // file is read as it stands.
    std::optional<StoreError> readyToRead() {
        StoreResult<Recovery> recovered = recoverBeforeReading();
        if (recovered || recovered.error().kind == StoreErrorKind::Unrecoverable)
            return std::nullopt;
        return recovered.error();
    }

    FileResultStore& m_store;
    FileSystem& m_files;
    const StorePaths& m_paths;
    StoreOperation m_operation;
};

namespace {

// The answers of `queued` that the log's newest records do not hold yet, in queue order: an answer
// is known by its run and its place in the run.
QByteArray answersNotYetStored(const QByteArray& queued, const QByteArray& newest) {
    QSet<std::pair<std::uint64_t, std::uint8_t>> stored;
    for (qsizetype at = 0; at + answerlog::kRecordSize <= newest.size(); at += answerlog::kRecordSize) {
        const char* record = newest.constData() + at;
        if (answerlog::isWhole(record))
            stored.insert({answerlog::runIdOf(record), answerlog::indexOf(record)});
    }
    QByteArray missing;
    for (qsizetype at = 0; at + answerlog::kRecordSize <= queued.size(); at += answerlog::kRecordSize) {
        const char* record = queued.constData() + at;
        if (!stored.contains({answerlog::runIdOf(record), answerlog::indexOf(record)}))
            missing.append(record, answerlog::kRecordSize);
    }
    return missing;
}

} // namespace

// ---- The store ---------------------------------------------------------------------------------------

FileResultStore::FileResultStore(const Platform& platform, StorePaths paths, RetryPolicy policy)
    : m_platform(platform), m_files(*platform.disk), m_paths(std::move(paths)), m_policy(policy) {}

namespace {

// Adds `answers` to the answer log after its last whole record, under the result file's lock, and
// flushes it; the answers of `queued` that the log does not hold yet go first. False in
// `written` when the log is of another version: the answers then stay on the station.
template <class Session>
StoreResult<std::int64_t> addAnswers(Session& session, FileSystem& files, const StorePaths& paths,
                                     const QByteArray& queued, const QByteArray& answers, bool& written) {
    written = false;
    OpenFile log(files);
    if (const int code = log.open(paths.answers, Access::Create))
        return session.error(StoreStep::Open, code, paths.answers);
    std::int64_t size = 0;
    if (const int code = files.size(log.fd(), size))
        return session.error(StoreStep::Size, code, paths.answers);
    QByteArray first(static_cast<qsizetype>(std::min<std::int64_t>(size, answerlog::kHeaderSize)), '\0');
    std::int64_t done = 0;
    if (const int code = files.readAt(log.fd(), first.data(), first.size(), 0, done))
        return session.error(StoreStep::Read, code, paths.answers);
    switch (answerlog::checkHeader(first)) {
    case answerlog::HeaderCheck::Foreign:
        return std::int64_t{0};
    case answerlog::HeaderCheck::Missing:
        size = answerlog::kHeaderSize;
        if (const int code = writeAll(files, log.fd(), answerlog::header(), 0, done))
            return session.error(StoreStep::Write, code, paths.answers);
        break;
    case answerlog::HeaderCheck::Ours:
        break;
    }
    // After the last whole record: one a crash cut short, or left with a wrong checksum, is
    // overwritten.
    std::int64_t end = answerlog::kHeaderSize +
                       (size - answerlog::kHeaderSize) / answerlog::kRecordSize * answerlog::kRecordSize;
    // A replay looks as far back as for the runs, counting a run's answers (at most
    // kMaxAnswersPerRun); a plain append only needs the end of the log to find a torn record.
    const std::int64_t lookBack =
        queued.isEmpty() ? kTornCheckRecords : kReplayCheckRecords * kMaxAnswersPerRun;
    const std::int64_t newestFrom =
        std::max<std::int64_t>(answerlog::kHeaderSize, end - lookBack * answerlog::kRecordSize);
    QByteArray newest(static_cast<qsizetype>(end - newestFrom), Qt::Uninitialized);
    if (const int code = files.readAt(log.fd(), newest.data(), newest.size(), newestFrom, done))
        return session.error(StoreStep::Read, code, paths.answers);
    while (end > newestFrom &&
           !answerlog::isWhole(newest.constData() + (end - newestFrom - answerlog::kRecordSize)))
        end -= answerlog::kRecordSize;
    const QByteArray bytes =
        answersNotYetStored(queued, newest.left(static_cast<qsizetype>(end - newestFrom))) + answers;
    if (!bytes.isEmpty()) {
        if (const int code = writeAll(files, log.fd(), bytes, end, done))
            return done > 0 ? session.finalError(StoreStep::Write, code, paths.answers)
                            : session.error(StoreStep::Write, code, paths.answers);
        if (const int code = files.sync(log.fd()))
            return session.finalError(StoreStep::Flush, code, paths.answers);
    }
    if (const int code = log.close())
        return session.finalError(StoreStep::Close, code, paths.answers);
    written = true;
    return static_cast<std::int64_t>(bytes.size() / answerlog::kRecordSize);
}

// One attempt under the shared file's lock: first the runs (and answers) waiting in this station's
// queues that the files do not hold yet, in order, then `run` (none for a replay alone). The answers
// go first, so a run's 44-byte record is never stored without its answers. The queues are emptied
// only once the files are flushed. Nothing is written unless the locks are held.
template <class Session>
StoreResult<std::int64_t> storeOnce(Session& session, FileSystem& files, const StorePaths& paths,
                                    const StoredRun& run, bool syncData) {
    HeldQueue queue(files, kRecordSize);
    if (queue.take(paths.queue) == HeldQueue::Take::Busy)
        return session.error(StoreStep::Queue, EAGAIN, paths.queue); // another program of this station
    HeldQueue answerQueue(files, answerlog::kRecordSize);
    if (answerQueue.take(paths.answerQueue) == HeldQueue::Take::Busy)
        return session.error(StoreStep::Queue, EAGAIN, paths.answerQueue);
    if (run.record.isEmpty() && run.answers.isEmpty() && !queue.held() && !answerQueue.held())
        return std::int64_t{0};

    OpenFile results(files);
    if (StoreResult<Done> locked = session.openLocked(results, Access::Create); !locked)
        return locked.error();
    // A delete cut short is completed first; one that cannot be completed is left for a teacher
    // and does not keep a student's run out.
    if (StoreResult<Recovery> recovered = session.recoverUnderLock(results);
        !recovered && recovered.error().kind != StoreErrorKind::Unrecoverable)
        return recovered.error();

    bool answersWritten = true;
    if (!run.answers.isEmpty() || answerQueue.held()) {
        StoreResult<std::int64_t> added =
            addAnswers(session, files, paths, answerQueue.records(), run.answers, answersWritten);
        if (!added)
            return added.error();
    }

    std::int64_t size = 0;
    if (const int code = files.size(results.fd(), size))
        return session.error(StoreStep::Size, code, paths.results);
    QByteArray bytes;
    if (queue.held()) {
        StoreResult<RecordWindow> newest = session.readNewest(results, kReplayCheckRecords);
        if (!newest)
            return newest.error();
        bytes = recordsNotYetStored(queue.records(), newest->bytes);
    }
    bytes += run.record;
    // A part record at the end (a write cut short) is overwritten: the file stays whole.
    const std::int64_t offset = size / kRecordSize * kRecordSize;
    std::int64_t written = 0;
    if (const int code = writeAll(files, results.fd(), bytes, offset, written))
        return written > 0 ? session.finalError(StoreStep::Write, code, paths.results)
                           : session.error(StoreStep::Write, code, paths.results);
    // The records reach the disk, or the file server, before another station may write, and
    // before the queue lets go of the runs it kept.
    if (!bytes.isEmpty() && (syncData || queue.held())) {
        if (const int code = files.sync(results.fd()))
            return session.finalError(StoreStep::Flush, code, paths.results);
    }
    queue.clear();
    // Answers an answer log of another version could not take wait on this station, for a newer
    // program to store.
    if (answersWritten)
        answerQueue.clear();
    else if (!run.answers.isEmpty()) {
        answerQueue.release();
        stationqueue::keep(files, paths.answerQueue, run.answers, answerlog::kRecordSize);
    }
    // A network share may report a failed write only when the file is closed; by then the lock
    // is gone, so this is reported rather than tried again.
    if (const int code = results.close())
        return session.finalError(StoreStep::Close, code, paths.results);
    return static_cast<std::int64_t>(bytes.size() / kRecordSize);
}

} // namespace

StoreResult<Appended> FileResultStore::append(const StoredRun& run) {
    Session session(*this, StoreOperation::Append);
    // A log-out or shutdown meanwhile ends the program only once the run is kept somewhere.
    const AppControl::WriteInProgress writing(m_platform.app);
    StoreResult<std::int64_t> stored = session.withRetries<std::int64_t>(
        [&] { return storeOnce(session, m_files, m_paths, run, m_syncAppends); });
    if (stored)
        return Appended{};
    // The shared files stay out of reach: the run waits on this station.
    return stationqueue::keepRun(m_files, stored.error(),
                                 {m_paths.answerQueue, run.answers, answerlog::kRecordSize},
                                 {m_paths.queue, run.record, kRecordSize});
}

StoreResult<std::int64_t> FileResultStore::replay() {
    Session session(*this, StoreOperation::Replay);
    // Only a lock held by another station, or by another program of this one, is waited for: a
    // share out of reach leaves the queue as it is for the next append or load.
    RetryPolicy once = m_policy;
    once.transientAttempts = 1;
    const RetryPolicy usual = std::exchange(m_policy, once);
    StoreResult<std::int64_t> stored = session.withRetries<std::int64_t>(
        [&] { return storeOnce(session, m_files, m_paths, StoredRun{}, true); });
    m_policy = usual;
    return stored;
}

StoreResult<RecordWindow> FileResultStore::readNewest(std::int64_t count) {
    Session session(*this, StoreOperation::Load);
    if (std::optional<StoreError> refused = session.readyToRead())
        return *refused;
    return session.withRetries<RecordWindow>([&]() -> StoreResult<RecordWindow> {
        OpenFile results(m_files);
        bool empty = false;
        if (StoreResult<Done> opened = session.openForReading(results, empty); !opened)
            return opened.error();
        if (empty)
            return RecordWindow{};
        return session.readNewest(results, count);
    });
}

StoreResult<std::int64_t> FileResultStore::scan(const RecordChunk& onChunk) {
    Session session(*this, StoreOperation::Scan);
    if (std::optional<StoreError> refused = session.readyToRead())
        return *refused;
    OpenFile results(m_files);
    bool empty = false;
    StoreResult<Done> opened =
        session.withRetries<Done>([&] { return session.openForReading(results, empty); });
    if (!opened)
        return opened.error();
    if (empty)
        return std::int64_t{0};
    std::int64_t size = 0;
    if (const int code = m_files.size(results.fd(), size))
        return session.error(StoreStep::Size, code, m_paths.results);
    const std::int64_t chunk = std::max<std::int64_t>(m_chunkRecords, 1) * kRecordSize;
    QByteArray buffer(static_cast<qsizetype>(std::min(chunk, std::max<std::int64_t>(size, kRecordSize))),
                      Qt::Uninitialized);
    std::int64_t records = 0;
    for (std::int64_t at = 0;;) {
        std::int64_t done = 0;
        if (const int code = m_files.readAt(results.fd(), buffer.data(), buffer.size(), at, done))
            return session.finalError(StoreStep::Read, code, m_paths.results);
        // A full buffer holds whole records; at the end a part record is left out.
        const std::int64_t whole = done / kRecordSize;
        if (whole > 0)
            onChunk(buffer.constData(), whole);
        records += whole;
        at += whole * kRecordSize;
        if (done < buffer.size())
            return records;
    }
}

StoreResult<QByteArray> FileResultStore::readRecord(std::int64_t number) {
    Session session(*this, StoreOperation::Read);
    if (std::optional<StoreError> refused = session.readyToRead())
        return *refused;
    return session.withRetries<QByteArray>([&]() -> StoreResult<QByteArray> {
        OpenFile results(m_files);
        bool empty = false;
        if (StoreResult<Done> opened = session.openForReading(results, empty); !opened)
            return opened.error();
        QByteArray bytes(kRecordSize, '\0');
        std::int64_t done = 0;
        if (!empty && number >= 1) {
            if (const int code =
                    m_files.readAt(results.fd(), bytes.data(), kRecordSize, (number - 1) * kRecordSize, done))
                return session.error(StoreStep::Read, code, m_paths.results);
        }
        if (done != kRecordSize)
            return session.error(StoreErrorKind::NoSuchRecord, StoreStep::Read, m_paths.results, number);
        return bytes;
    });
}

namespace {

// A teacher's change opens the result file under its lock, with the retries; no file at all means
// the record the teacher opened is gone.
template <class Session>
StoreResult<Done> lockForChange(Session& session, OpenFile& results, const QString& path,
                                std::int64_t number) {
    return session.template withRetries<Done>([&]() -> StoreResult<Done> {
        StoreResult<Done> opened = session.openLocked(results, Access::ReadWrite);
        if (!opened && opened.error().code == ENOENT && opened.error().step == StoreStep::Open)
            return session.error(StoreErrorKind::NoSuchRecord, StoreStep::Open, path, number);
        return opened;
    });
}

// Under the lock, a delete cut short made whole first: is record `number` still the one the
// teacher opened? The file's size in `size`.
template <class Session>
std::optional<StoreError> checkUnchanged(Session& session, FileSystem& files, OpenFile& results,
                                         std::int64_t number, const QByteArray& asRead, std::int64_t& size) {
    if (StoreResult<Recovery> recovered = session.recoverUnderLock(results); !recovered)
        return recovered.error();
    if (const int code = files.size(results.fd(), size))
        return session.error(StoreStep::Size, code, results.path());
    if (number < 1 || number > size / kRecordSize)
        return session.error(StoreErrorKind::NoSuchRecord, StoreStep::Check, results.path(), number);
    char current[kRecordSize];
    if (const int code = readExactly(files, results.fd(), current, kRecordSize, (number - 1) * kRecordSize))
        return session.error(StoreStep::Read, code, results.path());
    if (asRead.size() != kRecordSize || std::memcmp(current, asRead.constData(), kRecordSize) != 0)
        return session.error(StoreErrorKind::Changed, StoreStep::Check, results.path(), number);
    return std::nullopt;
}

} // namespace

StoreResult<Done> FileResultStore::patch(std::int64_t number, const QByteArray& asRead, std::int16_t student,
                                         std::int32_t seconds) {
    Session session(*this, StoreOperation::Patch);
    OpenFile results(m_files);
    if (StoreResult<Done> locked = lockForChange(session, results, m_paths.results, number); !locked)
        return locked.error();
    // A log-out or shutdown meanwhile waits until the file is whole and let go.
    const AppControl::WriteInProgress writing(m_platform.app);
    std::int64_t size = 0;
    if (std::optional<StoreError> refused = checkUnchanged(session, m_files, results, number, asRead, size))
        return *refused;

    QByteArray patched = asRead;
    qToLittleEndian(student, patched.data() + offsets::kStudent);
    qToLittleEndian(seconds, patched.data() + offsets::kSeconds);
    const std::int64_t offset = (number - 1) * kRecordSize;
    std::int64_t done = 0;
    StoreStep step = StoreStep::Write;
    int code = writeAll(m_files, results.fd(), patched, offset, done);
    if (code == 0) {
        step = StoreStep::Flush;
        code = m_files.sync(results.fd());
    }
    if (code == 0) {
        if (const int closed = results.close())
            return session.finalError(StoreStep::Close, closed, m_paths.results);
        return Done{};
    }
    // The record as it was, so a write cut short leaves no mixed record behind.
    StoreError failure = session.finalError(step, code, m_paths.results);
    failure.record = number;
    failure.restored =
        writeAll(m_files, results.fd(), asRead, offset, done) == 0 && m_files.sync(results.fd()) == 0;
    return failure;
}

StoreResult<Done> FileResultStore::remove(std::int64_t number, const QByteArray& asRead) {
    Session session(*this, StoreOperation::Delete);
    OpenFile results(m_files);
    if (StoreResult<Done> locked = lockForChange(session, results, m_paths.results, number); !locked)
        return locked.error();
    const AppControl::WriteInProgress writing(m_platform.app);
    std::int64_t size = 0;
    if (std::optional<StoreError> refused = checkUnchanged(session, m_files, results, number, asRead, size))
        return *refused;
    const std::int64_t length = size / kRecordSize * kRecordSize;
    const std::int64_t from = (number - 1) * kRecordSize;

    // 1. The copy holds the file from the record on, flushed, before anything in the file changes.
    //    An intent some earlier delete left without its copy must not be taken for this one's.
    m_files.remove(m_paths.intent);
    {
        OpenFile copy(m_files);
        Intent intent;
        intent.number = number;
        intent.originalLength = length;
        intent.copyStart = from / kCopyAlignment * kCopyAlignment;
        intent.asRead = asRead;
        StoreError failure;
        auto copied = [&]() -> bool {
            if (const int code = copy.open(m_paths.copy, Access::Replace)) {
                failure = session.error(StoreStep::Copy, code, m_paths.copy);
                return false;
            }
            int code = m_files.copy(results.fd(), intent.copyStart, copy.fd(), 0, intent.copyLength());
            if (code == 0)
                code = m_files.sync(copy.fd());
            if (code == 0)
                code = session.sampleChecksum(copy.fd(), intent.copyLength(), intent.copyChecksum);
            if (code == 0)
                code = copy.close();
            if (code != 0) {
                failure = session.error(StoreStep::Copy, code, m_paths.copy);
                return false;
            }
            // 2. The intent, flushed with the folder's list, says which record goes.
            OpenFile note(m_files);
            code = note.open(m_paths.intent, Access::Replace);
            std::int64_t done = 0;
            if (code == 0)
                code = writeAll(m_files, note.fd(), intent.encode(), 0, done);
            if (code == 0)
                code = m_files.sync(note.fd());
            if (code == 0)
                code = note.close();
            if (code == 0)
                code = m_files.syncFolder(m_paths.dataFolder);
            if (code != 0) {
                failure = session.error(StoreStep::Intent, code, m_paths.intent);
                return false;
            }
            return true;
        };
        if (!copied()) {
            copy.close();
            m_files.remove(m_paths.intent);
            m_files.remove(m_paths.copy);
            failure.kind = StoreErrorKind::Failed;
            failure.record = number;
            failure.restored = true; // the result file was never touched
            return failure;
        }
    }

    // 3. Every later record moves down by one, in place; the file is one record shorter.
    StoreStep step = StoreStep::Write;
    int code = session.moveRange(results.fd(), results.fd(), from + kRecordSize, length, kRecordSize);
    if (code == 0) {
        step = StoreStep::Truncate;
        code = m_files.truncate(results.fd(), length - kRecordSize);
    }
    if (code == 0) {
        step = StoreStep::Flush;
        code = m_files.sync(results.fd());
    }
    if (code != 0) {
        // Still under the lock: the part that moved comes back from the copy. When even that
        // fails, the intent stays, and the next open completes the delete from the copy.
        StoreError failure = session.finalError(step, code, m_paths.results);
        failure.record = number;
        OpenFile copy(m_files);
        const std::int64_t copyStart = from / kCopyAlignment * kCopyAlignment;
        int restore = copy.open(m_paths.copy, Access::Read);
        if (restore == 0)
            restore =
                session.moveRange(copy.fd(), results.fd(), from - copyStart, length - copyStart, -copyStart);
        if (restore == 0)
            restore = m_files.truncate(results.fd(), length);
        if (restore == 0)
            restore = m_files.sync(results.fd());
        copy.close();
        if (restore == 0)
            restore = session.finishDelete();
        failure.restored = restore == 0;
        return failure;
    }

    // 4. Done: the intent, then the copy go.
    if (const int cleared = session.finishDelete())
        return session.finalError(StoreStep::Remove, cleared, m_paths.intent);
    if (const int closed = results.close())
        return session.finalError(StoreStep::Close, closed, m_paths.results);
    return Done{};
}

StoreResult<Recovery> FileResultStore::recover() {
    Session session(*this, StoreOperation::Recover);
    return session.recoverBeforeReading();
}

std::int64_t FileResultStore::queuedCount() {
    if (m_paths.queue.isEmpty())
        return 0;
    return std::max<std::int64_t>(m_files.fileSize(m_paths.queue), 0) / kRecordSize;
}

StoreResult<std::int64_t> FileResultStore::scanAnswers(const AnswerChunk& onChunk,
                                                       const StudentFilter& filter) {
    Session session(*this, StoreOperation::Scan);
    OpenFile log(m_files);
    const StoreResult<Done> opened = session.withRetries<Done>([&]() -> StoreResult<Done> {
        const int code = log.open(m_paths.answers, Access::Read);
        if (code != 0 && code != ENOENT)
            return session.error(StoreStep::Open, code, m_paths.answers);
        return Done{};
    });
    if (!opened)
        return opened.error();
    if (!log.isOpen())
        return std::int64_t{0}; // no answer has been logged yet
    std::int64_t size = 0;
    if (const int code = m_files.size(log.fd(), size))
        return session.error(StoreStep::Size, code, m_paths.answers);
    QByteArray first(static_cast<qsizetype>(std::min<std::int64_t>(size, answerlog::kHeaderSize)), '\0');
    std::int64_t done = 0;
    if (const int code = m_files.readAt(log.fd(), first.data(), first.size(), 0, done))
        return session.error(StoreStep::Read, code, m_paths.answers);
    switch (answerlog::checkHeader(first)) {
    case answerlog::HeaderCheck::Missing:
        return std::int64_t{0};
    case answerlog::HeaderCheck::Foreign: {
        StoreError error = session.error(StoreErrorKind::Failed, StoreStep::Check, m_paths.answers);
        error.foreign = true;
        return error;
    }
    case answerlog::HeaderCheck::Ours:
        break;
    }
    constexpr std::int64_t kChunk = kAnswersPerScanStep; // answers read at a time: 3 MB
    QByteArray buffer(static_cast<qsizetype>(kChunk * answerlog::kRecordSize), Qt::Uninitialized);
    std::vector<LoggedAnswer> answers;
    answers.reserve(static_cast<std::size_t>(kChunk));
    std::int64_t count = 0;
    for (std::int64_t at = answerlog::kHeaderSize; at < size;) {
        if (const int code = m_files.readAt(log.fd(), buffer.data(), buffer.size(), at, done))
            return session.finalError(StoreStep::Read, code, m_paths.answers);
        const std::int64_t whole = done / answerlog::kRecordSize;
        answers.clear();
        for (std::int64_t i = 0; i < whole; ++i) {
            const char* record = buffer.constData() + i * answerlog::kRecordSize;
            if (!filter.wants(answerlog::studentOf(record)))
                continue;
            if (const std::optional<LoggedAnswer> answer = answerlog::decode(record))
                answers.push_back(*answer);
        }
        onChunk(answers.data(), static_cast<std::int64_t>(answers.size()));
        count += static_cast<std::int64_t>(answers.size());
        at += whole * answerlog::kRecordSize;
        if (done < buffer.size())
            break;
    }
    return count;
}

QByteArray FileResultStore::queuedRecords() {
    return stationqueue::read(m_files, m_paths.queue, kRecordSize);
}

std::optional<std::int64_t> FileResultStore::takeCompletedDelete() {
    if (m_files.fileSize(m_paths.note) < 0)
        return std::nullopt;
    std::int64_t number = 0;
    {
        OpenFile note(m_files);
        if (note.open(m_paths.note, Access::Read))
            return std::nullopt;
        char bytes[8] = {};
        std::int64_t done = 0;
        if (m_files.readAt(note.fd(), bytes, 8, 0, done) == 0 && done == 8)
            number = qFromLittleEndian<std::int64_t>(bytes);
    }
    m_files.remove(m_paths.note);
    return number;
}

} // namespace mirai
