// Time to switch the program's skin, from the call until every shown window has been
// restyled and repainted: the main window with every tool window the program offers open and
// both dialogs shown, and the same with stand-in windows that each hold one more operator panel
// (a load like that of the tool windows). Cycles through the built-in skins, so style changes
// (to and from the high-contrast skin) and sheet-only changes both count.
#include "app/ToolWindows.h"
#include "windows/ACSkinsDlg.h"
#include "windows/MainPanel.h"
#include "windows/SkinManager.h"
#include "windows/ZentyrAbout.h"
#include "windows/ZentyrMain.h"

#include "MainWindowHarness.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

struct Program : MainWindowHarness
{
    std::vector<std::unique_ptr<QWidget>> standIns;

    explicit Program(int standInWindows)
    {
        host->keepJournal = false;
        HostRunning(QStringLiteral("Bench"));
        Start({}, {}, true);
        window->show();
        for (int i = 0; i < static_cast<int>(TForm1::ToolWindow::Count); ++i) {
            const auto which = static_cast<TForm1::ToolWindow>(i);
            if (window->ToolWindowSlot(which).Available())
                window->OpenToolWindow(which);
        }
        if (auto* about = window->findChild<TMachAboutDlg*>())
            about->show();
        if (auto* skins = window->findChild<TSkinDlg*>()) {
            skins->SetSkinManager(&window->sSkinManager1());
            skins->show();
        }
        for (int i = 0; i < standInWindows; ++i) {
            auto standIn = std::make_unique<QWidget>();
            new TMainPanel(&window->wMach(), platform.services, standIn.get());
            standIn->show();
            standIns.push_back(std::move(standIn));
        }
        QApplication::processEvents();
    }
};

void BM_SkinSwitch(benchmark::State& state)
{
    Program program(static_cast<int>(state.range(0)));
    TSkinManager& manager = program.window->sSkinManager1();
    const QStringList names = manager.SkinNames().mid(0, manager.InternalSkinCount());
    qsizetype next = 0;
    for (auto _ : state) {
        next = (next + 1) % names.size();
        manager.SetSkinName(names[next]);
        QApplication::processEvents();
    }
    state.counters["widgets"] = static_cast<double>(QApplication::allWidgets().size());
}
BENCHMARK(BM_SkinSwitch)->Arg(0)->Arg(5)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
