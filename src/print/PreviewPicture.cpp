#include "PreviewPicture.h"

#include "NumberText.h"
#include "PainterSurface.h"
#include "UiSupport.h"

#include <QPainter>

namespace mirai {

PreviewPicture::PreviewPicture(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    makeImage(QSize(1, 1));
}

PreviewPicture::~PreviewPicture() = default;

void PreviewPicture::makeImage(QSize pixels) {
    m_surface.reset();
    m_image = QImage(pixels, QImage::Format_RGB32);
    m_image.fill(Qt::white);
    m_surface = std::make_unique<PainterSurface>(&m_image, ui::kTwipsPerPixel);
}

QSizeF PreviewPicture::setSizeTwips(QSizeF size) {
    const QSize pixels(static_cast<int>(toWhole(size.width() / ui::kTwipsPerPixel, 1, 20000)),
                       static_cast<int>(toWhole(size.height() / ui::kTwipsPerPixel, 1, 20000)));
    if (pixels != m_image.size())
        makeImage(pixels);
    setFixedSize(pixels);
    return QSizeF(pixels) * ui::kTwipsPerPixel;
}

DrawingSurface& PreviewPicture::surface() {
    return *m_surface;
}

void PreviewPicture::clear() {
    m_surface->newPage();
    update();
}

void PreviewPicture::finish() {
    m_surface->flush();
    update();
}

void PreviewPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, m_image);
}

} // namespace mirai
