// SPDX-License-Identifier: MIT
// The editor on photographs of 6, 12 and 24 megapixels (bench/photos.sh),
// offscreen: Open (decode, layers, first display) and its display, Paint with
// a round hole 60 pixels across and its parts, Undo, Save to TIFF, the
// memory held with the picture open, and the Undo history's size after ten Paints.
#include "app/viewer_dialog.h"
#include "canvas/canvas_pane.h"
#include "canvas/overlay_capture.h"
#include "canvas/paint_reach.h"
#include "controls/file_dialogs.h"
#include "controls/message_box.h"
#include "mask/overlay_to_mask.h"
#include "photo_files.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace {

QString g_openAnswer;
QString g_saveAnswer;
QStringList g_messages;

// The dialog with a photograph open, shown at fit zoom.
struct OpenEditor {
    CViewerDlg dialog;

    explicit OpenEditor(long long megapixels)
    {
        dialog.show();
        if (!QTest::qWaitForWindowExposed(&dialog))
            throw std::runtime_error("the editor's window was never shown");
        Open(megapixels);
    }
    CCanvasPane& Canvas() { return *dialog.Canvas(); }
    void Open(long long megapixels)
    {
        g_openAnswer = QString::fromStdString(PhotoFile("photo", megapixels));
        dialog.OpenCommand();
        Canvas().repaint();
        if (!g_messages.isEmpty())
            throw std::runtime_error(g_messages.join(u'|').toStdString());
    }
    // A round removal stroke 60 pixels across in the middle of the picture.
    void MarkHole() { MarkHoleAt(Canvas().ClientRect().center(), 60); }
    // One dab of the hole brush, size picture pixels across, at a point of the view.
    void MarkHoleAt(QPoint point, int size)
    {
        CCanvasPane& canvas = Canvas();
        canvas.SetTool(ToolHoleBrush);
        canvas.SetBrushSize(size);
        QCursor::setPos(canvas.mapToGlobal(point));
        QTest::mousePress(&canvas, Qt::LeftButton, {}, point);
        QTest::mouseRelease(&canvas, Qt::LeftButton, {}, point);
    }
};

// Peak and current resident memory of this process, in MiB.
double StatusMiB(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0)
            return std::stod(line.substr(key.size() + 1)) / 1024.0;
    return 0.0;
}

void Open(benchmark::State& state)
{
    OpenEditor editor(state.range(0));
    for (auto _ : state)
        editor.Open(state.range(0));
}

void FirstDisplay(benchmark::State& state)
{
    OpenEditor editor(state.range(0));
    for (auto _ : state)
        editor.Canvas().repaint();
}

// The strokes as Paint reads them: the overlay layer within their rectangle.
OverlayRows Strokes(CCanvasPane& canvas)
{
    const std::optional<OverlayRows> rows = OverlayRowsOf(canvas.OverlayLayer(), canvas.StrokesRect());
    if (!rows)
        throw std::runtime_error("the overlay layer cannot be read");
    return *rows;
}

void OverlayConversion(benchmark::State& state)
{
    OpenEditor editor(state.range(0));
    editor.MarkHole();
    CCanvasPane& canvas = editor.Canvas();
    const OverlayRows overlay = Strokes(canvas);
    BitmapPtr mask(FreeImage_Allocate(canvas.PictureWidth(), canvas.PictureHeight(), 8));
    for (auto _ : state)
        benchmark::DoNotOptimize(OverlayToMask(overlay, canvas.PictureWidth(), canvas.PictureHeight(),
                                               mask.get(), 32, false, canvas.WorkingImage(), {}));
}

// The engine alone on the job Paint builds, on a fresh copy of the picture.
void PaintEngine(benchmark::State& state)
{
    OpenEditor editor(state.range(0));
    editor.MarkHole();
    CCanvasPane& canvas = editor.Canvas();
    const OverlayRows overlay = Strokes(canvas);
    for (auto _ : state) {
        state.PauseTiming();
        BitmapPtr picture(FreeImage_Clone(canvas.WorkingImage()));
        BitmapPtr mask(FreeImage_Allocate(canvas.PictureWidth(), canvas.PictureHeight(), 8));
        const InpaintJob job = OverlayToMask(overlay, canvas.PictureWidth(), canvas.PictureHeight(),
                                             mask.get(), 32, false, picture.get(), {});
        state.ResumeTiming();
        InpaintRegion(job);
    }
}

// The undo step Paint takes for the marked hole: the mask's codes as runs
// and the layers inside the rectangle the engine can reach.
void HistoryStep(benchmark::State& state)
{
    OpenEditor editor(state.range(0));
    editor.MarkHole();
    CCanvasPane& canvas = editor.Canvas();
    const OverlayRows overlay = Strokes(canvas);
    BitmapPtr mask(FreeImage_Allocate(canvas.PictureWidth(), canvas.PictureHeight(), 8));
    const InpaintJob job = OverlayToMask(overlay, canvas.PictureWidth(), canvas.PictureHeight(), mask.get(),
                                         32, false, canvas.WorkingImage(), {});
    const QRect reach = JobReach(job) | canvas.StrokesRect();
    for (auto _ : state) {
        if (!canvas.SaveUndoState(CMaskRuns::Of(editor.dialog.Mask()), reach))
            state.SkipWithError("no memory for the step");
    }
}

// The whole Paint command; the stroke before each is not timed.
void Paint(benchmark::State& state)
{
    OpenEditor editor(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        editor.MarkHole();
        state.ResumeTiming();
        editor.dialog.PaintCommand();
        editor.Canvas().repaint();
    }
}

// The first Paint after Open, which also parts the result layer from the
// picture as opened; the Open and the stroke are not timed.
void FirstPaint(benchmark::State& state)
{
    OpenEditor editor(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        editor.Open(state.range(0));
        editor.MarkHole();
        state.ResumeTiming();
        editor.dialog.PaintCommand();
        editor.Canvas().repaint();
    }
}

void Undo(benchmark::State& state)
{
    OpenEditor editor(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        editor.MarkHole();
        editor.dialog.PaintCommand();
        state.ResumeTiming();
        editor.dialog.UndoCommand();
        editor.Canvas().repaint();
    }
}

void Save(benchmark::State& state)
{
    OpenEditor editor(state.range(0));
    const QString path = QDir(QString::fromStdString(PhotoFolder())).filePath(QStringLiteral("saved.tif"));
    g_saveAnswer = path;
    for (auto _ : state)
        editor.dialog.SaveImage();
    if (!g_messages.isEmpty())
        state.SkipWithError(g_messages.join(u'|').toStdString().c_str());
    QFile::remove(path);
}

// Run alone (its own process): the resident memory with the picture open
// and after one Paint.
void Memory(benchmark::State& state)
{
    for (auto _ : state) {
        OpenEditor editor(state.range(0));
        state.counters["open_mib"] = StatusMiB("VmRSS");
        editor.MarkHole();
        editor.dialog.PaintCommand();
        editor.Canvas().repaint();
        state.counters["painted_mib"] = StatusMiB("VmRSS");
        state.counters["peak_mib"] = StatusMiB("VmHWM");
    }
}

// Run alone: what the Undo history holds after ten Paints, each of a square
// hole 160 pixels across at its own place, against its budget of 50 steps
// or 512 MiB.
void HistoryMemory(benchmark::State& state)
{
    for (auto _ : state) {
        OpenEditor editor(state.range(0));
        const QRect view = editor.Canvas().ClientRect();
        for (int i = 0; i < 10; ++i) {
            const QPoint place(view.left() + view.width() * (2 * (i % 5) + 1) / 10,
                               view.top() + view.height() * (i < 5 ? 1 : 3) / 4);
            editor.MarkHoleAt(place, 160);
            editor.dialog.PaintCommand();
        }
        const CPaintHistory& history = editor.Canvas().History();
        state.counters["steps"] = static_cast<double>(history.Steps());
        state.counters["history_bytes"] = static_cast<double>(history.Bytes());
        state.counters["history_mib"] = static_cast<double>(history.Bytes()) / (1 << 20);
        if (history.Steps() != 10)
            state.SkipWithError("a Paint left no step, or an old one was dropped");
        if (history.Bytes() > CPaintHistory::MaxBytes)
            state.SkipWithError("the history holds more than its budget");
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings and snapshots go to a folder of this run, never the user's.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    QApplication application(argc, argv);
    SetMessageBoxHook([](const QString& text) { g_messages.push_back(text); });
    SetQuestionBoxHook([](const QString&) { return true; });
    // Opening again drops the painted picture without saving it.
    SetSaveQuestionHook([](const QString&) { return SaveAnswer::Discard; });
    SetFileDialogHook([](FileDialogKind kind, const QString&, const QString&, const QString&) {
        return kind == FileDialogKind::Open ? g_openAnswer : g_saveAnswer;
    });
    const auto sizes = [](benchmark::internal::Benchmark* bench) {
        bench->Arg(6)->Arg(12)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();
    };
    benchmark::RegisterBenchmark("Open", Open)->Apply(sizes);
    benchmark::RegisterBenchmark("FirstDisplay", FirstDisplay)->Apply(sizes);
    benchmark::RegisterBenchmark("OverlayToMask", OverlayConversion)->Apply(sizes);
    benchmark::RegisterBenchmark("PaintEngine", PaintEngine)->Apply(sizes);
    benchmark::RegisterBenchmark("HistoryStep", HistoryStep)->Apply(sizes);
    benchmark::RegisterBenchmark("Paint", Paint)->Apply(sizes);
    benchmark::RegisterBenchmark("FirstPaint", FirstPaint)->Apply(sizes);
    benchmark::RegisterBenchmark("Undo", Undo)->Apply(sizes);
    benchmark::RegisterBenchmark("Save", Save)->Apply(sizes);
    benchmark::RegisterBenchmark("Memory", Memory)->Apply(sizes)->Iterations(1);
    benchmark::RegisterBenchmark("HistoryMemory", HistoryMemory)->Arg(24)->Iterations(1)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
