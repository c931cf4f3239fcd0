// Latency of a jog across the local link: from the mouse or key event that presses a jog
// direction button to its push-to-jog command reaching a real hostsim, and from the release
// (or the focus leaving the held button) to its Stop. A timing program, not a test: it starts
// its own hostsim (offscreen, private runtime folder, journal file on), opens the jog window
// as the program does, and delivers events as the window system does (focus first, the
// application's record of the mouse kept). Each case runs 1000 times; it prints p50, p99 and
// the maximum of two spans per command: event until the command leaves this process, and
// event until the host has answered it (the command reached the host within that span).
#include "app/ToolWindows.h"
#include "controls/MachJogDirButton.h"
#include "host/CMach4Wrapper.h"
#include "host/Mach4_TLB.h"
#include "host/MachUpdateThread.h"
#include "host/link/LinkDocument.h"
#include "host/link/LinkHostWindows.h"
#include "platform/NativeShell.h"
#include "platform/NativeWaiter.h"
#include "windows/MachJogForm.h"
#include "windows/ZentyrMain.h"

#include "FakePlatform.h"
#include "FakeSettingsStore.h"
#include "HostsimProcess.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Presses = 1000;

// Forwards every call to the link's script object and notes when the last DoOEMButton left
// and when its answer came back.
class TimedHost final : public IMyScriptObject
{
public:
    explicit TimedHost(std::shared_ptr<IMyScriptObject> inner) : m_inner(std::move(inner)) {}

    Clock::time_point sent;
    Clock::time_point answered;
    int lastButton = 0;

    void DeActivateSignal(int16_t signal) override { m_inner->DeActivateSignal(signal); }
    double GetVar(int16_t index) override { return m_inner->GetVar(index); }
    void Code(const QString& text) override { m_inner->Code(text); }
    bool IsMoving() override { return m_inner->IsMoving(); }
    void DoOEMButton(int16_t code) override
    {
        lastButton = code;
        sent = Clock::now();
        m_inner->DoOEMButton(code);
        answered = Clock::now();
    }
    void DoButton(int16_t number) override { m_inner->DoButton(number); }
    bool GetOEMLed(int16_t code) override { return m_inner->GetOEMLed(code); }
    double GetOEMDRO(int16_t code) override { return m_inner->GetOEMDRO(code); }
    void SetOEMDRO(int16_t code, double value) override { m_inner->SetOEMDRO(code, value); }
    int16_t IsLoading() override { return m_inner->IsLoading(); }
    void SetButtonText(const QString& text) override { m_inner->SetButtonText(text); }
    void Message(const QString& text) override { m_inner->Message(text); }
    QString FileName() override { return m_inner->FileName(); }
    void LoadFile(const QString& path) override { m_inner->LoadFile(path); }

private:
    std::shared_ptr<IMyScriptObject> m_inner;
};

struct Spans
{
    std::vector<double> toSent;
    std::vector<double> toAnswered;
};

double Micros(Clock::duration span)
{
    return std::chrono::duration<double, std::micro>(span).count();
}

void Print(const char* name, Spans spans)
{
    const auto line = [&](const char* what, std::vector<double>& values) {
        std::sort(values.begin(), values.end());
        const auto at = [&](double share) {
            return values.at(std::min(values.size() - 1, std::size_t(share * values.size())));
        };
        std::printf("%-32s %-9s n=%zu  p50 %8.1f us  p99 %8.1f us  max %8.1f us\n", name, what,
                    values.size(), at(0.50), at(0.99), values.back());
    };
    line("leaves", spans.toSent);
    line("answered", spans.toAnswered);
}

class Bench
{
public:
    bool Start()
    {
        if (!m_hostsim.Start())
            return false;
        m_settings.values[QStringLiteral("Mach Location")] = HostsimProcess::ProgramPath();
        m_settings.values[QStringLiteral("Mach Profile")] = QStringLiteral("Mach3Mill");
        m_window = std::make_unique<TForm1>(ZentyrContext{
            m_platform, m_documents, m_settings, m_folder.filePath(QStringLiteral("zentyr")),
            m_folder.filePath(QStringLiteral("Zentyr.dsktp")), QString(), QString()});
        PlugToolWindows(*m_window);
        m_window->FormCreate();
        if (!m_window->wMach().Connected())
            return false;
        m_window->wMach().EnableMachine();
        m_window->OpenToolWindow(TForm1::ToolWindow::Jog);
        m_jog = qobject_cast<TJogForm*>(
            m_window->ToolWindowSlot(TForm1::ToolWindow::Jog).Window());
        if (!m_jog || !QTest::qWaitForWindowActive(m_jog))
            return false;
        // Polling is held: a pass run inside a measured span would be counted as jog latency.
        m_window->wMach().UpdateThread()->Suspend();
        m_host = std::make_shared<TimedHost>(m_window->wMach().iMach());
        for (int n = 1; n <= TJogForm::ButtonCount; ++n) {
            m_jog->MachJogDirButton(n)->BindMach(m_host, nullptr);
            m_jog->MachJogDirButton(n)->SetJogContinuous(true);
        }
        return true;
    }

    void Run()
    {
        TMachJogDirButton* xPlus = m_jog->MachJogDirButton(1);
        TMachJogDirButton* xMinus = m_jog->MachJogDirButton(4);
        TMachJogDirButton* elsewhere = m_jog->MachJogDirButton(6);
        Spans mousePress, mouseRelease, keyPress, keyRelease, focusPress, focusLoss;

        // Alternate directions so the machine stays near its start.
        for (int i = 0; i < Presses; ++i) {
            TMachJogDirButton* button = i % 2 ? xMinus : xPlus;
            Measure(mousePress, [&] { Mouse(true, button); });
            Measure(mouseRelease, [&] { Mouse(false, button); });
        }
        for (int i = 0; i < Presses; ++i) {
            TMachJogDirButton* button = i % 2 ? xMinus : xPlus;
            button->setFocus(Qt::TabFocusReason);
            Measure(keyPress, [&] { Key(true, button); });
            Measure(keyRelease, [&] { Key(false, button); });
        }
        for (int i = 0; i < Presses; ++i) {
            TMachJogDirButton* button = i % 2 ? xMinus : xPlus;
            Measure(focusPress, [&] { Mouse(true, button); });
            Measure(focusLoss, [&] { elsewhere->setFocus(Qt::TabFocusReason); });
            Mouse(false, button);
        }
        Print("mouse press -> jog command", mousePress);
        Print("mouse release -> Stop", mouseRelease);
        Print("space key-down -> jog command", keyPress);
        Print("space key-up -> Stop", keyRelease);
        Print("focus loss (held jog) -> Stop", focusLoss);
    }

    void Close() { m_window->close(); }

private:
    void Measure(Spans& spans, const std::function<void()>& event)
    {
        m_host->lastButton = 0;
        const Clock::time_point start = Clock::now();
        event();
        if (m_host->lastButton == 0) {
            std::fprintf(stderr, "an event sent no command\n");
            return;
        }
        spans.toSent.push_back(Micros(m_host->sent - start));
        spans.toAnswered.push_back(Micros(m_host->answered - start));
    }

    static void Mouse(bool press, QWidget* target)
    {
        QWidget* top = target->window();
        const QPoint at = target->mapTo(top, target->rect().center());
        if (press)
            QTest::mousePress(top->windowHandle(), Qt::LeftButton, {}, at);
        else
            QTest::mouseRelease(top->windowHandle(), Qt::LeftButton, {}, at);
    }

    static void Key(bool press, QWidget* target)
    {
        QWindow* window = target->window()->windowHandle();
        if (press)
            QTest::keyPress(window, Qt::Key_Space);
        else
            QTest::keyRelease(window, Qt::Key_Space);
    }

    HostsimProcess m_hostsim;
    QTemporaryDir m_folder;
    hostlink::LinkDocumentFactory m_documents;
    hostlink::LinkHostWindows m_hostWindows;
    NativeShell m_shell;
    NativeWaiter m_waiter;
    FakePlatform m_fakes;
    PlatformServices m_platform{m_hostWindows, m_shell,         m_fakes.fileDialogs,
                                m_fakes.messageBoxes, m_fakes.inputBox, m_waiter};
    FakeSettingsStore m_settings;
    std::unique_ptr<TForm1> m_window;
    TJogForm* m_jog = nullptr;
    std::shared_ptr<TimedHost> m_host;
};

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Bench bench;
    if (!bench.Start()) {
        std::fprintf(stderr, "hostsim did not start or the jog window did not open\n");
        return 1;
    }
    bench.Run();
    bench.Close();
    return 0;
}
