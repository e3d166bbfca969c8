#pragma once

#include <QString>

namespace mirai {

// Asking the user where to write a file; the window system's dialog runs a nested event loop.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen path, or an empty text when the user cancelled. `proposed` is the suggested
    // path (its folder is created when missing), `filter` a pattern such as "PDF (*.pdf)".
    virtual QString saveFileName(const QString& title, const QString& proposed, const QString& filter) = 0;
};

} // namespace mirai
