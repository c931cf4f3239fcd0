// The toolpath preview of programs with 100,000 moves, on the UI thread's side: parsing the
// text, parsing plus the first paint of a 640 x 480 view, and a repaint after a resize (the
// pixel cache is rebuilt). Two programs: a platen cut from the bamboo generator (25,000
// passes whose strokes overlap on screen) and a 3D finishing raster whose moves are nearly all
// distinct on screen.
#include "bamboo/BambooGCode.h"
#include "preview/GCodeToolpath.h"
#include "preview/ToolpathView.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>

namespace {

QByteArray PlatenProgram()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Platen.tap"));
    // 0.25 removed in passes of 0.00001: 25,000 roughing passes of four moves each.
    WritePlatenCutFile(path, 1.0, 0.5, 0.6, 60.0, 0.25, 0.00001, 0.0, 100, 60, 20);
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

QByteArray RasterProgram()
{
    QByteArray text = "G0 Z1.0000\r\nG0 X0.0000 Y0.0000\r\nG1 F60.0000 Z0.0000\r\n";
    const int rows = 500;
    const int perRow = 199;  // moves along a row, plus the step to the next row
    for (int row = 0; row < rows; ++row) {
        const double y = row * 0.01;
        for (int i = 1; i <= perRow; ++i) {
            const int column = row % 2 == 0 ? i : perRow - i;
            const double x = column * 0.05;
            const double z = -0.2 + 0.15 * std::sin(x * 0.9) * std::cos(y * 1.3);
            text += "G1 X" + QByteArray::number(x, 'f', 4) + " Z" + QByteArray::number(z, 'f', 4)
                    + "\r\n";
        }
        text += "G1 Y" + QByteArray::number(y + 0.01, 'f', 4) + "\r\n";
    }
    return text;
}

const QByteArray& Program(int which)
{
    static const QByteArray platen = PlatenProgram();
    static const QByteArray raster = RasterProgram();
    return which == 0 ? platen : raster;
}

void Label(benchmark::State& state, const TToolpath& path)
{
    state.SetLabel((state.range(0) == 0 ? "platen, " : "raster, ")
                   + std::to_string(path.moves.size()) + " moves");
}

void BM_Parse(benchmark::State& state)
{
    const QByteArray& text = Program(int(state.range(0)));
    std::size_t moves = 0;
    for (auto _ : state) {
        const TToolpath path = ReadToolpath(text);
        moves = path.moves.size();
        benchmark::DoNotOptimize(moves);
    }
    Label(state, ReadToolpath(text));
}

void BM_ParseAndFirstPaint(benchmark::State& state)
{
    const QByteArray& text = Program(int(state.range(0)));
    QImage image(640, 480, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        TToolpathView view;
        view.resize(640, 480);
        view.SetToolpath(std::make_shared<const TToolpath>(ReadToolpath(text)));
        view.render(&image);
    }
    Label(state, ReadToolpath(text));
}

void BM_RepaintOnResize(benchmark::State& state)
{
    const QByteArray& text = Program(int(state.range(0)));
    TToolpathView view;
    view.SetToolpath(std::make_shared<const TToolpath>(ReadToolpath(text)));
    QImage image(680, 520, QImage::Format_ARGB32_Premultiplied);
    bool larger = false;
    for (auto _ : state) {
        larger = !larger;
        view.resize(larger ? QSize(680, 520) : QSize(640, 480));
        view.render(&image);
    }
    Label(state, *view.Toolpath());
}

BENCHMARK(BM_Parse)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseAndFirstPaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintOnResize)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
