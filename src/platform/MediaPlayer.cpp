#include "MediaPlayer.h"

using namespace Qt::StringLiterals;

namespace mirai {

QString playCommandPath(const QString& command) {
    const QString head = u"play "_s;
    const QString tail = u" wait"_s;
    if (!command.startsWith(head) || !command.endsWith(tail) || command.size() < head.size() + tail.size())
        return {};
    return command.mid(head.size(), command.size() - head.size() - tail.size());
}

} // namespace mirai
