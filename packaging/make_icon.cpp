// Paints the program's icon from the shapes of its title picture and drill screen: the title's
// evening-sky board, a multiplication cross and the hop of the decimal point.
//
//   make_icon <folder> <size>...   writes <folder>/<size>x<size>/miraidrill.png for each size

#include "DrillArt.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

QImage paintIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double s = size;

    const double margin = s * 0.03;
    const QRectF board(margin, margin, s - 2 * margin, s - 2 * margin);
    QLinearGradient sky(board.topLeft(), board.bottomLeft());
    sky.setColorAt(0.0, QColor(24, 64, 120));
    sky.setColorAt(1.0, QColor(70, 150, 200));
    painter.setPen(Qt::NoPen);
    painter.setBrush(sky);
    painter.drawRoundedRect(board, s * 0.18, s * 0.18);

    const QPointF centre(s * 0.63, s * 0.64);
    const double arm = s * 0.15;
    painter.setPen(QPen(Qt::white, std::max(2.0, s * 0.10), Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre + QPointF(-arm, -arm), centre + QPointF(arm, arm));
    painter.drawLine(centre + QPointF(-arm, arm), centre + QPointF(arm, -arm));

    const QSize hopSize(qRound(s * 0.56), qRound(s * 0.36));
    painter.drawPixmap(QPointF(s * 0.10, s * 0.12), mirai::hopMark(hopSize, QColor(255, 208, 80)));
    return image;
}

} // namespace

int main(int argc, char* argv[]) {
    // Painted at build time, where there is no display and maybe no runtime folder.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QGuiApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_icon <folder> <size>...\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        if (size < 16 || size > 1024) {
            std::fprintf(stderr, "make_icon: size %s is not between 16 and 1024\n", argv[i]);
            return 2;
        }
        const QString sized = folder + u'/' + QString::number(size) + u'x' + QString::number(size);
        if (!QDir().mkpath(sized) || !paintIcon(size).save(sized + u"/miraidrill.png"_s, "PNG")) {
            std::fprintf(stderr, "make_icon: cannot write %s\n", qPrintable(sized));
            return 1;
        }
    }
    return 0;
}
