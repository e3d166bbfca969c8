#include "Paths.h"

#include <QDir>

namespace mirai {

QString nativePath(const QString& name, const QString& base) {
    QString path = name;
    path.replace(u'\\', u'/');
    // A drive-letter name stays as it is: on a system without drives it is simply missing.
    const bool driveLetter = path.size() >= 2 && path.at(1) == u':' && path.at(0).isLetter();
    if (!base.isEmpty() && !driveLetter && QDir::isRelativePath(path) && !path.isEmpty()) {
        QString root = base;
        root.replace(u'\\', u'/');
        path = QDir::cleanPath(root + u'/' + path);
    }
    return QDir::toNativeSeparators(path);
}

QString nativeFolder(const QString& name, const QString& base) {
    QString path = nativePath(name, base);
    if (!path.endsWith(QDir::separator()))
        path += QDir::separator();
    return path;
}

QString lastPathElement(const QString& folder) {
    QString path = folder;
    while (path.endsWith(u'\\') || path.endsWith(u'/'))
        path.chop(1);
    const qsizetype cut = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    return cut < 0 ? path : path.mid(cut + 1);
}

} // namespace mirai
