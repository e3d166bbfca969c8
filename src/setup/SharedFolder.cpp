#include "SharedFolder.h"

#include "Configuration.h"
#include "NumberText.h"
#include "Paths.h"
#include "Roster.h"
#include "RosterDocument.h"
#include "SharedState.h"
#include "TextFile.h"
#include "TextRules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

QString fileName(const char16_t* name) {
    return QString::fromUtf16(name);
}

// The folders and files one set-up makes, so that a set-up that fails half-way removes them again.
// Nothing that was there before is written over or removed.
class MadeOnDisk {
public:
    MadeOnDisk() = default;
    MadeOnDisk(const MadeOnDisk&) = delete;
    MadeOnDisk& operator=(const MadeOnDisk&) = delete;
    ~MadeOnDisk() {
        if (!m_kept)
            undo();
    }

    bool makeFolder(const QString& path) {
        QStringList missing;
        for (QString level = QDir::cleanPath(path); !QFileInfo::exists(level);
             level = QFileInfo(level).absolutePath())
            missing.prepend(level);
        for (const QString& level : missing) {
            if (!QDir().mkdir(level))
                return fail(level, u"フォルダを作れません"_s);
            m_folders.append(level);
        }
        if (!QFileInfo(path).isDir())
            return fail(path, u"フォルダではありません"_s);
        return true;
    }

    bool writeNew(const QString& path, const QByteArray& bytes) {
        if (QFileInfo::exists(path))
            return fail(path, u"すでにあります"_s);
        if (const QString error = writeWholeFile(path, bytes); !error.isEmpty())
            return fail(path, error);
        m_files.append(path);
        return true;
    }

    bool copyNew(const QString& from, const QString& to) {
        QFile source(from);
        if (!source.open(QIODevice::ReadOnly))
            return fail(from, source.errorString());
        return writeNew(to, source.readAll());
    }

    void keep() { m_kept = true; }
    const QString& error() const { return m_error; }

    // Records why a step failed; false.
    bool fail(const QString& path, const QString& why) {
        m_error = path.isEmpty() ? why : QDir::toNativeSeparators(path) + u"\r\n"_s + why;
        return false;
    }

private:
    void undo() {
        for (auto it = m_files.crbegin(); it != m_files.crend(); ++it)
            QFile::remove(*it);
        for (auto it = m_folders.crbegin(); it != m_folders.crend(); ++it)
            QDir().rmdir(*it);
    }

    QStringList m_files, m_folders;
    QString m_error;
    bool m_kept = false;
};

QString drillFolder(const QString& sharedFolder, const QString& appFolder) {
    return nativeFolder(sharedFolder + lastPathElement(nativeFolder(appFolder)));
}

QString soundFolder(const QString& sharedFolder) {
    return nativeFolder(sharedFolder + fileName(files::kSoundFolder));
}

// Why a folder answer cannot be written into the path file; empty when it can.
QString folderRefusal(const QString& folder) {
    if (trimBlanks(folder).isEmpty())
        return u"共有フォルダの場所を入れてください。"_s;
    if (QDir::isRelativePath(QDir::fromNativeSeparators(folder)))
        return u"共有フォルダの場所は、/ から始まる形で入れてください。"_s;
    if (const QString why = unwritableReason(folder); !why.isEmpty())
        return u"共有フォルダの場所: "_s + why;
    return {};
}

// The site code as typed, full-width digits made half-width.
QString siteCodeDigits(const NewSharedFolder& answers) {
    return answers.siteCode.normalized(QString::NormalizationForm_KC).trimmed();
}

// The path file goes last: a station has no path file until its shared folder is whole.
bool writePathFile(MadeOnDisk& made, const SetupPlaces& places, const QString& sharedFolder) {
    if (places.stationFolder.isEmpty())
        return made.fail(QString(), u"この端末の設定フォルダが分かりません（ホームフォルダがありません）"_s);
    const QString station = nativeFolder(places.stationFolder);
    return made.makeFolder(station) &&
           made.writeNew(station + fileName(files::kPathFile), pathFileBytes(sharedFolder));
}

} // namespace

QString newFolderRefusal(const NewSharedFolder& answers) {
    if (const QString why = folderRefusal(answers.folder); !why.isEmpty())
        return why;
    const QString code = siteCodeDigits(answers);
    bool digits = !code.isEmpty() && code.size() <= 5;
    for (const QChar c : code)
        digits = digits && c >= u'0' && c <= u'9';
    if (!digits || code.toInt() == 0)
        return u"教室コードは、1〜5けたの数字で入れてください（0 だけは使えません）。"_s;
    if (trimBlanks(answers.siteName).isEmpty())
        return u"教室名を入れてください。"_s;
    if (const QString why = unwritableReason(answers.siteName); !why.isEmpty())
        return u"教室名: "_s + why;
    if (answers.startMonth < 1 || answers.startMonth > 12)
        return u"年度の始まりの月は 1〜12 です。"_s;
    if (const QString why = nameRefusal(answers.teacherName); !why.isEmpty())
        return u"先生の名前: "_s + why;
    if (answers.password.isEmpty())
        return u"パスワードを入れてください。"_s;
    if (const QString why = unwritableReason(answers.password); !why.isEmpty())
        return u"パスワード: "_s + why;
    if (answers.password != answers.passwordAgain)
        return u"2回入れたパスワードが同じではありません。"_s;
    return {};
}

QByteArray commonDataBytes(const NewSharedFolder& answers) {
    // As the loader reads them: month, site code and name, the roster switch, two fields no one
    // uses, the password, four more. Texts are quoted so that blanks and commas stay theirs.
    const QString code = siteCodeDigits(answers).rightJustified(5, u'0');
    TextFileWriter writer;
    writer.writeLine(QString::number(answers.startMonth));
    writer.writeLine(u"\""_s + code + u' ' + trimBlanks(answers.siteName) + u"\""_s);
    writer.writeLine(u"1"_s);
    for (int i = 0; i < 2; ++i)
        writer.writeLine(u"0"_s);
    writer.writeLine(u"\""_s + answers.password + u"\""_s);
    for (int i = 0; i < 4; ++i)
        writer.writeLine(u"0"_s);
    return writer.bytes();
}

QByteArray teacherRosterBytes(const QString& teacherName, int birthYear) {
    const QString name = trimBlanks(teacherName);
    RosterDocument roster;
    roster.append(RosterRow{1, birthYear, name.contains(u'★') ? name : u"★"_s + name, kListedFlag});
    return roster.bytes();
}

QByteArray pathFileBytes(const QString& sharedFolder) {
    TextFileWriter writer;
    writer.writeLine(u"\""_s + nativeFolder(sharedFolder) + u"\",,,,,,,,,"_s);
    return writer.bytes();
}

QStringList missingFromSharedFolder(const QString& folder, const QString& appFolder) {
    const QString base = nativeFolder(folder);
    if (!QFileInfo(base).isDir())
        return {base};
    QStringList missing;
    for (const char16_t* name : {files::kCommonData, files::kRoster}) {
        if (!QFileInfo(base + fileName(name)).isFile())
            missing.append(base + fileName(name));
    }
    const QString drill = drillFolder(base, appFolder);
    if (!QFileInfo(drill).isDir())
        missing.append(drill);
    else if (!QFileInfo(drill + fileName(files::kCriteria)).isFile())
        missing.append(drill + fileName(files::kCriteria));
    const QString soundTable = soundFolder(base) + fileName(files::kSoundTable);
    if (!QFileInfo(soundTable).isFile())
        missing.append(soundTable);
    return missing;
}

QString setUpNewSharedFolder(const NewSharedFolder& answers, const SetupPlaces& places, const QDate& today) {
    if (const QString why = newFolderRefusal(answers); !why.isEmpty())
        return why;
    const QString base = nativeFolder(answers.folder);
    if (QFileInfo::exists(base + fileName(files::kCommonData)))
        return u"このフォルダには、もう共通データ.txt があります。\r\n"
               u"ほかの端末で作った共有フォルダなら、「作ってある共有フォルダを使う」を選んでください。"_s;
    const QString defaults = nativeFolder(places.defaultsFolder);
    const QString defaultSounds = soundFolder(defaults);
    if (places.defaultsFolder.isEmpty() || !QFileInfo(defaults + fileName(files::kCriteria)).isFile())
        return u"ドリルの標準のタイム回数データと音が見つかりません。プログラムを入れ直してください。"_s;

    // A grown-up's birth year, as the demo's teacher has: the name list shows the teacher as 大+.
    const int schoolYear = SchoolYearOf(today, Untyped::number(answers.startMonth));
    const QString drill = drillFolder(base, places.appFolder);
    const QString sounds = soundFolder(base);
    MadeOnDisk made;
    bool ok = made.makeFolder(base) && made.makeFolder(drill) && made.makeFolder(sounds) &&
              made.writeNew(base + fileName(files::kCommonData), commonDataBytes(answers)) &&
              made.writeNew(base + fileName(files::kRoster),
                            teacherRosterBytes(answers.teacherName, schoolYear - 36)) &&
              made.copyNew(defaults + fileName(files::kCriteria), drill + fileName(files::kCriteria));
    const QStringList soundFiles = QDir(defaultSounds).entryList(QDir::Files, QDir::Name);
    for (const QString& sound : soundFiles) {
        if (!ok)
            break;
        ok = made.copyNew(defaultSounds + sound, sounds + sound);
    }
    ok = ok && writePathFile(made, places, base);
    if (!ok)
        return u"共有フォルダを作れませんでした。作りかけのものは消しました。\r\n"_s + made.error();
    made.keep();
    return {};
}

QString useSharedFolder(const QString& folder, const SetupPlaces& places) {
    if (const QString why = folderRefusal(folder); !why.isEmpty())
        return why;
    const QString base = nativeFolder(folder);
    if (const QStringList missing = missingFromSharedFolder(base, places.appFolder); !missing.isEmpty())
        return u"この共有フォルダには、次のものがありません。\r\n"_s + missing.join(u"\r\n"_s) +
               u"\r\n新しく作るときは、「新しい共有フォルダを作る」を選んでください。"_s;
    // Read it as the program will, so a station is never pointed at a folder it cannot start on.
    auto trial = std::make_unique<SharedState>();
    trial->AppFolder = nativeFolder(places.appFolder);
    trial->CommonFolder = base;
    if (const auto error = LoadSharedFolder(*trial))
        return u"この共有フォルダのファイルが読めません。\r\n"_s + error->path;
    MadeOnDisk made;
    if (!writePathFile(made, places, base))
        return u"この端末の設定を書けませんでした。\r\n"_s + made.error();
    made.keep();
    return {};
}

QStringList defaultsFolderCandidates(const QString& appFolder) {
    const QString program = nativeFolder(appFolder);
    return {program + u"defaults"_s + QDir::separator(),
            nativeFolder(QDir::cleanPath(program + QStringLiteral(MIRAI_DEFAULTS_FROM_PROGRAM)))};
}

QString findDefaultsFolder(const QString& appFolder) {
    for (const QString& folder : defaultsFolderCandidates(appFolder)) {
        if (QFileInfo(folder + fileName(files::kCriteria)).isFile())
            return folder;
    }
    return {};
}

} // namespace mirai
