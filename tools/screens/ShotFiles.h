#pragma once

#include <QByteArray>
#include <QHash>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace mirai::tour {

// "07-hub-time-best.png": the picture of the shot at `position` of the table (1 for the first).
QString shotFileName(int position, const QString& name);

// Whether a shot name can stand in a file name and in the index page as it is: lower-case letters
// and digits, with single hyphens between them.
bool isPlainShotName(const QString& name);

// The folder of the pictures at one display size, "1024x768"; and back, an invalid size for a
// folder of any other name.
QString sizeFolderName(const QSize& size);
QSize sizeOfFolder(const QString& name);

// One line of the index page: the picture's file and what it shows.
struct IndexRow {
    QString file;
    QString caption;
};

// The index page: one row per picture, its name and caption, then the picture at every size,
// smallest display first, side by side. A picture missing at a size says so in its place.
QString indexPage(const std::vector<IndexRow>& rows, QStringList sizeFolders,
                  const std::function<bool(const QString& folder, const QString& file)>& exists);

// The files of one folder as they were, put back after a shot changed them: what was added is
// removed (a folder standing where a file was, too), changed or missing files are rewritten.
// Subfolders of the folder are not kept.
class FolderSnapshot {
public:
    // False, and the snapshot as it was, when the folder cannot be read whole.
    bool take(const QString& folder);
    // Does nothing before a snapshot was taken.
    bool restore() const;

private:
    QString m_folder;
    QHash<QString, QByteArray> m_files;
};

} // namespace mirai::tour
