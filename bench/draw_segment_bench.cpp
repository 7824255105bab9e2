// SPDX-License-Identifier: MIT
// One brush segment on a 6000 x 4000 picture, drawn and repainted on the
// offscreen platform, at fit zoom and at 1:1.
#include "app/library_messages.h"
#include "canvas/canvas_pane.h"
#include "picture/picture_loader.h"

#include <QApplication>
#include <QDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <stdexcept>

namespace {

// The canvas with the cursor where the benchmark puts it.
class SteeredCanvas : public CCanvasPane {
public:
    QPoint cursor;
    int paints = 0;
    void Segment() { DrawSegment(cursor); }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        ++paints;
        CCanvasPane::paintEvent(event);
    }
};

QString LargePicture()
{
    const QString path = QDir::temp().filePath("quenlo-bench-6000x4000.bmp");
    if (QFile::exists(path))
        return path;
    LoadedPicture sample = LoadPicture(QUENLO_SAMPLES_DIR "/coffee.png");
    if (!sample)
        throw std::runtime_error(sample.error);
    BitmapPtr large(FreeImage_Rescale(sample.bitmap.get(), 6000, 4000, FILTER_BILINEAR));
    FreeImage_Save(FIF_BMP, large.get(), path.toLocal8Bit().constData(), 0);
    return path;
}

void DrawSegmentAt(benchmark::State& state, bool fit)
{
    SteeredCanvas canvas;
    canvas.resize(1400, 800);
    canvas.show();
    if (!canvas.OpenPicture(LargePicture()))
        throw std::runtime_error("cannot open the large picture");
    if (!fit)
        canvas.ZoomActualSize();
    QCoreApplication::processEvents();

    const QPoint start(600, 400);
    canvas.cursor = start;
    QTest::mousePress(&canvas, Qt::LeftButton, {}, start);
    QCoreApplication::processEvents();
    int step = 0;
    for (auto _ : state) {
        // A short diagonal stroke back and forth, as a hand would move.
        ++step;
        canvas.cursor = start + QPoint((step % 20) * 3, (step % 20) * 2);
        canvas.Segment();
        QCoreApplication::processEvents();
    }
    QTest::mouseRelease(&canvas, Qt::LeftButton, {}, canvas.cursor);
    // Every segment must have been painted, or the time says nothing.
    if (canvas.paints < step)
        state.SkipWithError("segments were not repainted");
    state.counters["paints"] = canvas.paints;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    RouteLibraryMessages();
    QApplication application(argc, argv);
    benchmark::RegisterBenchmark("DrawSegment/fit", DrawSegmentAt, true)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("DrawSegment/actual_size", DrawSegmentAt, false)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
