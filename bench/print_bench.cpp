// Figures for worksheets: preparing a sheet from a print source of 48 problems and drawing its
// 15 rows on the preview box (the size search of every cell included), drawing the same page
// for a PDF file, and the cost of one cell's size search and of a single paragraph layout.

#include "Files.h"
#include "GuiBenchMain.h"
#include "PreviewPicture.h"
#include "PrintEngine.h"
#include "PrintTable.h"
#include "QtPrintService.h"
#include "Random.h"
#include "SharedState.h"
#include "TableLayout.h"
#include "UiDoubles.h"
#include "UiSupport.h"
#include "frmPrint.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

using namespace mirai;

// A print source like the demo's: 24 problems of each level with a short hint.
QStringList sourceLines() {
    QStringList lines;
    for (int level = 1; level <= 2; ++level)
        for (int i = 0; i < 24; ++i) {
            const int a = 2 + i % 8;
            const int b = 9 - i % 7;
            const QString first = level == 1 ? u"0.%1"_s.arg(a) : u"0.0%1"_s.arg(a);
            lines.append(u"%1,%2 × %3 =,%4,%5×%3=%6、小数点以下%7けた,,,,,"_s.arg(level)
                             .arg(first)
                             .arg(b)
                             .arg(level == 1 ? a * b / 10.0 : a * b / 100.0)
                             .arg(a)
                             .arg(a * b)
                             .arg(level));
        }
    return lines;
}

struct Source {
    Source() { test::writeTextFile(path(), sourceLines()); }
    QString path() const { return dir.path() + u"/プロト.csv"_s; }
    QTemporaryDir dir;
};

PrintChoices bothLevels(int option) {
    PrintChoices choices;
    choices.levels = {true, true, false, false, false, false, false, false};
    choices.option = option;
    return choices;
}

// FormPrint0's "印刷へ" as a teacher uses it: prepare, then draw the preview of 15 rows.
void BM_PrepareAndDrawPreview(benchmark::State& state) {
    const Source source;
    PrintState print;
    StandardRandom random(1);
    PreviewPicture box;
    PrintEngine engine(ui::uiFamily());
    engine.setPreviewBox(&box);
    engine.InitializePrintSurface(0, 1);
    const int option = static_cast<int>(state.range(0));
    std::int64_t layouts = 0;
    for (auto _ : state) {
        PreparePrintTable(print, source.path(), bothLevels(option), random);
        const std::int64_t before = engine.layoutCount();
        DrawTableLayout(engine, print.sheet());
        box.finish();
        layouts += engine.layoutCount() - before;
    }
    state.counters["layouts/sheet"] = static_cast<double>(layouts) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PrepareAndDrawPreview)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

// The print screen's redraw as "印刷へ" runs it: the sheet drawn on the shown preview box, with
// the window events let run (and the box repainted) before every cell.
void BM_PrintScreenRedraw(benchmark::State& state) {
    const Source source;
    auto print = std::make_shared<PrintState>();
    test::UiTestPlatform platform;
    SharedState shared;
    StandardRandom random(1);
    PreparePrintTable(*print, source.path(), bothLevels(5), random);
    frmPrint screen(Context{shared, platform}, print);
    screen.show();
    QApplication::processEvents();
    for (auto _ : state)
        screen.RunLayout();
    state.counters["pumps/sheet"] =
        static_cast<double>(platform.events.calls) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PrintScreenRedraw)->Unit(benchmark::kMillisecond);

// "印刷" on a station without a printer: the page drawn into a PDF file and written.
void BM_DrawPdfPage(benchmark::State& state) {
    const Source source;
    PrintState print;
    StandardRandom random(1);
    PreparePrintTable(print, source.path(), bothLevels(5), random);
    const PrintSheet sheet = print.sheet();
    QtPrintService service;
    PrintEngine engine(ui::uiFamily());
    engine.setPrintService(&service);
    for (auto _ : state) {
        std::unique_ptr<PrintDocument> document =
            service.openPdf(source.dir.path() + u"/sheet.pdf"_s, PageOrientation::Portrait);
        engine.setPrinterPage(document.get());
        engine.InitializePrintSurface(1, 1);
        DrawTableLayout(engine, sheet);
        benchmark::DoNotOptimize(document->endDocument());
    }
}
BENCHMARK(BM_DrawPdfPage)->Unit(benchmark::kMillisecond);

// One cell's size search as the engine runs it (sizes no line fits are passed over without a
// layout), and the plain walk from 50 down that lays the text out at every size.
void BM_SizeSearchOneCell(benchmark::State& state) {
    PreviewPicture box;
    PrintEngine engine(ui::uiFamily());
    engine.setPreviewBox(&box);
    engine.InitializePrintSurface(0, 1);
    engine.RowHeight = 0.06;
    engine.RowY = 1000;
    engine.CellX = 0.06;
    engine.CellWidth = 0.95 * 0.35;
    for (auto _ : state)
        engine.文字表示3(u"0.07 × 6 ="_s);
    state.counters["size"] = engine.TextSize;
}
BENCHMARK(BM_SizeSearchOneCell)->Unit(benchmark::kMicrosecond);

void BM_PlainStepDownOneCell(benchmark::State& state) {
    PrintEngine engine(ui::uiFamily());
    const double width = 0.95 * 0.35 * 11906;
    for (auto _ : state)
        for (int size = 50; size >= 20; --size)
            benchmark::DoNotOptimize(engine.wrapParagraph(u"0.07 × 6 ="_s, width, size));
}
BENCHMARK(BM_PlainStepDownOneCell)->Unit(benchmark::kMicrosecond);

void BM_WrapParagraph(benchmark::State& state) {
    PrintEngine engine(ui::uiFamily());
    const QString hint = u"7×6=42、小数点以下3けた。積の小数点を右から三つ数えてうちます"_s;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            engine.wrapParagraph(hint, 0.95 * 0.1 * 11906, static_cast<int>(state.range(0))));
}
BENCHMARK(BM_WrapParagraph)->Arg(50)->Arg(20)->Arg(8)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return mirai::bench::runWithScreens(argc, argv, {});
}
