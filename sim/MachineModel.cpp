#include "sim/MachineModel.h"

#include "sim/HostFiles.h"
#include "sim/MachineState.h"
#include "sim/OemFunctions.h"
#include "sim/SimLog.h"

#include <QDir>
#include <QFileInfo>

#include <chrono>

namespace hostsim {

namespace {

qint64 SteadyNowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QString MacroFolderOf(const QString& controllerFolder, const QString& profile)
{
    if (controllerFolder.isEmpty())
        return {};
    return QDir(controllerFolder)
               .filePath(QStringLiteral("Macros/") + ProfileFolderName(profile))
           + u'/';
}

}  // namespace

// ---- Clocks ----

SteadyClock::SteadyClock() : m_startNs(SteadyNowNs()) {}

qint64 SteadyClock::NowMs() const
{
    return (SteadyNowNs() - m_startNs) / 1000000;
}

// ---- Machine state ----

MachineState::MachineState(const IClock& clockSource, const QString& folder,
                           const QString& profileName)
    : clock(clockSource),
      controllerFolder(folder),
      profile(profileName),
      macroFolder(MacroFolderOf(folder, profileName)),
      executor(settings, log, probe)
{
}

QString MachineState::MacroFile(int number) const
{
    return macroFolder.isEmpty() ? QString() : macroFolder + QStringLiteral("M%1.m1s").arg(number);
}

// ---- Construction ----

MachineModel::MachineModel(const IClock& clock, const QString& controllerFolder,
                           const QString& profile)
    : m_state(std::make_unique<MachineState>(clock, controllerFolder, profile))
{
    MachineState& s = *m_state;
    if (!controllerFolder.isEmpty()) {
        // Without these folders programs and macros cannot be found; the simulator still runs.
        if (!QDir(controllerFolder).mkpath(QStringLiteral("GCode")) || !QDir().mkpath(s.macroFolder))
            qCWarning(lcSim).noquote() << "Cannot create the program and macro folders in"
                                       << controllerFolder;
    }
    MachineState* state = m_state.get();
    s.executor.SetMacroHooks(
        [state](int number, int depth) { RunMacroFile(*state, number, depth); },
        [state](int number) {
            const QString file = state->MacroFile(number);
            return !file.isEmpty() && QFileInfo(file).isFile();
        });
    Advance();
}

MachineModel::~MachineModel() = default;

// ---- Simulation ----

void MachineModel::Advance()
{
    MachineState& s = *m_state;
    const qint64 now = s.clock.NowMs();
    if (now <= s.lastNowMs)
        return;  // nothing changes without time; a clock that goes back is ignored
    s.lastNowMs = now;
    if (s.loadingUntilMs >= 0 && now >= s.loadingUntilMs) {
        s.loadingUntilMs = -1;
        s.executor.LoadProgram(s.loadingLines);
        s.loadingLines.clear();
    }
    s.executor.Advance(static_cast<double>(now));
}

// ---- The script operations ----

void MachineModel::DeActivateSignal(int)
{
    Advance();  // output signals are not modelled
}

double MachineModel::GetVar(int index)
{
    Advance();
    return m_state->settings.variables.value(index, 0.0);
}

void MachineModel::Code(const QString& text)
{
    Advance();
    RunHostCode(*m_state, text, 0);
}

bool MachineModel::IsMoving()
{
    Advance();
    return m_state->executor.IsBusy();
}

void MachineModel::DoOEMButton(int code)
{
    Advance();
    PressOemButton(*m_state, code, 0);
}

void MachineModel::DoButton(int)
{
    Advance();  // the host's own user buttons are not modelled
}

bool MachineModel::GetOEMLed(int code)
{
    Advance();
    return ReadOemLed(*m_state, code);
}

double MachineModel::GetOEMDRO(int code)
{
    Advance();
    return ReadOemDro(*m_state, code);
}

void MachineModel::SetOEMDRO(int code, double value)
{
    Advance();
    WriteOemDro(*m_state, code, value);
}

int MachineModel::IsLoading()
{
    Advance();
    return m_state->loadingUntilMs >= 0 ? 1 : 0;
}

void MachineModel::SetButtonText(const QString& text)
{
    Advance();
    m_state->buttonText = text;
}

void MachineModel::Message(const QString& text)
{
    Advance();
    m_state->log.Add(text);
}

QString MachineModel::FileName()
{
    Advance();
    return m_state->fileName.isEmpty() ? QStringLiteral("No File Loaded.") : m_state->fileName;
}

void MachineModel::LoadFile(const QString& path)
{
    Advance();
    MachineState& s = *m_state;
    if (s.executor.ProgramRunning()) {
        s.log.Add(QStringLiteral("Load of \"%1\" ignored, a program is running").arg(path));
        return;
    }
    // The controller opens relative paths from its own folder, which is its working folder.
    const QString file = QFileInfo(path).isRelative() && !s.controllerFolder.isEmpty()
                             ? QDir(s.controllerFolder).filePath(path)
                             : path;
    QStringList lines;
    QString problem;
    if (!ReadTextLines(file, MaxProgramFileBytes, lines, problem)) {
        s.log.Add(QStringLiteral("Unable to load \"%1\": %2").arg(path, problem));
        return;
    }
    s.executor.CloseProgram();
    s.fileName = path;
    s.loadingLines = lines;
    s.loadingUntilMs = s.lastNowMs + LoadingMs;
}

// ---- For the window and tests ----

QString MachineModel::ControllerFolder() const
{
    return m_state->controllerFolder;
}

QString MachineModel::Profile() const
{
    return m_state->profile;
}

QString MachineModel::MacroFolder() const
{
    return m_state->macroFolder;
}

ProbeTarget MachineModel::GetProbeTarget() const
{
    return m_state->probe;
}

void MachineModel::SetProbeTarget(const ProbeTarget& target)
{
    m_state->probe = NormalisedProbeTarget(target);
}

AxisState MachineModel::Axis(int axis) const
{
    if (axis < 0 || axis >= AxisCount)
        return {};
    const MachineState& s = *m_state;
    const auto index = static_cast<size_t>(axis);
    const double machine = s.executor.Position()[index];
    return {machine, machine - s.settings.offset[index], s.settings.referenced[index]};
}

bool MachineModel::InReset() const
{
    return m_state->settings.reset;
}

QString MachineModel::StatusLine() const
{
    return m_state->log.Last();
}

QStringList MachineModel::MessageHistory() const
{
    return m_state->log.History();
}

qint64 MachineModel::MessageCount() const
{
    return m_state->log.Count();
}

QStringList MachineModel::MessagesSince(qint64 count) const
{
    return m_state->log.Since(count);
}

int MachineModel::CurrentLine() const
{
    return m_state->executor.ProgramLine();
}

QStringList MachineModel::LoadedLines() const
{
    return m_state->executor.ProgramLines();
}

bool MachineModel::ProgramRunning() const
{
    return m_state->executor.ProgramRunning();
}

QString MachineModel::ButtonText() const
{
    return m_state->buttonText;
}

}  // namespace hostsim
