#include "DrawingDoubles.h"

#include <algorithm>

namespace mirai::test {

std::vector<DrawOp> DrawingLog::ofKind(DrawOp::Kind kind) const {
    std::vector<DrawOp> found;
    std::copy_if(ops.begin(), ops.end(), std::back_inserter(found),
                 [kind](const DrawOp& op) { return op.kind == kind; });
    return found;
}

QStringList DrawingLog::texts() const {
    QStringList found;
    for (const DrawOp& op : ops)
        if (op.kind == DrawOp::Text)
            found.append(op.text);
    return found;
}

int DrawingLog::pageCount() const {
    int pages = 0;
    bool drawn = false;
    for (const DrawOp& op : ops) {
        if (op.kind == DrawOp::NewPage) {
            pages += drawn ? 1 : 0;
            drawn = false;
        } else {
            drawn = true;
        }
    }
    return pages + (drawn ? 1 : 0);
}

RecordingSurface::RecordingSurface(QSizeF sizeTwips, double twipsPerPixel, std::shared_ptr<DrawingLog> log)
    : m_size(sizeTwips), m_twipsPerPixel(twipsPerPixel), m_log(std::move(log)) {}

void RecordingSurface::setFont(const QString& family, double points) {
    m_family = family;
    m_points = points;
}

void RecordingSurface::drawLine(QPointF from, QPointF to, int widthPixels, std::uint32_t bgr) {
    m_log->ops.push_back({DrawOp::Line, from, to, widthPixels, bgr, {}, {}, 0.0});
}

void RecordingSurface::drawPoint(QPointF at, int widthPixels, std::uint32_t bgr) {
    m_log->ops.push_back({DrawOp::Point, at, at, widthPixels, bgr, {}, {}, 0.0});
}

void RecordingSurface::fillRect(const QRectF& area, std::uint32_t bgr) {
    m_log->ops.push_back({DrawOp::Fill, area.topLeft(), area.bottomRight(), 0, bgr, {}, {}, 0.0});
}

void RecordingSurface::drawText(QPointF topLeft, const QString& text) {
    m_log->ops.push_back({DrawOp::Text, topLeft, topLeft, 0, m_colour, text, m_family, m_points});
}

void RecordingSurface::newPage() {
    m_log->ops.push_back({DrawOp::NewPage, {}, {}, 0, 0, {}, {}, 0.0});
}

bool RecordingSurface::endDocument() {
    if (m_failEnd)
        return false;
    m_log->ended = true;
    return true;
}

QSizeF RecordingPrintService::pageSizeTwips(PageOrientation orientation) const {
    return orientation == PageOrientation::Portrait ? portraitTwips : portraitTwips.transposed();
}

std::unique_ptr<PrintDocument> RecordingPrintService::open(PageOrientation orientation, const QString& path) {
    auto log = std::make_shared<DrawingLog>();
    log->orientation = orientation;
    log->pdfPath = path;
    documents.push_back(log);
    auto document = std::make_unique<RecordingSurface>(pageSizeTwips(orientation), twipsPerPixel, log);
    if (failEnd)
        document->failEnd();
    return document;
}

std::unique_ptr<PrintDocument> RecordingPrintService::openPrinter(PageOrientation orientation,
                                                                  QString* error) {
    if (error)
        error->clear();
    if (!printerInstalled || cancelDialog)
        return nullptr;
    if (!printerError.isEmpty()) {
        if (error)
            *error = printerError;
        return nullptr;
    }
    return open(orientation, {});
}

std::unique_ptr<PrintDocument> RecordingPrintService::openPdf(const QString& path,
                                                              PageOrientation orientation) {
    if (pdfUnwritable)
        return nullptr;
    return open(orientation, path);
}

QString ScriptedFileDialogs::saveFileName(const QString& title, const QString& proposed,
                                          const QString& filter) {
    asked.push_back({title, proposed, filter});
    if (m_answers.empty())
        return proposed;
    const QString answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

} // namespace mirai::test
