#pragma once

#include "PrintEngine.h"

#include <QImage>
#include <QWidget>
#include <memory>

namespace mirai {

class PainterSurface;

// The white preview box of the print screen: an image the engine draws on in twips (15 to a
// screen pixel), shown as it grows.
class PreviewPicture : public QWidget, public PreviewBox {
    Q_OBJECT
public:
    explicit PreviewPicture(QWidget* parent = nullptr);
    ~PreviewPicture() override;

    QSizeF setSizeTwips(QSizeF size) override;
    DrawingSurface& surface() override;
    void clear() override;

    // Ends the drawing so that the box shows all of it.
    void finish();
    const QImage& image() const { return m_image; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void makeImage(QSize pixels);

    QImage m_image;
    std::unique_ptr<PainterSurface> m_surface;
};

} // namespace mirai
