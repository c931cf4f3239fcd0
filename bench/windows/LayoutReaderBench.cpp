// The layout file readers on inputs built to be slow: each shape grows with N, and the fitted
// complexity shows whether reading stays linear in the file (desktop layouts through the
// store, code button layouts through their parser).
#include "windows/UserLayoutFiles.h"
#include "windows/XmlLayoutStorage.h"

#include "platform/ZentyrError.h"

#include <benchmark/benchmark.h>

#include <QByteArray>

namespace {

QByteArray Repeat(const char* piece, std::int64_t times)
{
    return QByteArray(piece).repeated(qsizetype(times));
}

const QByteArray kDeclaration = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n";

QByteArray ManyButtons(std::int64_t n)
{
    return kDeclaration + "<CodeButtons><ButtonCount>" + QByteArray::number(n) + "</ButtonCount>"
        + Repeat("<Button0><ClassName>TMachCodeButton</ClassName><Code>G0</Code></Button0>", n)
        + "</CodeButtons>";
}

// A value: many references, many comments, raw CR and controls, layout breaks before a child.
QByteArray Value(const QByteArray& inner)
{
    return kDeclaration + "<R><Desktop><MainForm><Code>" + inner
        + "</Code></MainForm></Desktop></R>";
}

enum Shape { Buttons, References, Comments, RawControls, LayoutBreaks, Brackets, OpenComment, Wide };

QByteArray Input(Shape shape, std::int64_t n)
{
    switch (shape) {
    case Buttons: return ManyButtons(n);
    case References: return Value(Repeat("&amp;&#xE9;&#x1F600;", n));
    case Comments: return Value(Repeat("a<!--c--><![CDATA[d]]>", n));
    case RawControls: return Value(Repeat("\r\x01\r\n\t", n));
    case LayoutBreaks: return Value(Repeat("\r\n    ", n) + "x<Child/>");
    case Brackets: return kDeclaration + "<!DOCTYPE R " + Repeat("[", n) + "><R/>";
    case OpenComment: return kDeclaration + "<R><!--" + Repeat("x", n);
    case Wide: return kDeclaration + "<R>" + Repeat("<desktop><MainForm/></desktop>", n) + "</R>";
    }
    return {};
}

void ReadDesktop(benchmark::State& state, Shape shape)
{
    const QByteArray bytes = Input(shape, state.range(0));
    for (auto _ : state) {
        TXmlLayoutStorage store(TXmlLayoutStorage::WriteBack::OnFlushOnly);
        store.LoadBytes(bytes);
        store.SelectSection(QStringLiteral("Desktop\\MainForm"));
        benchmark::DoNotOptimize(store.ReadString(QStringLiteral("Code"), QString()));
        benchmark::DoNotOptimize(store.FileBytes());
    }
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void ReadCodeButtons(benchmark::State& state)
{
    const QByteArray bytes = Input(Buttons, state.range(0));
    for (auto _ : state) {
        try {
            benchmark::DoNotOptimize(ParseCodeButtonLayout(bytes));
        } catch (const ZentyrError&) {
        }
    }
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

}  // namespace

#define ZENTYR_SHAPE(shape)                                                                       \
    BENCHMARK_CAPTURE(ReadDesktop, shape, shape)->RangeMultiplier(4)->Range(1 << 8, 1 << 16)->Complexity()
ZENTYR_SHAPE(Buttons);
ZENTYR_SHAPE(References);
ZENTYR_SHAPE(Comments);
ZENTYR_SHAPE(RawControls);
ZENTYR_SHAPE(LayoutBreaks);
ZENTYR_SHAPE(Brackets);
ZENTYR_SHAPE(OpenComment);
ZENTYR_SHAPE(Wide);
BENCHMARK(ReadCodeButtons)->RangeMultiplier(4)->Range(1 << 8, 1 << 16)->Complexity();

BENCHMARK_MAIN();
