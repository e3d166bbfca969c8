#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace mirai::tour {

// What the tour program is asked to do: take pictures (`appFolder` and `out`, perhaps `only` some of
// them) or write the index page of a folder of pictures (`index`).
struct TourOptions {
    QString appFolder;
    QString out;
    QStringList only;
    QString index;
};

// The options after the program's name; nothing for a command line that asks for neither task
// whole, for both, or for anything else.
std::optional<TourOptions> parseTourOptions(const QStringList& arguments);

} // namespace mirai::tour
