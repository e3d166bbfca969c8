// Writes the drill's defaults, what the set-up puts into a new shared folder: the level criteria
// table and the sound folder (table and WAV tones), made from the sources in demo/.
//
//   make_defaults <demo sources> <defaults folder>

#include "DemoFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: make_defaults <demo sources> <defaults folder>\n");
        return 2;
    }
    const QString source = QDir(args[1]).absolutePath() + u"/"_s;
    const QString target = QDir(args[2]).absolutePath() + u"/"_s;
    QDir(target).removeRecursively(); // nothing left over from an older set
    using namespace mirai::demo;
    const bool ok =
        convertText(source + u"data/タイム回数データ.txt"_s, target + u"タイム回数データ.txt"_s) &&
        writeSounds(target + u"音フォルダ/"_s, source + u"新音ファイル.txt"_s);
    return ok ? 0 : 1;
}
