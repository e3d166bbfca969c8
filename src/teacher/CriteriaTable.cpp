#include "CriteriaTable.h"

#include "NumberText.h"
#include "TextFile.h"
#include "Untyped.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace mirai {

CriteriaRow criteriaTitles() {
    return {u"目標Time"_s,
            u"最低Time"_s,
            u"ｸﾘｱﾎﾟｲﾝﾄ"_s,
            u"ｸﾘｱ回数"_s,
            u"ﾎﾟｲﾝﾄ倍率"_s,
            u"禁回"_s,
            u"禁点"_s,
            u"判期間"_s,
            u"禁期間"_s,
            {},
            {},
            {}};
}

QString criteriaHelpText(int column) {
    static const std::array<QStringList, kCriteriaFields + 1> texts{
        QStringList{},
        {u"合格基準タイム"_s, u"　大部分の人ががんばったら出せそうなタイムにしてください"_s},
        {u"合格最低ラインタイム"_s, u"  この５倍が時間切れになります"_s},
        {u"目標ポイント"_s, u"　　 目標ポイント"_s},
        {u"目標回数"_s, u"　　 目標回数"_s},
        {u"ポイント倍率"_s, u"  ポイントを何倍にして加算するか"_s,
         u"  むずかしいレベルや生徒のいやがるレベルは高くしてください"_s},
        {u"やりすぎ禁止回数"_s, u"  何回やったらやりすぎ禁止にするか"_s, u"  "_s},
        {u"やりすぎ禁止ポイント"_s, u"  何ポイントとったらやりすぎ禁止にするか"_s, u" "_s},
        {u"合格判定をする日数"_s, u"　何日前からのポイントを有効にするか"_s},
        {u"やりすぎ判定をする日数"_s, u"　何日前からのポイントを有効にするか"_s},
        QStringList{},
        QStringList{},
        QStringList{}};
    if (column < 1 || column > kCriteriaFields)
        return {};
    return texts[static_cast<std::size_t>(column)].join(u"\r\n"_s);
}

QString criteriaDisplayForm(const Untyped& value) {
    return value.isNumber() ? numberText(value.toDouble()) : value.toText();
}

std::optional<CriteriaFile> loadCriteriaFile(const QString& path) {
    TextFieldReader reader;
    if (!QFileInfo(path).isFile() || !reader.open(path))
        return std::nullopt;
    CriteriaFile file;
    while (!reader.atEnd()) {
        ++file.lastRow;
        CriteriaRow row;
        for (QString& cell : row)
            cell = criteriaDisplayForm(reader.readUntyped());
        if (file.lastRow != 0)
            file.levels.push_back(row);
    }
    return file;
}

bool saveCriteriaFile(const QString& path, const std::vector<CriteriaRow>& rows) {
    TextFileWriter writer;
    for (const CriteriaRow& row : rows)
        writer.writeLine(QStringList(row.begin(), row.end()).join(u','));
    return writer.save(path);
}

bool isRefusedInCell(QChar c) {
    return c == u',' || c == u'"' || c == u'\r' || c == u'\n';
}

QString withoutRefusedCharacters(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (QChar c : text) {
        if (!isRefusedInCell(c))
            kept += c;
    }
    return kept;
}

} // namespace mirai
