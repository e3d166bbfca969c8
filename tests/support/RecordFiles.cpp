#include "RecordFiles.h"

#include "Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstring>

namespace mirai::test {

namespace {

template <class T> void putLittle(char* out, T value) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    // The machines this runs on are little-endian; keep the test writer honest anyway.
    const std::uint16_t probe = 1;
    unsigned char first = 0;
    std::memcpy(&first, &probe, 1);
    for (std::size_t i = 0; i < sizeof(T); ++i)
        out[i] = static_cast<char>(first == 1 ? bytes[i] : bytes[sizeof(T) - 1 - i]);
}

template <class T> T getLittle(const char* in) {
    unsigned char bytes[sizeof(T)];
    const std::uint16_t probe = 1;
    unsigned char first = 0;
    std::memcpy(&first, &probe, 1);
    for (std::size_t i = 0; i < sizeof(T); ++i)
        bytes[first == 1 ? i : sizeof(T) - 1 - i] = static_cast<unsigned char>(in[i]);
    T value;
    std::memcpy(&value, bytes, sizeof(T));
    return value;
}

} // namespace

double oleDays(const QDate& date) {
    return static_cast<double>(QDate(1899, 12, 30).daysTo(date));
}

QByteArray rawRecordBytes(const RawRecord& record) {
    QByteArray bytes(44, '\0');
    char* out = bytes.data();
    putLittle(out, record.rawDate ? record.dateValue : oleDays(record.date));
    putLittle(out + 8, record.time.msecsSinceStartOfDay() / 86400000.0);
    putLittle(out + 16, record.student);
    putLittle(out + 18, record.level);
    putLittle(out + 20, record.seconds);
    const QByteArray site = record.siteCode.left(5).leftJustified(5, ' ');
    std::memcpy(out + 24, site.constData(), 5);
    std::memcpy(out + 29, "     ", 5);
    std::memcpy(out + 34, "0    ", 5);
    return bytes;
}

QByteArray rawRecordBytes(const std::vector<RawRecord>& records) {
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(records.size() * 44));
    for (const RawRecord& record : records)
        bytes += rawRecordBytes(record);
    return bytes;
}

void writeRecords(const QString& path, const std::vector<RawRecord>& records) {
    writeBytes(path, rawRecordBytes(records));
}

void appendRecords(const QString& path, const std::vector<RawRecord>& records) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        qFatal("cannot append to test record file");
    file.write(rawRecordBytes(records));
}

StoredFields storedFields(const QByteArray& file, std::int64_t n) {
    StoredFields fields;
    const qsizetype offset = static_cast<qsizetype>((n - 1) * 44);
    if (n < 1 || offset + 44 > file.size())
        qFatal("record number outside the file");
    const char* in = file.constData() + offset;
    fields.date = getLittle<double>(in);
    fields.time = getLittle<double>(in + 8);
    fields.student = getLittle<std::int16_t>(in + 16);
    fields.level = getLittle<std::int16_t>(in + 18);
    fields.seconds = getLittle<std::int32_t>(in + 20);
    fields.siteCode = QByteArray(in + 24, 5);
    fields.blankField = QByteArray(in + 29, 5);
    fields.pointsText = QByteArray(in + 34, 5);
    fields.spareField = QByteArray(in + 39, 5);
    return fields;
}

std::vector<StoredRun> storedRuns(const QByteArray& file) {
    std::vector<StoredRun> runs;
    for (std::int64_t n = 1; n * 44 <= file.size(); ++n) {
        const StoredFields fields = storedFields(file, n);
        runs.emplace_back(fields.student, fields.seconds);
    }
    return runs;
}

} // namespace mirai::test
