#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QTime>
#include <cstdint>
#include <utility>
#include <vector>

namespace mirai::test {

// One result record as a test writes it, independent of the program's own codec.
struct RawRecord {
    QDate date = QDate(2026, 12, 9);
    QTime time = QTime(10, 0, 0);
    std::int16_t student = 1;
    std::int16_t level = 1;
    std::int32_t seconds = 60;
    QByteArray siteCode = QByteArray("12345", 5);
    // Overrides `date` when set: lets a test store a negative or odd day number.
    bool rawDate = false;
    double dateValue = 0.0;
};

// Days since 30 December 1899.
double oleDays(const QDate& date);

// The 44 bytes of one record, little-endian.
QByteArray rawRecordBytes(const RawRecord& record);
QByteArray rawRecordBytes(const std::vector<RawRecord>& records);

// Writes (replacing) or appends records to a result file.
void writeRecords(const QString& path, const std::vector<RawRecord>& records);
void appendRecords(const QString& path, const std::vector<RawRecord>& records);

// Fields of record n (from 1) of a result file's bytes.
struct StoredFields {
    double date = 0.0;
    double time = 0.0;
    std::int16_t student = 0;
    std::int16_t level = 0;
    std::int32_t seconds = 0;
    QByteArray siteCode, blankField, pointsText, spareField;
};
StoredFields storedFields(const QByteArray& file, std::int64_t n);

// (student, seconds) of every whole record of a file's bytes, in order: enough to tell the runs
// of a test apart.
using StoredRun = std::pair<int, int>;
std::vector<StoredRun> storedRuns(const QByteArray& file);

} // namespace mirai::test
