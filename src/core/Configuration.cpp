#include "Configuration.h"

#include "EraDate.h"
#include "LevelCriteria.h"
#include "NumberText.h"
#include "Paths.h"
#include "SharedState.h"
#include "SoundTable.h"
#include "TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

constexpr int kConfigFields = 10;

// Names every place that was tried; `path` keeps the first.
ConfigurationError missingFile(const QStringList& places) {
    return {u"設定ファイルが見つかりません。\r\n"_s + places.join(u"\r\n"_s) +
                u"\r\nプログラムを終了します。"_s,
            places.value(0)};
}

ConfigurationError missingFile(const QString& path) {
    return missingFile(QStringList{path});
}

ConfigurationError shortFile(const QString& path) {
    return {u"設定ファイルの項目が足りません。\r\n"_s + path + u"\r\nプログラムを終了します。"_s, path};
}

// Reads the ten untyped fields of a configuration file; an error when it is missing or short.
std::optional<ConfigurationError> readTenFields(const QString& path,
                                                std::array<Untyped, kConfigFields>& fields) {
    TextFieldReader reader;
    if (!QFileInfo(path).isFile() || !reader.open(path))
        return missingFile(path);
    for (Untyped& field : fields) {
        if (reader.atEnd())
            return shortFile(path);
        field = reader.readUntyped();
    }
    return std::nullopt;
}

} // namespace

void SetProgramIdentity(SharedState& state) {
    state.ProgramTitle = u"みらいドリル"_s;
    state.PrintAllowed = 1;
    state.AllLevelsOpen = 1;
}

void splitSiteText(SharedState& state, const QString& field) {
    if (Val(field.left(5)) != 0) {
        state.SiteCode = field.left(5);
        state.SiteName = field.mid(5);
    } else {
        state.SiteName = field;
    }
}

QString stationConfigFolder() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        return {};
    return nativeFolder(base + u"/みらいドリル"_s);
}

QStringList pathFileCandidates(const QString& appFolder, const QString& stationFolder) {
    const QString name = QString::fromUtf16(files::kPathFile);
    QStringList places{nativePath(QDir::cleanPath(nativeFolder(appFolder) + u"../"_s + name))};
    if (!stationFolder.isEmpty())
        places += nativeFolder(stationFolder) + name;
    return places;
}

std::optional<ConfigurationError> LoadConfiguration(SharedState& state, const QString& appFolder) {
    return LoadConfiguration(state, appFolder, stationConfigFolder());
}

std::optional<ConfigurationError> LoadConfiguration(SharedState& state, const QString& appFolder,
                                                    const QString& stationFolder) {
    state.AppFolder = nativeFolder(appFolder);

    // The path file lies one folder above the program's folder, or in the station's own folder
    // when the program's folder is not the station's to write (an installed package). A
    // relative shared folder in it is taken from the path file's own folder.
    const QStringList places = pathFileCandidates(state.AppFolder, stationFolder);
    const auto found = std::find_if(places.begin(), places.end(),
                                    [](const QString& place) { return QFileInfo(place).isFile(); });
    if (found == places.end()) {
        ConfigurationError error = missingFile(places);
        error.noPathFile = true;
        return error;
    }
    const QString pathFile = *found;
    std::array<Untyped, kConfigFields> pathFields;
    if (auto error = readTenFields(pathFile, pathFields))
        return error;
    state.CommonFolder = nativeFolder(pathFields[0].toText(), QFileInfo(pathFile).absolutePath());
    return LoadSharedFolder(state);
}

std::optional<ConfigurationError> LoadSharedFolder(SharedState& state) {
    const QString commonFile = state.CommonFolder + QString::fromUtf16(files::kCommonData);
    std::array<Untyped, kConfigFields> common;
    if (auto error = readTenFields(commonFile, common))
        return error;
    state.SchoolYearStartMonth = common[0];
    splitSiteText(state, common[1].toText());
    state.RosterKeepMark2 = common[2];
    state.DataChangePassword = common[5];

    state.ProgramFolderName = lastPathElement(state.AppFolder);
    state.DataFolder = nativeFolder(state.CommonFolder + state.ProgramFolderName);
    state.SoundFolder = nativeFolder(state.CommonFolder + QString::fromUtf16(files::kSoundFolder));

    SetProgramIdentity(state);

    if (!LoadLevelCriteria(state))
        return missingFile(state.DataFolder + QString::fromUtf16(files::kCriteria));
    if (!LoadSoundTable(state))
        return missingFile(state.SoundFolder + QString::fromUtf16(files::kSoundTable));
    return std::nullopt;
}

void setUpLevelValues(SharedState& state) {
    state.LevelCount = 2;
    state.FinalLevel = state.LevelCount;
    for (int i = 1; i <= state.LevelCount; ++i)
        state.LevelNames[i] = u"ﾚﾍﾞﾙ"_s + QString::number(i);
}

} // namespace mirai
