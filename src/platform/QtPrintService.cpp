#include "QtPrintService.h"

#include "PainterSurface.h"

#include <QApplication>
#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

constexpr double kTwipsPerMillimetre = 1440.0 / 25.4;

QPageLayout::Orientation qtOrientation(PageOrientation orientation) {
    return orientation == PageOrientation::Portrait ? QPageLayout::Portrait : QPageLayout::Landscape;
}

// The printable area of a page layout in twips: what a painter on the device can reach. A4 is
// defined in millimetres, so they measure it without rounding.
QSizeF paintSizeTwips(const QPageLayout& layout) {
    return layout.paintRect(QPageLayout::Millimeter).size() * kTwipsPerMillimetre;
}

// A document over a painter surface; the device (a printer or a PDF writer) belongs to it.
template <class Device> class PainterDocument final : public PrintDocument {
public:
    PainterDocument(std::unique_ptr<Device> device, QString path)
        : m_device(std::move(device)), m_surface(m_device.get()), m_path(std::move(path)),
          m_size(paintSizeTwips(m_device->pageLayout())) {}
    ~PainterDocument() override {
        if (!m_ended && !m_discarded)
            discardDocument();
    }

    QSizeF sizeTwips() const override { return m_size; }
    void setMarginTwips(double twips) { m_surface.setMarginTwips(twips); }
    double twipsPerPixel() const override { return m_surface.twipsPerPixel(); }
    void setFont(const QString& family, double points) override { m_surface.setFont(family, points); }
    void setTextColour(std::uint32_t bgr) override { m_surface.setTextColour(bgr); }
    void drawLine(QPointF from, QPointF to, int widthPixels, std::uint32_t bgr) override {
        if (usable())
            m_surface.drawLine(from, to, widthPixels, bgr);
    }
    void drawPoint(QPointF at, int widthPixels, std::uint32_t bgr) override {
        if (usable())
            m_surface.drawPoint(at, widthPixels, bgr);
    }
    void fillRect(const QRectF& area, std::uint32_t bgr) override {
        if (usable())
            m_surface.fillRect(area, bgr);
    }
    void drawText(QPointF topLeft, const QString& text) override {
        if (usable())
            m_surface.drawText(topLeft, text);
    }
    void newPage() override {
        if (usable())
            m_surface.newPage();
    }

    bool endDocument() override {
        if (m_failed || m_discarded || m_ended)
            return false;
        m_ended = true;
        bool ended = true;
        if (m_surface.isPainting()) {
            ended = m_surface.flush();
        } else {
            // Nothing drawn: one blank page all the same.
            QPainter painter(m_device.get());
            ended = painter.isActive() && painter.end();
        }
        m_failed = !ended || failedDevice();
        return !m_failed;
    }

    void discardDocument() override {
        if (m_discarded || m_ended)
            return;
        m_discarded = true;
        abortDevice();
        m_surface.flush();
        if (!m_path.isEmpty())
            QFile::remove(m_path);
    }

    QString errorText() const override {
        if (!m_failed)
            return {};
        return m_path.isEmpty() ? u"プリンターが印刷を受け付けませんでした。"_s
                                : u"ファイルに書き込めません。"_s;
    }

private:
    bool usable() const { return !m_failed && !m_discarded && !m_ended; }
    bool failedDevice() const;
    void abortDevice();

    std::unique_ptr<Device> m_device;
    PainterSurface m_surface;
    QString m_path;
    QSizeF m_size;
    bool m_failed = false;
    bool m_ended = false;
    bool m_discarded = false;
};

template <> bool PainterDocument<QPrinter>::failedDevice() const {
    return m_device->printerState() == QPrinter::Error;
}
template <> void PainterDocument<QPrinter>::abortDevice() {
    if (m_surface.isPainting())
        m_device->abort();
}
template <> bool PainterDocument<QPdfWriter>::failedDevice() const {
    return false;
}
template <> void PainterDocument<QPdfWriter>::abortDevice() {}

std::unique_ptr<QPrinter> defaultPrinter(PageOrientation orientation) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    auto printer = info.isNull() ? std::make_unique<QPrinter>(QPrinter::HighResolution)
                                 : std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setPageOrientation(qtOrientation(orientation));
    printer->setDocName(QApplication::applicationName());
    return printer;
}

} // namespace

bool QtPrintService::hasPrinter() const {
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

QSizeF QtPrintService::pageSizeTwips(PageOrientation orientation) const {
    const int key = static_cast<int>(orientation);
    if (const auto found = m_pageSizes.constFind(key); found != m_pageSizes.constEnd())
        return *found;
    const QSizeF size =
        hasPrinter() ? paintSizeTwips(defaultPrinter(orientation)->pageLayout()) : a4Twips(orientation);
    m_pageSizes.insert(key, size);
    return size;
}

std::unique_ptr<PrintDocument> QtPrintService::openPrinter(PageOrientation orientation, QString* error) {
    if (error)
        error->clear();
    std::unique_ptr<QPrinter> printer = defaultPrinter(orientation);
    QPrintDialog dialog(printer.get(), QApplication::activeWindow());
    dialog.setWindowTitle(u"印刷"_s);
    // A sheet is one page on A4: the dialog chooses the printer, or a file, and the copies.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile);
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setPageOrientation(qtOrientation(orientation));
    const bool toFile = !printer->outputFileName().isEmpty();
    if (!printer->isValid() || printer->printerState() == QPrinter::Error) {
        if (error)
            *error = u"プリンター「%1」を使えません。"_s.arg(printer->printerName());
        return nullptr;
    }
    const QString path = toFile ? printer->outputFileName() : QString();
    return std::make_unique<PainterDocument<QPrinter>>(std::move(printer), path);
}

std::unique_ptr<PrintDocument> QtPrintService::openPdf(const QString& path, PageOrientation orientation) {
    // A file that cannot be written is known now, before a page is drawn for it.
    if (QFile probe(path); !probe.open(QIODevice::WriteOnly))
        return nullptr;
    auto writer = std::make_unique<QPdfWriter>(path);
    writer->setResolution(kPdfResolution);
    writer->setCreator(QApplication::applicationName());
    writer->setTitle(QApplication::applicationName());
    // The whole sheet of paper is the page, as the preview shows it; the drawing keeps clear of
    // the edges, where the printer that prints the file later may not reach.
    writer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), qtOrientation(orientation), QMarginsF()));
    auto document = std::make_unique<PainterDocument<QPdfWriter>>(std::move(writer), path);
    document->setMarginTwips(kPdfMarginMillimetres * kTwipsPerMillimetre);
    return document;
}

} // namespace mirai
