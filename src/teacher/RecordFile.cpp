#include "RecordFile.h"

#include "AppControl.h"
#include "FileLock.h"
#include "MessageBoxes.h"
#include "Platform.h"
#include "RecordFileIo.h"
#include "RecordOffsets.h"
#include "ResultRecords.h"
#include "SharedState.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

constexpr std::int64_t kScanChunkRecords = 16384;
constexpr std::int64_t kFallbackChunk = kScanChunkRecords * kRecordSize;

QString errorText(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

QString title(const SharedState& state) {
    return state.ProgramTitle.isEmpty() ? u"みらいドリル"_s : state.ProgramTitle;
}

void tell(Context ctx, const QString& text) {
    ctx.platform.messages->show(text, title(ctx.state), MessageButtons::Ok, MessageIcon::Warning);
}

QString readFailure(const QString& path, const QString& reason) {
    return u"成績データを読み込めませんでした。\r\n"_s + path + u"\r\n"_s + reason;
}

MaintenanceResult failed(const QString& message) {
    return {MaintenanceResult::Kind::Failed, message};
}

MaintenanceResult changed(const QString& message) {
    return {MaintenanceResult::Kind::Changed, message};
}

// The result file opened for writing with its whole-file lock taken. While another station holds
// the lock the attempt is repeated after the lock interval, without limit, as an append does.
class LockedResultFile {
public:
    explicit LockedResultFile(Context ctx) : m_ctx(ctx), m_path(resultFilePath(ctx.state)) { lock(); }
    ~LockedResultFile() { release(); }
    LockedResultFile(const LockedResultFile&) = delete;
    LockedResultFile& operator=(const LockedResultFile&) = delete;

    bool locked() const { return m_locked; }
    const MaintenanceResult& failure() const { return m_failure; }
    int fd() const { return m_file.get(); }
    const QString& path() const { return m_path; }

    void release() {
        if (m_locked)
            m_ctx.platform.locker->unlock(m_file.get());
        m_locked = false;
        m_writing.reset();
        m_file.reset();
    }

private:
    void lock() {
        const Platform& platform = m_ctx.platform;
        m_file.assign(fileio::openFile(QFile::encodeName(m_path), O_RDWR));
        if (m_file.get() < 0) {
            const int code = errno;
            m_failure = code == ENOENT ? changed(u"成績データのファイルがありません。\r\n"_s + m_path)
                                       : failed(u"成績データのファイルを書き込み用に開けませんでした。"
                                                u"何も変更していません。\r\n"_s +
                                                m_path + u"\r\n"_s + errorText(code));
            return;
        }
        switch (lockResultFile(platform, m_file.get())) {
        case LockOutcome::Locked:
            m_locked = true;
            // A log-out or shutdown meanwhile waits until the file is whole and let go.
            m_writing.emplace(platform.app);
            return;
        case LockOutcome::Ending:
            m_failure = {MaintenanceResult::Kind::Ending, {}};
            return;
        case LockOutcome::Refused:
            m_failure = failed(u"成績データのファイルをロックできませんでした。何も変更していません。\r\n"_s +
                               m_path + u"\r\n"_s + platform.locker->lastErrorText());
            return;
        }
    }

    Context m_ctx;
    QString m_path;
    fileio::Descriptor m_file;
    bool m_locked = false;
    MaintenanceResult m_failure;
    std::optional<AppControl::WriteInProgress> m_writing;
};

// Under the lock: is record `number` still the one the teacher opened?
std::optional<MaintenanceResult> checkUnchanged(RecordFileIo& io, const LockedResultFile& file,
                                                std::int64_t number, const QByteArray& asRead) {
    const std::int64_t size = fileio::fileSize(file.fd());
    if (size < 0)
        return failed(readFailure(file.path(), errorText(errno)));
    if (number < 1 || number > size / kRecordSize)
        return changed(u"この記録はもうありません。ほかのところで消去されたようです。一覧を作り直します。"_s);
    char current[kRecordSize];
    if (const int code =
            io.readAt(FileRole::Results, file.fd(), current, kRecordSize, (number - 1) * kRecordSize))
        return failed(readFailure(file.path(), errorText(code)));
    if (asRead.size() != kRecordSize || std::memcmp(current, asRead.constData(), kRecordSize) != 0)
        return changed(u"この記録はほかのところで変更されました。何も書き込まずに一覧を作り直します。"_s);
    return std::nullopt;
}

// Copies `size` bytes from `from` to `to` (same offsets, starting at `offset`) in chunks.
int copyRange(RecordFileIo& io, FileRole fromRole, int from, FileRole toRole, int to, std::int64_t offset,
              std::int64_t end, std::int64_t chunkBytes, std::int64_t shift = 0) {
    std::vector<char> buffer(static_cast<std::size_t>(std::max<std::int64_t>(chunkBytes, kRecordSize)));
    for (std::int64_t at = offset; at < end;) {
        const std::int64_t n = std::min<std::int64_t>(static_cast<std::int64_t>(buffer.size()), end - at);
        if (const int code = io.readAt(fromRole, from, buffer.data(), n, at))
            return code;
        if (const int code = io.writeAt(toRole, to, buffer.data(), n, at - shift))
            return code;
        at += n;
    }
    return 0;
}

RecordFileIo& systemIo() {
    static RecordFileIo io;
    return io;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The system's file calls

int RecordFileIo::readAt(FileRole, int fd, char* data, std::int64_t size, std::int64_t offset) {
    const std::int64_t done = fileio::readAt(fd, data, size, offset);
    if (done < 0)
        return errno;
    // A read that finds no more bytes: the file is shorter than it was a moment ago.
    return done == size ? 0 : EIO;
}

int RecordFileIo::writeAt(FileRole, int fd, const char* data, std::int64_t size, std::int64_t offset) {
    std::int64_t written = 0;
    return fileio::writeAt(fd, QByteArray::fromRawData(data, static_cast<qsizetype>(size)), offset, written);
}

int RecordFileIo::systemCopy(int results, int copy, std::int64_t& done, std::int64_t size) {
    while (done < size) {
        loff_t from = done;
        loff_t to = done;
        const ssize_t n =
            ::copy_file_range(results, &from, copy, &to, static_cast<std::size_t>(size - done), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return EIO;
        done += n;
    }
    return 0;
}

int RecordFileIo::copyAll(int results, int copy, std::int64_t size) {
    std::int64_t done = 0;
    const int code = systemCopy(results, copy, done, size);
    if (code == ENOSYS || code == EXDEV || code == EINVAL || code == EOPNOTSUPP)
        return copyRange(*this, FileRole::Results, results, FileRole::Copy, copy, done, size, kFallbackChunk);
    return code;
}

int RecordFileIo::truncate(FileRole, int fd, std::int64_t size) {
    return fileio::truncateTo(fd, size) ? 0 : errno;
}

int RecordFileIo::sync(FileRole, int fd) {
    return fileio::flushData(fd);
}

// ---------------------------------------------------------------------------------------------
// Reading

QString resultCopyPath(const QString& dataFolder) {
    return dataFolder + u"成績累積データtemp.dat"_s;
}

bool scanResultFile(Context ctx, const RecordChunk& onChunk) {
    QFile file;
    if (!OpenResultFile(ctx, file))
        return false;
    QByteArray buffer(static_cast<qsizetype>(kScanChunkRecords * kRecordSize), Qt::Uninitialized);
    qint64 have = 0;
    for (;;) {
        const qint64 n = file.read(buffer.data() + have, buffer.size() - have);
        if (n < 0) {
            tell(ctx, readFailure(resultFilePath(ctx.state), file.errorString()));
            return false;
        }
        have += n;
        if (n > 0 && have < buffer.size())
            continue;
        // A full buffer holds whole records; at the end a partial record is left out.
        if (have >= kRecordSize)
            onChunk(buffer.constData(), have / kRecordSize);
        if (n == 0)
            return true;
        have = 0;
    }
}

std::optional<QByteArray> readResultRecord(Context ctx, std::int64_t number) {
    QFile file;
    if (!OpenResultFile(ctx, file))
        return std::nullopt;
    QByteArray bytes;
    if (number >= 1 && file.seek((number - 1) * kRecordSize))
        bytes = file.read(kRecordSize);
    if (file.error() != QFileDevice::NoError) {
        tell(ctx, readFailure(resultFilePath(ctx.state), file.errorString()));
        return std::nullopt;
    }
    if (bytes.size() != kRecordSize) {
        tell(ctx, u"この記録はもうありません。ほかのところで消去されたようです。一覧を作り直します。"_s);
        return std::nullopt;
    }
    return bytes;
}

// ---------------------------------------------------------------------------------------------
// Saving

MaintenanceResult saveRecordChanges(Context ctx, std::int64_t number, const QByteArray& asRead,
                                    std::int16_t student, std::int32_t seconds,
                                    const RewriteOptions& options) {
    RecordFileIo& io = options.io ? *options.io : systemIo();
    LockedResultFile file(ctx);
    if (!file.locked())
        return file.failure();
    if (auto refused = checkUnchanged(io, file, number, asRead))
        return *refused;

    QByteArray patched = asRead;
    qToLittleEndian(student, patched.data() + offsets::kStudent);
    qToLittleEndian(seconds, patched.data() + offsets::kSeconds);
    const std::int64_t offset = (number - 1) * kRecordSize;
    int code = io.writeAt(FileRole::Results, file.fd(), patched.constData(), kRecordSize, offset);
    if (code == 0)
        code = io.sync(FileRole::Results, file.fd());
    if (code == 0)
        return {};
    // The record as it was, so a write cut short leaves no mixed record behind.
    const bool restored =
        io.writeAt(FileRole::Results, file.fd(), asRead.constData(), kRecordSize, offset) == 0 &&
        io.sync(FileRole::Results, file.fd()) == 0;
    return failed(u"記録を書き込めませんでした。"_s +
                  (restored ? u"記録は元のままです。"_s : u"記録が元のままか確かめてください。"_s) +
                  u"\r\n"_s + file.path() + u"\r\n"_s + errorText(code));
}

// ---------------------------------------------------------------------------------------------
// Deleting

MaintenanceResult deleteResultRecord(Context ctx, std::int64_t number, const QByteArray& asRead,
                                     const RewriteOptions& options) {
    RecordFileIo& io = options.io ? *options.io : systemIo();
    const std::int64_t chunkBytes = std::max<std::int64_t>(options.chunkRecords, 1) * kRecordSize;
    LockedResultFile file(ctx);
    if (!file.locked())
        return file.failure();
    if (auto refused = checkUnchanged(io, file, number, asRead))
        return *refused;
    const std::int64_t size = fileio::fileSize(file.fd());
    const std::int64_t records = size / kRecordSize;

    // The copy holds every byte of the file before anything in the file changes.
    const QString copyPath = resultCopyPath(ctx.state.DataFolder);
    const QByteArray copyName = QFile::encodeName(copyPath);
    fileio::Descriptor copy(fileio::openFile(copyName, O_RDWR | O_CREAT | O_TRUNC));
    int code = copy.get() < 0 ? errno : 0;
    if (code == 0)
        code = io.copyAll(file.fd(), copy.get(), size);
    if (code == 0)
        code = io.sync(FileRole::Copy, copy.get());
    if (code != 0) {
        copy.reset();
        ::unlink(copyName.constData());
        return failed(u"控えのファイルを作れなかったので、消去していません。\r\n"_s + copyPath + u"\r\n"_s +
                      errorText(code));
    }

    // Every later record moves down by one, in place; the file is one record shorter.
    code = copyRange(io, FileRole::Results, file.fd(), FileRole::Results, file.fd(), number * kRecordSize,
                     records * kRecordSize, chunkBytes, kRecordSize);
    if (code == 0)
        code = io.truncate(FileRole::Results, file.fd(), (records - 1) * kRecordSize);
    if (code == 0)
        code = io.sync(FileRole::Results, file.fd());
    if (code != 0) {
        // Still under the lock: the part that moved comes back from the copy.
        const std::int64_t from = (number - 1) * kRecordSize;
        int restore =
            copyRange(io, FileRole::Copy, copy.get(), FileRole::Results, file.fd(), from, size, chunkBytes);
        if (restore == 0)
            restore = io.truncate(FileRole::Results, file.fd(), size);
        if (restore == 0)
            restore = io.sync(FileRole::Results, file.fd());
        const QString files = u"\r\n成績データ: "_s + file.path() + u"\r\n控え: "_s + copyPath +
                              u"\r\n原因: "_s + errorText(code);
        if (restore == 0)
            return failed(u"消去の途中で書き込みに失敗したので、成績データを控えから元に戻しました。"
                          u"控えのファイルは残してあります。"_s +
                          files);
        return failed(u"消去の途中で書き込みに失敗し、成績データを元に戻すこともできませんでした。"
                      u"すべての記録は控えのファイルに残っています。"_s +
                      files);
    }

    file.release();
    copy.reset();
    ::unlink(copyName.constData());
    return {};
}

} // namespace mirai
