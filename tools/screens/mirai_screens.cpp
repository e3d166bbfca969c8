// Pictures of every screen, panel, message and dialog of the program, taken on a staged demo tree at
// the size of the display it runs on (full screen, scaled as the program scales itself):
//
//   mirai_screens --app-folder <tree>/prog/MiraiDrill --out <folder> [--only name,name]
//       writes <folder>/<width>x<height>/NN-name.png; exits 1 when a picture could not be taken
//   mirai_screens --index <folder>
//       writes <folder>/index.html with every size found there side by side

#include "ScreenTour.h"
#include "Stage.h"
#include "TerminationSignals.h"
#include "TourOptions.h"
#include "UiSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

int writeIndex(const QString& folder) {
    std::vector<mirai::tour::IndexRow> rows;
    const std::vector<mirai::tour::Shot>& shots = mirai::tour::shotTable();
    for (std::size_t i = 0; i < shots.size(); ++i)
        rows.push_back({mirai::tour::shotFileName(static_cast<int>(i) + 1, shots[i].name), shots[i].caption});
    QStringList sizes;
    const QStringList folders = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : folders) {
        if (mirai::tour::sizeOfFolder(name).isValid())
            sizes.append(name);
    }
    const QString html =
        mirai::tour::indexPage(rows, sizes, [&folder](const QString& size, const QString& file) {
            return QFileInfo(QDir(folder).filePath(size + u'/' + file)).size() > 0;
        });
    QSaveFile file(QDir(folder).filePath(u"index.html"_s));
    if (!file.open(QIODevice::WriteOnly) || file.write(html.toUtf8()) < 0 || !file.commit()) {
        std::fprintf(stderr, "mirai_screens: cannot write %s\n", qPrintable(file.fileName()));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const std::optional<mirai::tour::TourOptions> parsed = mirai::tour::parseTourOptions(arguments);
    if (!parsed) {
        std::fprintf(stderr, "usage: mirai_screens --app-folder <folder> --out <folder> [--only name,...]\n"
                             "       mirai_screens --index <folder>\n");
        return 2;
    }
    const mirai::tour::TourOptions& options = *parsed;
    if (!options.index.isEmpty()) {
        QCoreApplication application(argc, argv);
        return writeIndex(options.index);
    }

    // As the program starts in full screen: scaled to the display before the application exists.
    const QSize display = mirai::probeDisplayPixels(argc, argv);
    if (display.isEmpty()) {
        std::fprintf(stderr, "mirai_screens: no display\n");
        return 2;
    }
    mirai::scaleToDisplay(argc, argv);
    QApplication application(argc, argv);
    mirai::forgetScaleFactor();
    QApplication::setApplicationName(u"みらいドリル"_s);
    mirai::ui::installFontSubstitutions();
    QApplication::setFont(mirai::ui::uiFont(11));

    const QString out = QDir(options.out).filePath(mirai::tour::sizeFolderName(display));
    mirai::tour::Tour tour(QDir(options.appFolder).absolutePath(), out, display);
    QString error;
    if (!tour.prepare(&error)) {
        std::fprintf(stderr, "mirai_screens: %s\n", qPrintable(error));
        return 2;
    }
    for (const QString& name : std::as_const(options.only)) {
        const auto& shots = mirai::tour::shotTable();
        if (std::none_of(shots.begin(), shots.end(),
                         [&name](const auto& shot) { return shot.name == name; })) {
            std::fprintf(stderr, "mirai_screens: no shot is called %s\n", qPrintable(name));
            return 2;
        }
    }
    std::printf("Pictures at %s in %s\n", qPrintable(mirai::tour::sizeFolderName(display)), qPrintable(out));
    // An interrupt ends the shot under way, so that the station's temporary folder goes too.
    const mirai::TerminationSignals interrupts([&tour] { tour.stop(); });
    const int failed = tour.run(mirai::tour::shotTable(), options.only);
    if (tour.stopped()) {
        std::fprintf(stderr, "mirai_screens: interrupted\n");
        return 130;
    }
    if (failed > 0)
        std::fprintf(stderr, "mirai_screens: %d picture(s) failed at %s\n", failed,
                     qPrintable(mirai::tour::sizeFolderName(display)));
    return failed == 0 ? 0 : 1;
}
