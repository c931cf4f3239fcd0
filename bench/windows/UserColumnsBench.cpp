// The user-built windows: the time from asking for the user buttons window, with a default
// layout of 200 buttons, to a shown, bound and polled column; reading such a layout into an
// open window; and the UI-thread cost of a poll pass per control for 200 user buttons and 200
// user lamps, with nothing changing and with every state changing, against the in-process
// recording host and (lamps, which read the host) across the link to a real hostsim.
#include "controls/MachButtonToggle.h"
#include "host/CMach4Wrapper.h"
#include "host/MachUpdateThread.h"
#include "host/link/LinkDocument.h"
#include "windows/MachLEDForm.h"
#include "windows/MachUserButtonForm.h"
#include "windows/UserColumn.h"
#include "windows/UserLayoutFiles.h"
#include "windows/XmlLayoutStorage.h"

#include "FakePlatform.h"
#include "HostsimProcess.h"
#include "MainWindowHarness.h"
#include "RecordingHost.h"

#include <QApplication>
#include <QFile>

#include <benchmark/benchmark.h>

namespace {

constexpr int ColumnSize = 200;

QByteArray TwoHundredButtons()
{
    TCodeButtonLayout layout;
    layout.placement.top = 27;
    layout.placement.left = 519;
    for (int i = 0; i < ColumnSize; ++i) {
        const auto kind = static_cast<TCodeButtonKind>(i % 3);
        layout.buttons.append({kind, QStringLiteral("Button %1").arg(i),
                               QStringLiteral("G0 X%1\nG0 Y%1").arg(i),
                               static_cast<TmcOEMButtontype>(i % OEMButtonKindCount)});
    }
    return FormatCodeButtonLayout(layout);
}

// A main window on the recording host whose desktop names a default layout of 200 buttons.
struct MainWithDefaultLayout : MainWindowHarness
{
    MainWithDefaultLayout()
    {
        host->keepJournal = false;
        const QString file = folder.filePath(QStringLiteral("bench.cbl"));
        QFile out(file);
        if (out.open(QIODevice::WriteOnly))
            out.write(TwoHundredButtons());
        out.close();
        {
            TXmlLayoutStorage desktop(LayoutPath());
            desktop.SelectSection(TUserCodeButtonsForm::DesktopSection);
            desktop.WriteString(QStringLiteral("Layoutfile"), file);
        }
        HostRunning(QStringLiteral("Bench"));
        Start({}, {}, true);
    }
};

void BM_OpenWithDefaultLayoutToPolledColumn(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto main = std::make_unique<MainWithDefaultLayout>();
        QApplication::processEvents();
        state.ResumeTiming();

        main->window->OpenToolWindow(TForm1::ToolWindow::UserButtons);
        QApplication::processEvents();  // shown and painted
        main->window->wMach().UpdateThread()->PollPass();

        state.PauseTiming();
        auto* form = qobject_cast<TUserCodeButtonsForm*>(
            main->window->ToolWindowSlot(TForm1::ToolWindow::UserButtons).Window());
        if (!form || form->ButtonCount() != ColumnSize || !form->isVisible())
            state.SkipWithError("the column did not open");
        main.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenWithDefaultLayoutToPolledColumn)->Unit(benchmark::kMillisecond);

// A standalone window and update thread over one script object.
template <typename Form>
struct Column
{
    FakePlatform platform;
    std::shared_ptr<RecordingHost> recording = std::make_shared<RecordingHost>();
    RecordingDocumentFactory recordingDocuments{recording};
    std::unique_ptr<hostlink::LinkDocumentFactory> linkDocuments;
    std::unique_ptr<IMach4Document> linkDocument;
    std::unique_ptr<TMachUpdateThread> thread;
    std::unique_ptr<Form> form;

    explicit Column(HostsimProcess* hostsim = nullptr)
    {
        recording->keepJournal = false;
        std::shared_ptr<IMyScriptObject> mach = recording;
        IMach4DocumentFactory* documents = &recordingDocuments;
        if (hostsim) {
            linkDocuments = std::make_unique<hostlink::LinkDocumentFactory>();
            linkDocument = hostsim->Connect();
            mach = linkDocument->GetScriptObject();
            documents = linkDocuments.get();
        }
        thread = std::make_unique<TMachUpdateThread>(*documents);
        form = std::make_unique<Form>(platform.services);
        form->SetIMach(mach);
        form->SetUpdateThread(thread.get());
        form->show();
    }
    void ReportPerControl(benchmark::State& state) const
    {
        state.counters["controls"] = static_cast<double>(thread->Registrations().size());
        state.counters["ns_per_control"] = benchmark::Counter(
            static_cast<double>(thread->Registrations().size()) *
                static_cast<double>(state.iterations()),
            benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    }
};

void BM_ReadLayoutOf200ButtonsIntoOpenWindow(benchmark::State& state)
{
    Column<TUserCodeButtonsForm> column;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bench.cbl"));
    QFile out(file);
    if (out.open(QIODevice::WriteOnly))
        out.write(TwoHundredButtons());
    out.close();
    for (auto _ : state) {
        column.form->ReadLayoutFile(file);
        QApplication::processEvents();
        column.thread->PollPass();
    }
}
BENCHMARK(BM_ReadLayoutOf200ButtonsIntoOpenWindow)->Unit(benchmark::kMillisecond);

void BM_PollPass200Buttons(benchmark::State& state)
{
    const bool changing = state.range(0) != 0;
    Column<TUserCodeButtonsForm> column;
    for (int i = 0; i < ColumnSize; ++i)
        column.form->AddButton(static_cast<TCodeButtonKind>(i % 3));
    column.thread->PollPass();
    int tick = 0;
    for (auto _ : state) {
        // Reset flips every pass, and with it every button's enabled state.
        if (changing)
            column.recording->leds[800] = ++tick % 2 == 0;
        column.thread->PollPass();
    }
    column.ReportPerControl(state);
}
BENCHMARK(BM_PollPass200Buttons)->ArgName("changing")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void SetUpLamps(Column<TUserLEDsForm>& column)
{
    for (int i = 0; i < ColumnSize; ++i) {
        column.form->AddLed()->SetOEMLEDtype(
            static_cast<TmcOEMLEDtype>(1 + i % (OEMLEDKindCount - 1)));
    }
    column.thread->PollPass();
}

void BM_PollPass200Lamps(benchmark::State& state)
{
    const bool changing = state.range(0) != 0;
    Column<TUserLEDsForm> column;
    SetUpLamps(column);
    int tick = 0;
    for (auto _ : state) {
        if (changing) {
            const bool lit = ++tick % 2 == 0;
            for (int i = 0; i < ColumnSize; ++i)
                column.recording->leds[column.form->Led(i)->LEDCode()] = lit;
        }
        column.thread->PollPass();
    }
    column.ReportPerControl(state);
}
BENCHMARK(BM_PollPass200Lamps)->ArgName("changing")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_PollPass200LampsOverTheLink(benchmark::State& state)
{
    const bool changing = state.range(0) != 0;
    HostsimProcess hostsim;
    if (!hostsim.Start()) {
        state.SkipWithError("hostsim did not start");
        return;
    }
    Column<TUserLEDsForm> column(&hostsim);
    SetUpLamps(column);
    IMyScriptObject& host = *column.form->iMach();
    for (auto _ : state) {
        if (changing) {
            state.PauseTiming();
            host.DoOEMButton(113);  // flood flips, and with it the lamps on the flood LED
            host.DoOEMButton(1021);  // reset flips
            state.ResumeTiming();
        }
        column.thread->PollPass();
    }
    column.ReportPerControl(state);
}
BENCHMARK(BM_PollPass200LampsOverTheLink)->ArgName("changing")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

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
