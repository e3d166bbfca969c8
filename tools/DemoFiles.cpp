// The files the demo tree and the drill's defaults share: text files converted from the sources in
// demo/, and the generated sound tones.

#include "DemoFiles.h"

#include "Cp932.h"
#include "Wave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace mirai::demo {

bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return file.write(bytes) == bytes.size();
}

QString readUtf8(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

bool convertText(const QString& source, const QString& target) {
    QString text = readUtf8(source);
    text.replace(u"\r\n"_s, u"\n"_s);
    text.replace(u'\n', u"\r\n"_s);
    return writeFile(target, mirai::cp932::encode(text));
}

bool writeSounds(const QString& folder, const QString& tableSource) {
    struct Named {
        const char16_t* name;
        std::vector<Note> notes;
    };
    const std::vector<Named> sounds = {
        {u"seikai1", {{1046.5, 90}, {1318.5, 160}}},
        {u"seikai2", {{1174.7, 90}, {1568.0, 160}}},
        {u"seikai3", {{987.8, 80}, {1318.5, 80}, {1568.0, 140}}},
        {u"machigai1", {{196.0, 380, true}}},
        {u"machigai2", {{220.0, 160, true}, {174.6, 260, true}}},
        {u"jikosaikou1", {{784.0, 110}, {987.8, 110}, {1174.7, 110}, {1568.0, 320}}},
        {u"jikosaikou2", {{880.0, 110}, {1108.7, 110}, {1318.5, 110}, {1760.0, 320}}},
        {u"minimum1", {{659.3, 140}, {784.0, 220}}},
        {u"pinpon_a", {{1318.5, 120}, {1046.5, 200}}},
        {u"buzzer_a", {{160.0, 300, true}}},
        {u"fanfare_a", {{523.3, 120}, {659.3, 120}, {784.0, 120}, {1046.5, 400}}},
        {u"fanfare_b", {{587.3, 120}, {740.0, 120}, {880.0, 120}, {1174.7, 400}}},
        {u"kiroku_a", {{784.0, 100}, {1046.5, 260}}},
        {u"kiroku_c", {{698.5, 100}, {932.3, 260}}},
        {u"最高1", {{523.3, 130}, {523.3, 130}, {523.3, 130}, {659.3, 200}, {784.0, 200}, {1046.5, 520}}},
        {u"合格", {{392.0, 160}, {523.3, 160}, {659.3, 160}, {784.0, 160}, {1046.5, 160}, {1318.5, 640}}},
        {u"警告1", {{1760.0, 70}, {0.0, 40}, {1760.0, 70}}},
    };
    for (const Named& sound : sounds) {
        if (!writeFile(folder + QString::fromUtf16(sound.name) + u".wav"_s, toneWave(sound.notes)))
            return false;
    }
    return convertText(tableSource, folder + u"新音ファイル.txt"_s);
}

} // namespace mirai::demo
