#include "RosterCsv.h"

#include "Cp932.h"
#include "Csv.h"
#include "NumberText.h"
#include "Roster.h"
#include "RosterDocument.h"
#include "RosterNumbers.h"
#include "TextRules.h"

#include <QSet>
#include <QStringDecoder>
#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

struct CsvRecord {
    int line = 0;
    QString text;
    QStringList fields;
};

// RFC 4180 records: quoted fields may hold commas, quotes (doubled) and line ends. CR LF, LF and CR
// all end a record.
std::vector<CsvRecord> splitCsv(const QString& text) {
    std::vector<CsvRecord> records;
    CsvRecord record{1, {}, {}};
    QString field;
    bool quoted = false;
    int line = 1;
    qsizetype start = 0;
    auto endRecord = [&](qsizetype end) {
        record.fields.append(field);
        record.text = text.mid(start, end - start);
        records.push_back(std::move(record));
        record = CsvRecord{line, {}, {}};
        field.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                if (c == u'\n')
                    ++line;
                field += c;
            }
        } else if (c == u'"' && field.isEmpty()) {
            quoted = true;
        } else if (c == u',') {
            record.fields.append(field);
            field.clear();
        } else if (c == u'\r' || c == u'\n') {
            const qsizetype end = i;
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            ++line;
            endRecord(end);
            start = i + 1;
        } else {
            field += c;
        }
    }
    if (start < text.size())
        endRecord(text.size());
    return records;
}

// Spreadsheet files come in UTF-8 (with a byte-order mark from most programs) or in code page 932.
QString decodeSpreadsheet(const QByteArray& bytes, QString& encoding) {
    if (bytes.startsWith(kUtf8Bom)) {
        encoding = u"UTF-8（BOM付き）"_s;
        return QString::fromUtf8(bytes.mid(3));
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        encoding = u"UTF-8"_s;
        return text;
    }
    encoding = u"シフトJIS"_s;
    return cp932::decode(bytes);
}

// Full-width letters and digits as half-width ones, blanks gone: how titles and values are compared.
QString folded(const QString& text) {
    QString out = text.normalized(QString::NormalizationForm_KC);
    out.remove(u' ');
    return out.toLower();
}

enum class Column { Name, BirthYear, Grade, Other };

Column columnOf(const QString& title) {
    static const QSet<QString> names{u"名前"_s, u"氏名"_s, u"なまえ"_s, u"生徒名"_s, u"児童名"_s, u"name"_s};
    static const QSet<QString> years{u"生まれ年"_s,   u"生まれた年"_s,     u"生年"_s,     u"誕生年"_s,
                                     u"生年(西暦)"_s, u"生まれ年(西暦)"_s, u"birthyear"_s};
    static const QSet<QString> grades{u"学年"_s, u"grade"_s};
    const QString key = folded(title);
    if (names.contains(key))
        return Column::Name;
    if (years.contains(key))
        return Column::BirthYear;
    if (grades.contains(key))
        return Column::Grade;
    return Column::Other;
}

bool blankRecord(const CsvRecord& record) {
    for (const QString& field : record.fields) {
        if (!trimBlanks(field).isEmpty())
            return false;
    }
    return true;
}

} // namespace

std::optional<int> birthYearOfText(const QString& text, int schoolYear) {
    QString value = folded(text);
    if (value.endsWith(u'年'))
        value.chop(1);
    bool ok = false;
    const int year = value.toInt(&ok);
    if (!ok || value.size() != 4 || year < 1900 || year > schoolYear)
        return std::nullopt;
    return year;
}

std::optional<int> gradeOfText(const QString& text) {
    QString value = folded(text);
    static const QStringList kindergarten{u"年少"_s, u"年中"_s, u"年長"_s};
    if (const qsizetype k = kindergarten.indexOf(value); k >= 0)
        return static_cast<int>(k) - 2;
    for (const QString& ending : {u"生"_s, u"年"_s}) {
        if (value.endsWith(ending))
            value.chop(ending.size());
    }
    struct Stage {
        QStringList prefixes;
        int first, last, offset;
    };
    static const Stage stages[] = {{{u"小学校"_s, u"小学"_s, u"小"_s}, 1, 6, 0},
                                   {{u"中学校"_s, u"中学"_s, u"中"_s}, 1, 3, 6},
                                   {{u"高校"_s, u"高"_s}, 1, 3, 9},
                                   {{u"幼稚園"_s, u"幼"_s}, 1, 3, -3}};
    for (const Stage& stage : stages) {
        for (const QString& prefix : stage.prefixes) {
            if (!value.startsWith(prefix))
                continue;
            bool ok = false;
            const int n = value.mid(prefix.size()).toInt(&ok);
            if (ok && n >= stage.first && n <= stage.last)
                return n + stage.offset;
            return std::nullopt;
        }
    }
    return std::nullopt;
}

RosterImport readRosterCsv(const QByteArray& bytes, int schoolYear, const QStringList& rosterNames) {
    RosterImport result;
    const std::vector<CsvRecord> records = splitCsv(decodeSpreadsheet(bytes, result.encoding));
    auto titles = records.begin();
    while (titles != records.end() && blankRecord(*titles))
        ++titles;
    int nameColumn = -1, yearColumn = -1, gradeColumn = -1;
    if (titles != records.end()) {
        for (int i = 0; i < titles->fields.size(); ++i) {
            int* slot = nullptr;
            switch (columnOf(titles->fields.at(i))) {
            case Column::Name:
                slot = &nameColumn;
                break;
            case Column::BirthYear:
                slot = &yearColumn;
                break;
            case Column::Grade:
                slot = &gradeColumn;
                break;
            case Column::Other:
                break;
            }
            if (slot && *slot < 0)
                *slot = i;
        }
    }
    if (nameColumn < 0 || (yearColumn < 0 && gradeColumn < 0)) {
        result.error = u"はじめの行に、列の見出し「名前」と「生まれ年」（または「学年」）がありません。"_s;
        return result;
    }
    result.byGrade = yearColumn < 0;
    const int valueColumn = result.byGrade ? gradeColumn : yearColumn;

    QSet<QString> known;
    for (const QString& name : rosterNames)
        known.insert(trimBlanks(name));
    QSet<QString> inFile;
    for (auto record = titles + 1; record != records.end(); ++record) {
        if (blankRecord(*record))
            continue;
        auto refuse = [&](const QString& reason) {
            result.refused.push_back({record->line, record->text, reason});
        };
        const QString name = trimBlanks(record->fields.value(nameColumn));
        const QString value = trimBlanks(record->fields.value(valueColumn));
        if (name.isEmpty()) {
            refuse(u"名前がありません。"_s);
            continue;
        }
        if (const QString why = nameRefusal(name); !why.isEmpty()) {
            refuse(why);
            continue;
        }
        std::optional<int> birthYear;
        if (result.byGrade) {
            if (const std::optional<int> grade = gradeOfText(value))
                birthYear = schoolYear - *grade - 6;
            else
                refuse(u"学年「"_s + value +
                       u"」が読めません。小1〜小6、中1〜中3、高1〜高3、幼1〜幼3 のように書いてください。"_s);
        } else {
            birthYear = birthYearOfText(value, schoolYear);
            if (!birthYear)
                refuse(u"生まれ年「"_s + value +
                       u"」が読めません。西暦4けたで書いてください（例: 2016）。"_s);
        }
        if (!birthYear)
            continue;
        ImportedStudent student{record->line, name, *birthYear, {}};
        if (const QString warning = nameWarning(name); !warning.isEmpty())
            student.warnings.append(warning);
        if (known.contains(name))
            student.warnings.append(u"同じ名前がもう名簿にあります。"_s);
        else if (inFile.contains(name))
            student.warnings.append(u"同じ名前がこのファイルの前の行にもあります。"_s);
        inFile.insert(name);
        result.students.push_back(std::move(student));
    }
    return result;
}

void assignNumbers(RosterImport& import, std::vector<bool> inRoster, const std::vector<bool>& withRuns) {
    std::vector<ImportedStudent> numbered;
    for (ImportedStudent& student : import.students) {
        const std::optional<int> number = nextFreeNumber(inRoster, withRuns);
        if (!number) {
            import.refused.push_back(
                {student.line, student.name, u"番号が足りません（5000番まで使っています）。"_s});
            continue;
        }
        student.number = *number;
        inRoster[static_cast<std::size_t>(*number)] = true;
        numbered.push_back(std::move(student));
    }
    import.students = std::move(numbered);
    std::stable_sort(import.refused.begin(), import.refused.end(),
                     [](const RefusedLine& a, const RefusedLine& b) { return a.line < b.line; });
}

QByteArray rosterCsv(const RosterDocument& roster, int schoolYear, bool keepMark2) {
    QByteArray out = csvHeader({u"番号"_s, u"名前"_s, u"生まれ年"_s, u"学年"_s, u"名前一覧"_s});
    for (int i = 0; i < roster.rowCount(); ++i) {
        const RosterRow& row = roster.row(i);
        out += QByteArray::number(row.number) + ',' + csvText(row.name) + ',' +
               QByteArray::number(row.birthYear) + ',' +
               csvText(halfWidthGradeLabel(gradeNumber(schoolYear, row.birthYear))) + ',' +
               csvText(isListedFlag(row.listFlag, keepMark2) ? u"表示"_s : u"表示しない"_s) + "\r\n";
    }
    return out;
}

} // namespace mirai
