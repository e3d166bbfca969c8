#include "SoundTable.h"

#include "Configuration.h"
#include "SharedState.h"
#include "TextFile.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace mirai {

void setSoundRoleNames(SharedState& state) {
    static const char16_t* const names[] = {u"正解音1",     u"正解音2",  u"間違い音1",   u"間違い音2",
                                            u"最高音1",     u"最高音2",  u"自己最高音1", u"自己最高音2",
                                            u"自己最高音3", u"不合格音1"};
    for (int role = 1; role <= 10; ++role)
        state.SoundTable.roles[role].name = QString::fromUtf16(names[role - 1]);
}

void readSoundTable(SharedState& state, TextFieldReader& reader) {
    state.SoundTable = {};
    setSoundRoleNames(state);
    while (!reader.atEnd()) {
        Untyped field = reader.readUntyped();
        for (int role = 1; role <= 10; ++role) {
            SoundRole& entry = state.SoundTable.roles[role];
            if (!(field == entry.name))
                continue;
            for (int j = 1; j <= 20; ++j) {
                field = reader.readUntyped();
                if (field == u"*"_s) {
                    entry.count = Untyped::text(QString::number(j - 1));
                    break;
                }
                entry.files[j] = field.toText();
            }
        }
    }
}

bool LoadSoundTable(SharedState& state) {
    const QString path = state.SoundFolder + QString::fromUtf16(files::kSoundTable);
    TextFieldReader reader;
    if (!QFileInfo(path).isFile() || !reader.open(path))
        return false;
    readSoundTable(state, reader);
    return true;
}

} // namespace mirai
