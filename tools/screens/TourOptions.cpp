#include "TourOptions.h"

using namespace Qt::StringLiterals;

namespace mirai::tour {

std::optional<TourOptions> parseTourOptions(const QStringList& arguments) {
    TourOptions options;
    bool onlyGiven = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& option = arguments[i];
        if (i + 1 >= arguments.size())
            return std::nullopt; // every option takes a value
        const QString value = arguments[++i];
        QString* target = nullptr;
        if (option == u"--app-folder"_s)
            target = &options.appFolder;
        else if (option == u"--out"_s)
            target = &options.out;
        else if (option == u"--index"_s)
            target = &options.index;
        if (target) {
            if (!target->isEmpty() || value.isEmpty())
                return std::nullopt;
            *target = value;
        } else if (option == u"--only"_s && !onlyGiven) {
            onlyGiven = true;
            options.only = value.split(u',', Qt::SkipEmptyParts);
            if (options.only.isEmpty())
                return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    const bool pictures = !options.appFolder.isEmpty() && !options.out.isEmpty() && options.index.isEmpty();
    const bool index =
        !options.index.isEmpty() && options.appFolder.isEmpty() && options.out.isEmpty() && !onlyGiven;
    if (!pictures && !index)
        return std::nullopt;
    return options;
}

} // namespace mirai::tour
