#pragma once

#include "QtPrinters.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace mirai::test {

// Writes the lines in code page 932, each ending in CR LF; creates missing folders.
void writeTextFile(const QString& path, const QStringList& lines);
void writeBytes(const QString& path, const QByteArray& bytes);
QByteArray readBytes(const QString& path);

// A station's data tree in a temporary folder:
//   <root>/prog/MiraiDrill/          program folder (AppFolder)
//   <root>/prog/パスデータ.txt        path file naming <root>/共通/
//   <root>/共通/共通データ.txt, 新名簿.txt, 音フォルダ/新音ファイル.txt, MiraiDrill/タイム回数データ.txt
class DataTree {
public:
    DataTree();
    QString root() const { return m_dir.path() + QStringLiteral("/"); }
    QString appFolder() const { return root() + QStringLiteral("prog/MiraiDrill/"); }
    QString pathFile() const { return root() + QStringLiteral("prog/パスデータ.txt"); }
    QString commonFolder() const { return root() + QStringLiteral("共通/"); }
    QString dataFolder() const { return commonFolder() + QStringLiteral("MiraiDrill/"); }
    QString soundFolder() const { return commonFolder() + QStringLiteral("音フォルダ/"); }

    // Writes a complete, valid configuration (two levels, a few sounds, an empty roster).
    void writeDefaults();
    void writePathFile(const QString& commonFolderField);
    void writeCommonData(const QString& siteField = QStringLiteral("12345 北教室"),
                         const QString& password = QStringLiteral("abc"));
    void writeCriteria(const QStringList& levelRows);
    void writeSoundTable(const QStringList& lines);
    void writeRoster(const QStringList& lines);

private:
    QTemporaryDir m_dir;
};

} // namespace mirai::test
