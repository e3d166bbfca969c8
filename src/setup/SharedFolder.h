#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

namespace mirai {

// Where the set-up finds and puts things.
struct SetupPlaces {
    QString appFolder;      // the program's folder; its name is the drill folder's name
    QString stationFolder;  // this station's own folder, where the path file goes
    QString defaultsFolder; // the drill's own criteria table and sounds; empty when none was found
};

// The set-up's answers for a new shared folder.
struct NewSharedFolder {
    QString folder;
    QString siteCode; // 1 to 5 digits
    QString siteName;
    int startMonth = 4; // of the school year
    QString teacherName;
    QString password;
    QString passwordAgain;
};

// Why these answers cannot make a shared folder, naming the answer; empty when they can.
QString newFolderRefusal(const NewSharedFolder& answers);

// The files the set-up writes, as the loaders read them.
QByteArray commonDataBytes(const NewSharedFolder& answers);
QByteArray teacherRosterBytes(const QString& teacherName, int birthYear);
QByteArray pathFileBytes(const QString& sharedFolder);

// What a shared folder lacks for the program in `appFolder`, one path a line; empty when nothing.
QStringList missingFromSharedFolder(const QString& folder, const QString& appFolder);

// Makes a new shared folder with the common data, an empty roster with the teacher, the drill's
// folder with its criteria table and the sound folder, then the path file. Nothing that exists is
// overwritten; when a step fails, everything made so far is removed. The error, empty when done.
QString setUpNewSharedFolder(const NewSharedFolder& answers, const SetupPlaces& places, const QDate& today);

// Points this station at a shared folder another station made: checks it, then writes the path
// file. The error, empty when done.
QString useSharedFolder(const QString& folder, const SetupPlaces& places);

// Where the drill's defaults are looked for: beside the program (a build), then where the package
// puts them.
QStringList defaultsFolderCandidates(const QString& appFolder);
// The first candidate that holds them; empty when none does.
QString findDefaultsFolder(const QString& appFolder);

} // namespace mirai
