#pragma once

#include <QString>

namespace mirai {

// A folder or file name from a data file ("D:\共通\", "..\パスデータ.txt") as a path of this
// system: both "\" and "/" separate, the native separator joins. A relative name is taken
// from `base` when one is given.
QString nativePath(const QString& name, const QString& base = {});

// The same for a folder, always ending in a separator.
QString nativeFolder(const QString& name, const QString& base = {});

// The last element of a folder path (the whole text when there is no separator).
QString lastPathElement(const QString& folder);

} // namespace mirai
