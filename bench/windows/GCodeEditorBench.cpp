// The G-code editor with long programs: the time to load both views from a program the host
// has loaded (file read, text and list, with the pending layout and a repaint) and its parts,
// and the UI-thread cost of following one change of the host's current line, by program
// length. Compare CPU time with wall time: on a busy machine the wall time mostly waits.
#include "controls/MachDro.h"
#include "windows/GCodeLineList.h"
#include "windows/GCodeProgramFile.h"
#include "windows/MachGCodeForm.h"

#include "FakePlatform.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// A program of `lines` lines of typical length, written once per length.
QString ProgramFile(const QTemporaryDir& folder, int lines)
{
    const QString path = folder.filePath(QStringLiteral("P%1.tap").arg(lines));
    if (QFile::exists(path))
        return path;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    QByteArray text;
    for (int i = 0; i < lines; ++i)
        text += QStringLiteral("N%1 G1 X%2 Y%3 Z-0.0125 F25.0\r\n")
                    .arg(i)
                    .arg(i % 997 * 0.0137, 0, 'f', 4)
                    .arg(i % 613 * 0.0241, 0, 'f', 4)
                    .toLatin1();
    file.write(text);
    return path;
}

struct ShownEditor
{
    FakePlatform platform;
    std::unique_ptr<TGCodeEditor> editor = std::make_unique<TGCodeEditor>(platform.services);
    ShownEditor()
    {
        editor->show();
        QApplication::processEvents();
    }
};

QTemporaryDir& Folder()
{
    static QTemporaryDir folder;
    return folder;
}

}  // namespace

static void BM_LoadBothViews(benchmark::State& state)
{
    const QString path = ProgramFile(Folder(), int(state.range(0)));
    ShownEditor shown;
    for (auto _ : state) {
        shown.editor->ReloadFromHost(path);
        QApplication::processEvents();  // pending layouts and the repaint
        shown.editor->repaint();
    }
    if (shown.editor->CodeList()->Count() != state.range(0))
        state.SkipWithError("the list does not hold the program");
}
BENCHMARK(BM_LoadBothViews)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);

// The parts of it: reading the file, and the list alone (all that Run reloads, the text being
// the program just saved).
static void BM_ReadProgram(benchmark::State& state)
{
    const QString path = ProgramFile(Folder(), int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadProgramLines(path));
}
BENCHMARK(BM_ReadProgram)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);

static void BM_LoadList(benchmark::State& state)
{
    const QStringList lines = ReadProgramLines(ProgramFile(Folder(), int(state.range(0))));
    ShownEditor shown;
    for (auto _ : state) {
        shown.editor->CodeList()->SetLines(lines);
        QApplication::processEvents();
        shown.editor->repaint();
    }
}
BENCHMARK(BM_LoadList)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);

// One current-line change as the poll pass delivers it: the field takes the host's value and
// the list selects and scrolls. Steps through the whole program in strides.
static void BM_FollowCurrentLine(benchmark::State& state)
{
    const int lines = int(state.range(0));
    ShownEditor shown;
    shown.editor->ReloadFromHost(ProgramFile(Folder(), lines));
    QApplication::processEvents();
    TMachDro& field = *shown.editor->eLineNum();
    int line = 0;
    for (auto _ : state) {
        line = (line + 7919) % lines;
        field.SetValue(line);
    }
    if (shown.editor->CodeList()->ItemIndex() != line)
        state.SkipWithError("the selection does not follow");
}
BENCHMARK(BM_FollowCurrentLine)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// The same, with the repaint of the list that the change causes.
static void BM_FollowCurrentLineAndPaint(benchmark::State& state)
{
    const int lines = int(state.range(0));
    ShownEditor shown;
    shown.editor->ReloadFromHost(ProgramFile(Folder(), lines));
    QApplication::processEvents();
    TMachDro& field = *shown.editor->eLineNum();
    int line = 0;
    for (auto _ : state) {
        line = (line + 7919) % lines;
        field.SetValue(line);
        shown.editor->CodeList()->viewport()->repaint();
    }
}
BENCHMARK(BM_FollowCurrentLineAndPaint)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
