#pragma once

#include <QString>

namespace mirai {

// Asking the user for a file or folder; the window system's dialog runs a nested event loop. Each
// answers the chosen path, or an empty text when the user cancelled.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // Where to write a file. `proposed` is the suggested path (its folder is created when
    // missing), `filter` a pattern such as "PDF (*.pdf)".
    virtual QString saveFileName(const QString& title, const QString& proposed, const QString& filter) = 0;
    // An existing file to read, starting in `folder`.
    virtual QString openFileName(const QString& title, const QString& folder, const QString& filter) = 0;
    // A folder, starting at `proposed`.
    virtual QString folderName(const QString& title, const QString& proposed) = 0;
};

} // namespace mirai
