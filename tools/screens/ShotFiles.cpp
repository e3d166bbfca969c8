#include "ShotFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace mirai::tour {

QString shotFileName(int position, const QString& name) {
    return u"%1-%2.png"_s.arg(position, 2, 10, QChar(u'0')).arg(name);
}

bool isPlainShotName(const QString& name) {
    static const QRegularExpression plain(u"^[a-z0-9]+(-[a-z0-9]+)*$"_s);
    return plain.match(name).hasMatch();
}

QString sizeFolderName(const QSize& size) {
    return u"%1x%2"_s.arg(size.width()).arg(size.height());
}

QSize sizeOfFolder(const QString& name) {
    static const QRegularExpression pattern(u"^([1-9][0-9]{0,4})x([1-9][0-9]{0,4})$"_s);
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return {};
    return QSize(match.captured(1).toInt(), match.captured(2).toInt());
}

QString indexPage(const std::vector<IndexRow>& rows, QStringList sizeFolders,
                  const std::function<bool(const QString& folder, const QString& file)>& exists) {
    std::stable_sort(sizeFolders.begin(), sizeFolders.end(), [](const QString& a, const QString& b) {
        const QSize sa = sizeOfFolder(a);
        const QSize sb = sizeOfFolder(b);
        return sa.width() * sa.height() < sb.width() * sb.height();
    });
    QString html =
        u"<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
        u"<title>みらいドリル 画面一覧</title>\n<style>\n"
        u"body { font-family: sans-serif; margin: 16px; }\n"
        u"table { border-collapse: collapse; }\n"
        u"th, td { border: 1px solid #ccc; padding: 6px; vertical-align: top; text-align: left; }\n"
        u"img { width: 480px; height: auto; display: block; }\n"
        u".missing { color: #b00000; }\n"
        u"</style>\n</head>\n<body>\n<h1>みらいドリル 画面一覧</h1>\n<table>\n<tr><th>画面</th>"_s;
    for (const QString& folder : sizeFolders)
        html += u"<th>"_s + folder.toHtmlEscaped() + u"</th>"_s;
    html += u"</tr>\n"_s;
    for (const IndexRow& row : rows) {
        const QString name = QFileInfo(row.file).completeBaseName();
        html += u"<tr><td><b>"_s + name.toHtmlEscaped() + u"</b><br>"_s + row.caption.toHtmlEscaped() +
                u"</td>"_s;
        for (const QString& folder : sizeFolders) {
            if (!exists(folder, row.file)) {
                html += u"<td class=\"missing\">ありません</td>"_s;
                continue;
            }
            const QString path = (folder + u'/' + row.file).toHtmlEscaped();
            html += u"<td><a href=\""_s + path + u"\"><img src=\""_s + path + u"\" alt=\""_s +
                    (name + u' ' + folder).toHtmlEscaped() + u"\" loading=\"lazy\"></a></td>"_s;
        }
        html += u"</tr>\n"_s;
    }
    html += u"</table>\n</body>\n</html>\n"_s;
    return html;
}

bool FolderSnapshot::take(const QString& folder) {
    if (!QFileInfo(folder).isDir())
        return false;
    QHash<QString, QByteArray> files;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo& entry : entries) {
        QFile file(entry.absoluteFilePath());
        if (!file.open(QIODevice::ReadOnly))
            return false;
        files.insert(entry.fileName(), file.readAll());
    }
    m_folder = folder;
    m_files = std::move(files);
    return true;
}

bool FolderSnapshot::restore() const {
    // Without a snapshot there is nothing to put back, and nothing to remove.
    if (m_folder.isEmpty())
        return true;
    const QDir dir(m_folder);
    bool ok = true;
    const QFileInfoList entries = dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (entry.isDir() && !entry.isSymLink())
            ok = QDir(entry.absoluteFilePath()).removeRecursively() && ok;
        else if (entry.isSymLink() || !m_files.contains(entry.fileName()))
            ok = QFile::remove(entry.absoluteFilePath()) && ok;
    }
    for (auto it = m_files.cbegin(); it != m_files.cend(); ++it) {
        QFile file(dir.filePath(it.key()));
        if (file.open(QIODevice::ReadOnly) && file.readAll() == it.value())
            continue;
        file.close();
        ok = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
             file.write(it.value()) == it.value().size() && ok;
    }
    return ok;
}

} // namespace mirai::tour
