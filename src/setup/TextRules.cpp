#include "TextRules.h"

#include "Cp932.h"
#include "NumberText.h"

#include <QList>

using namespace Qt::StringLiterals;

namespace mirai {

QString unwritableReason(const QString& text) {
    for (const uint ucs4 : text.toUcs4()) {
        const char32_t code = ucs4;
        const QString character = QString::fromUcs4(&code, 1);
        if (code == U'"')
            return u"「\"」は使えません。"_s;
        if (code < 0x20 || code == 0x7F)
            return u"改行やタブは使えません。"_s;
        // A character code page 932 lacks, or one it would store as another (a look-alike), does not
        // come back as written.
        if (cp932::decode(cp932::encode(character)) != character) {
            return u"「"_s + character + u"」（U+"_s +
                   QString::number(code, 16).toUpper().rightJustified(4, u'0') +
                   u"）はシフトJISにない文字なので、書けません。別の字に置きかえてください。"_s;
        }
    }
    return {};
}

QString nameRefusal(const QString& name) {
    if (trimBlanks(name).isEmpty())
        return u"名前を入れてください。"_s;
    return unwritableReason(name);
}

QString nameWarning(const QString& name) {
    if (name.size() <= kShownNameLength)
        return {};
    return u"名前が"_s + QString::number(kShownNameLength) +
           u"文字をこえています。名前の一覧や成績には、はじめの"_s + QString::number(kShownNameLength) +
           u"文字だけが出ます。"_s;
}

} // namespace mirai
