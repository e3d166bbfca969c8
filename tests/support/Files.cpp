#include "Files.h"

#include "Cp932.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace mirai::test {

void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write test file");
    file.write(bytes);
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeTextFile(const QString& path, const QStringList& lines) {
    QString text;
    for (const QString& line : lines)
        text += line + u"\r\n"_s;
    writeBytes(path, cp932::encode(text));
}

DataTree::DataTree() {
    QDir().mkpath(appFolder());
}

void DataTree::writePathFile(const QString& commonFolderField) {
    writeTextFile(pathFile(), {commonFolderField + u",,,,,,,,,"_s});
}

void DataTree::writeCommonData(const QString& siteField, const QString& password) {
    writeTextFile(commonFolder() + u"共通データ.txt"_s,
                  {u"4"_s, u"\""_s + siteField + u"\""_s, u"1"_s, u"0"_s, u"0"_s, password, u"0"_s, u"0"_s,
                   u"0"_s, u"0"_s});
}

void DataTree::writeCriteria(const QStringList& levelRows) {
    QStringList lines{u"目標Time,最低Time,ｸﾘｱﾎﾟｲﾝﾄ,ｸﾘｱ回数,ﾎﾟｲﾝﾄ倍率,禁回,禁点,判期間,禁期間,,,"_s};
    lines += levelRows;
    writeTextFile(dataFolder() + u"タイム回数データ.txt"_s, lines);
}

void DataTree::writeSoundTable(const QStringList& lines) {
    writeTextFile(soundFolder() + u"新音ファイル.txt"_s, lines);
}

void DataTree::writeRoster(const QStringList& lines) {
    writeTextFile(commonFolder() + u"新名簿.txt"_s, lines);
}

void DataTree::writeDefaults() {
    writePathFile(commonFolder());
    writeCommonData();
    writeCriteria({u"120,300,100,5,1,20,0,7,1,,,"_s, u"150,400,100,5,1.5,0,0,7,1,,,"_s});
    writeSoundTable({u"正解音2,seikai1,seikai2,*"_s, u"間違い音2,machigai1,*"_s, u"自己最高音2,jiko1,*"_s,
                     u"不合格音1,fugoukaku1,*"_s});
    writeRoster({});
}

} // namespace mirai::test
