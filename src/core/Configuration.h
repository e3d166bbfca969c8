#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace mirai {

struct SharedState;

// Why the configuration could not be loaded: a message for the user that names the file.
struct ConfigurationError {
    QString message;
    QString path;
    bool noPathFile = false; // no path file in any place: a station that was never set up
};

// The drill's identity values.
void SetProgramIdentity(SharedState& state);

// Loads the path file, the common data file, the level criteria table and the sound table.
// `appFolder` is the executable's folder. The path file is looked for in the folder above it
// and, when it is not there (an installed program's folder is read-only), in
// `stationFolder`. Nothing is written; on an error the shared state is left partly filled and
// the caller ends the program.
std::optional<ConfigurationError> LoadConfiguration(SharedState& state, const QString& appFolder,
                                                    const QString& stationFolder);
// The same with the station's own folder `stationConfigFolder()`.
std::optional<ConfigurationError> LoadConfiguration(SharedState& state, const QString& appFolder);

// The part after the path file: the common data file, the level criteria table and the sound table
// of `state.CommonFolder`, for the program in `state.AppFolder`.
std::optional<ConfigurationError> LoadSharedFolder(SharedState& state);

// The station's own configuration folder: $XDG_CONFIG_HOME/みらいドリル/ (~/.config/みらいドリル/).
QString stationConfigFolder();

// The places of the path file, in the order they are tried.
QStringList pathFileCandidates(const QString& appFolder, const QString& stationFolder);

// Splits the site text of the common data file into SiteCode and SiteName.
void splitSiteText(SharedState& state, const QString& field);

// The level set-up values (the results screen is opened by the caller).
void setUpLevelValues(SharedState& state);

namespace files {
inline const char16_t* const kPathFile = u"パスデータ.txt";
inline const char16_t* const kCommonData = u"共通データ.txt";
inline const char16_t* const kCriteria = u"タイム回数データ.txt";
inline const char16_t* const kSoundFolder = u"音フォルダ";
inline const char16_t* const kSoundTable = u"新音ファイル.txt";
inline const char16_t* const kRoster = u"新名簿.txt";
inline const char16_t* const kResults = u"成績累積データ.dat";
inline const char16_t* const kPrintSource = u"プロト.csv";
} // namespace files

} // namespace mirai
