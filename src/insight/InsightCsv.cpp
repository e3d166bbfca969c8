#include "InsightCsv.h"

#include "ClassGrid.h"
#include "Csv.h"
#include "ErrorKind.h"
#include "LoggedAnswer.h"
#include "NumberText.h"
#include "ResultRecords.h"

using namespace Qt::StringLiterals;

namespace mirai {

AnswersCsvWriter::AnswersCsvWriter(std::function<QString(int)> nameOf)
    : m_nameOf(std::move(nameOf)), m_names(static_cast<std::size_t>(kStudentRows)) {}

QByteArray AnswersCsvWriter::header() {
    return csvHeader({u"生徒番号"_s, u"名前"_s, u"記録ID"_s, u"日付"_s, u"レベル"_s, u"かけられる数"_s,
                      u"かける数"_s, u"入力した答え"_s, u"正しい答え"_s, u"判定"_s, u"小数点のずれ(桁)"_s,
                      u"ずれの向き"_s, u"ミリ秒"_s, u"ヒント"_s});
}

const QByteArray& AnswersCsvWriter::nameField(int student) {
    static const QByteArray none = "\"\"";
    if (!isStudentNumber(student) || !m_nameOf)
        return none;
    QByteArray& field = m_names[static_cast<std::size_t>(student)];
    if (field.isEmpty())
        field = csvText(m_nameOf(student));
    return field;
}

void AnswersCsvWriter::add(const LoggedAnswer& answer, QByteArray& out) {
    appendCsvNumber(out, answer.student);
    out += ',';
    out += nameField(answer.student);
    out += ',';
    out += QByteArray::number(answer.runId);
    out += ',';
    if (answer.runDay != m_day) {
        m_day = answer.runDay;
        m_dayField = csvText(dateFromOle(answer.runDay).toString(u"yyyy/MM/dd"_s));
    }
    out += m_dayField;
    out += ',';
    appendCsvNumber(out, answer.level);
    out += ',';
    const bool problem = isDrillProblem(answer);
    const std::string_view typed = typedTextOf(answer);
    const AnswerJudgement judged = judgeAnswer(answer);
    // Operands of a damaged entry are shown as digits; it has no right answer.
    out +=
        problem ? operandText(answer.digitA, answer.placesA).toLatin1() : QByteArray::number(answer.digitA);
    out += ',';
    out +=
        problem ? operandText(answer.digitB, answer.placesB).toLatin1() : QByteArray::number(answer.digitB);
    out += ',';
    out += csvText(QString::fromLatin1(typed.data(), static_cast<qsizetype>(typed.size())));
    out += ',';
    if (problem)
        out += productText(answer.digitA, answer.placesA, answer.digitB, answer.placesB).toLatin1();
    out += ',';
    out += csvText(errorKindText(judged.kind));
    out += ',';
    if (judged.kind == ErrorKind::Point) {
        appendCsvNumber(out, judged.places());
        out += judged.tooBig() ? ",\"大きい\"," : ",\"小さい\",";
    } else {
        out += ",\"\",";
    }
    appendCsvNumber(out, answer.ms);
    out += answer.hintShown ? ",\"○\"\r\n" : ",\"\"\r\n";
}

QByteArray classGridCsv(const ClassGrid& grid, const std::vector<int>& rows, const std::vector<int>& levels,
                        const std::function<StudentLabel(int)>& labelOf) {
    QStringList titles{u"生徒番号"_s, u"名前"_s, u"学年"_s};
    for (const int level : levels) {
        for (const GridColumn column : kAllGridColumns) {
            const bool percent = column == GridColumn::PercentRight || column == GridColumn::PointShare ||
                                 column == GridColumn::FactShare;
            titles.append(u"レベル"_s + numberText(level) + u' ' + gridColumnTitle(column) +
                          (percent ? u"(%)"_s : QString()));
        }
    }
    QByteArray out = csvHeader(titles);
    for (const int row : rows) {
        if (row < 0 || row >= grid.rows())
            continue;
        const int student = grid.student(row);
        const StudentLabel label = labelOf ? labelOf(student) : StudentLabel{};
        appendCsvNumber(out, student);
        out += ',' + csvText(label.name) + ',' + csvText(label.grade);
        for (const int level : levels) {
            const GridCell& cell = grid.cell(row, level);
            for (const GridColumn column : kAllGridColumns) {
                out += ',';
                const std::optional<double> figure = cell.figure(column);
                switch (column) {
                case GridColumn::Cleared:
                case GridColumn::Blocked:
                    out += *figure > 0 ? "\"○\"" : "\"\"";
                    break;
                case GridColumn::RunsThisWeek:
                    appendCsvNumber(out, cell.runsThisWeek);
                    break;
                case GridColumn::PercentRight:
                case GridColumn::PointShare:
                case GridColumn::FactShare:
                    if (figure)
                        out += numberText(roundHalfEven(*figure * 10.0) / 10.0).toLatin1();
                    break;
                }
            }
        }
        out += "\r\n";
    }
    return out;
}

} // namespace mirai
