#pragma once

#include "Doubles.h"
#include "DrawingDoubles.h"
#include "NumberText.h"
#include "PrintEngine.h"
#include "PrintTable.h"
#include "QtPrinters.h"
#include "TableLayout.h"
#include "UiSupport.h"

#include <QStringList>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

namespace mirai::test {

// A preview box over a recording surface; like the screen's box it takes whole pixels of 15
// twips. Every size keeps the same log.
class RecordingPreviewBox final : public PreviewBox {
public:
    QSizeF setSizeTwips(QSizeF size) override {
        const QSizeF taken(toWhole(size.width() / 15.0, 1, 100000) * 15.0,
                           toWhole(size.height() / 15.0, 1, 100000) * 15.0);
        m_surface = std::make_unique<RecordingSurface>(taken, 15.0, log);
        sizes.push_back(taken);
        return taken;
    }
    DrawingSurface& surface() override { return *m_surface; }
    void clear() override { m_surface->newPage(); }

    std::shared_ptr<DrawingLog> log = std::make_shared<DrawingLog>();
    std::vector<QSizeF> sizes;

private:
    std::unique_ptr<RecordingSurface> m_surface =
        std::make_unique<RecordingSurface>(QSizeF(15, 15), 15.0, log);
};

// A line of the print source: level, three texts, five ignored fields.
inline QString sourceLine(const QString& level, const QString& problem, const QString& answer,
                          const QString& hint) {
    return level + u',' + problem + u',' + answer + u',' + hint + QStringLiteral(",,,,,");
}
// `count` lines of one level whose texts are "p<i>", "a<i>", "h<i>" from `first` on.
inline QStringList sourceLines(int level, int count, int first = 1) {
    QStringList lines;
    for (int i = first; i < first + count; ++i)
        lines.append(sourceLine(QString::number(level), QStringLiteral("p%1").arg(i),
                                QStringLiteral("a%1").arg(i), QStringLiteral("h%1").arg(i)));
    return lines;
}

// The texts of one column of a prepared table, rows 1..last.
inline QStringList columnTexts(const PrintState& print, int column, int last) {
    QStringList texts;
    for (int row = 1; row <= last; ++row)
        texts.append(print.PrintTable(column, row));
    return texts;
}

// One sheet drawn as the print screen draws it: on the preview box, then on a printer page.
struct DrawnSheet {
    std::shared_ptr<DrawingLog> preview;
    std::shared_ptr<DrawingLog> page;
    PrintEngine previewEngine{ui::uiFamily()};
    PrintEngine pageEngine{ui::uiFamily()};
};

inline std::unique_ptr<DrawnSheet> drawOnBoth(const PrintSheet& sheet, RecordingPrintService& service) {
    auto drawn = std::make_unique<DrawnSheet>();
    RecordingPreviewBox box;
    drawn->previewEngine.setPreviewBox(&box);
    drawn->previewEngine.setPrintService(&service);
    drawn->previewEngine.InitializePrintSurface(0, 1);
    DrawTableLayout(drawn->previewEngine, sheet);
    drawn->preview = box.log;

    std::unique_ptr<PrintDocument> document =
        service.openPdf(QStringLiteral("sheet.pdf"), PageOrientation::Portrait);
    drawn->pageEngine.setPrintService(&service);
    drawn->pageEngine.setPrinterPage(document.get());
    drawn->pageEngine.InitializePrintSurface(1, 1);
    DrawTableLayout(drawn->pageEngine, sheet);
    document->endDocument();
    drawn->page = service.documents.back();
    return drawn;
}

// Distinct values, in increasing order, within a tolerance.
inline std::vector<double> distinct(std::vector<double> values, double tolerance = 0.01) {
    std::sort(values.begin(), values.end());
    std::vector<double> result;
    for (double value : values)
        if (result.empty() || value - result.back() > tolerance)
            result.push_back(value);
    return result;
}

} // namespace mirai::test
