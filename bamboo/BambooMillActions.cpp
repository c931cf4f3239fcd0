#include "bamboo/BambooMillActions.h"

#include "bamboo/BambooGCode.h"
#include "controls/MachButtonCodeRun.h"
#include "host/CMach4Wrapper.h"
#include "host/Mach4_TLB.h"
#include "host/MachConstants.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"
#include "platform/Waiter.h"
#include "platform/ZentyrError.h"

#include <QDir>

namespace {

const int GotoSafeZ = OEMButtonCode(obtGoto_Safe_Z);
const int RegenToolpath = OEMButtonCode(obtRegen_toolpath_display);
const int CloseCurrentFile = OEMButtonCode(obtClose_current_file);
const int ZeroXButton = OEMButtonCode(obtZero_X);
const int ZeroYButton = OEMButtonCode(obtZero_Y);
const int ZeroZButton = OEMButtonCode(obtZero_Z);
const int XDro = OEMDROCode(odtX);
const int YDro = OEMDROCode(odtY);
const int ZDro = OEMDROCode(odtZ);
const int FeedrateDro = OEMDROCode(odtFeedrate);
const int RapidDro = OEMDROCode(odtRapid_feedrate);
constexpr int ProbeContactY = 2001;
constexpr int ProbeContactZ = 2002;

// The fixed feeds of the one finishing stroke that removes another thousandth.
constexpr double ThousandthCutFeed = 40;
constexpr double ThousandthPlungeFeed = 15;
constexpr double ThousandthRapidFeed = 60;

const QString PlatenChecklistText =
    QStringLiteral("Not all Prepartory Actions Have Been Fullfilled");
const QString ChecklistText =
    QStringLiteral("Not All Prepatory Operations Have Been Performed");

QString F(double value)
{
    return FormatFixed4(value);
}

}  // namespace

// One operation: marks the actions busy for its lifetime and lets the window know, unless the
// owner went while the operation paused.
class TBambooMillActions::Operation
{
public:
    explicit Operation(TBambooMillActions& actions) : m_actions(actions), m_life(actions.m_life)
    {
        m_actions.m_busy = true;
        m_actions.m_form.SetBusy(true);
    }
    ~Operation()
    {
        if (m_life.expired())
            return;
        m_actions.m_busy = false;
        m_actions.m_form.SetBusy(false);
    }
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;

private:
    TBambooMillActions& m_actions;
    std::weak_ptr<int> m_life;
};

TBambooMillActions::TBambooMillActions(TCMach4Wrapper& wMach,
                                       std::shared_ptr<IMyScriptObject> iMach,
                                       PlatformServices& platform, IBambooMillForm& form)
    : m_wMach(wMach), m_iMach(std::move(iMach)), m_platform(platform), m_form(form)
{
}

TBambooMillActions::~TBambooMillActions() = default;

template <typename Step>
void TBambooMillActions::Run(Step&& step)
{
    if (m_busy)
        return;
    try {
        Operation operation(*this);
        step();
    } catch (const Abandoned&) {
        // The owner is gone: nothing of it may be touched any more.
    }
}

IMyScriptObject& TBambooMillActions::Mach() const
{
    if (!m_iMach)
        throw ZentyrError(QStringLiteral("IMach not Set"));
    return *m_iMach;
}

void TBambooMillActions::Pause(int ms)
{
    const std::weak_ptr<int> life = m_life;
    IWaiter& waiter = m_platform.waiter;
    waiter.SleepProcessingEvents(ms);
    if (life.expired())
        throw Abandoned();
}

bool TBambooMillActions::Refuse(bool refused, const QString& text, bool warning)
{
    if (refused) {
        m_platform.messageBoxes.Show(warning ? IMessageBoxes::Kind::Warning
                                             : IMessageBoxes::Kind::Information,
                                     text, IMessageBoxes::Buttons::Ok);
    }
    return refused;
}

// A pass depth of 0 or less never reaches the floor of the programs' step-down; it is refused
// here, before anything goes to the host.
bool TBambooMillActions::RefusePassDepth(BambooField field, const QString& name)
{
    return Refuse(!(Field(field) > 0.0),
                  QStringLiteral("%1 must be greater than 0: a pass of %2 in never reaches "
                                 "the depth.")
                      .arg(name, F(Field(field))),
                  true);
}

double TBambooMillActions::Field(BambooField field) const
{
    return m_form.FieldValue(field);
}

double TBambooMillActions::Feed(BambooFeed feed) const
{
    return static_cast<double>(m_form.FeedValue(feed));
}

// Loading pauses with window events too; the owner may go meanwhile.
void TBambooMillActions::LoadProgram(const QString& path)
{
    const std::weak_ptr<int> life = m_life;
    m_wMach.LoadGCodeFile(path);
    if (life.expired())
        throw Abandoned();
}

void TBambooMillActions::Generated(const QString& path, double stockTop)
{
    m_form.ProgramWritten(path, stockTop);
}

QString TBambooMillActions::InGCodeFolder(const QString& name) const
{
    return m_wMach.MachDir() + QStringLiteral("GCode") + QDir::separator() + name;
}

QString TBambooMillActions::PlatenPath() const
{
    return InGCodeFolder(QStringLiteral("Platen Cut.tap"));
}

QString TBambooMillActions::TestHeightPath() const
{
    return m_wMach.MachDir() + QStringLiteral("Test Height Cut.tap");
}

QString TBambooMillActions::MortisePath() const
{
    return InGCodeFolder(QStringLiteral("ReelSeatMortise.tap"));
}

// ---- Waiting and probing ----

bool TBambooMillActions::WaitForMotion()
{
    while (Mach().IsMoving()) {
        Pause(MotionPauseMs);
        const bool stopped = m_wMach.Stopped();
        if (stopped || StopRequested) {
            StopRequested = false;
            m_wMach.StatusMessage(QStringLiteral("Probing Halted"));
            return false;
        }
    }
    return true;
}

std::optional<double> TBambooMillActions::ProbeYCentre()
{
    m_wMach.StatusMessage(QStringLiteral("Probing Y axis"));
    const double y0 = m_wMach.ReadDRO(YDro);
    m_wMach.SendCode(QStringLiteral("g31 F1 Y") + F(y0 + 0.2));
    if (!WaitForMotion())
        return std::nullopt;
    Pause(ProbeSettleMs);
    const double first = m_wMach.GetVariable(ProbeContactY);
    m_wMach.SendCode(QStringLiteral("G01 Y") + F(y0));
    if (!WaitForMotion())
        return std::nullopt;
    m_wMach.StatusMessage(QStringLiteral("Reversing Y Probe"));
    Pause(ProbeSettleMs);
    m_wMach.SendCode(QStringLiteral("g31 F1 Y") + F(y0 - 0.2));
    if (!WaitForMotion())
        return std::nullopt;
    Pause(ProbeSettleMs);
    const double second = m_wMach.GetVariable(ProbeContactY);
    const double centre = first - (first - second) / 2.0;
    m_wMach.StatusMessage(QStringLiteral("Centering Y"));
    m_wMach.SendCode(QStringLiteral("G01 F1 Y") + F(centre));
    if (!WaitForMotion())
        return std::nullopt;
    return m_wMach.ReadDRO(YDro);
}

std::optional<double> TBambooMillActions::ProbeZ()
{
    m_wMach.SendCode(QStringLiteral("g31 z-10"));
    if (!WaitForMotion())
        return std::nullopt;
    const double contact = m_wMach.GetVariable(ProbeContactZ);
    if (!WaitForMotion())
        return std::nullopt;
    return contact;
}

// ---- Operations ----

void TBambooMillActions::SafeZ()
{
    Run([this] { m_wMach.PressOEMButton(GotoSafeZ); });
}

void TBambooMillActions::CutPlaten()
{
    Run([this] {
        const bool ready = m_form.Ticked(BambooCheck::InstallPlaten)
                           && m_form.Ticked(BambooCheck::StraightBit)
                           && m_form.Ticked(BambooCheck::JogBeginX)
                           && m_form.Ticked(BambooCheck::JogBeginZ);
        if (Refuse(!ready, PlatenChecklistText, true)
            || RefusePassDepth(BambooField::PlatenPass, QStringLiteral("Pass Cut")))
            return;
        m_wMach.PressOEMButton(CloseCurrentFile);
        const double x = m_wMach.ReadDRO(XDro);
        const double z = m_wMach.ReadDRO(ZDro);
        const double safeZ = m_wMach.ReadDRO(ZDro) + 0.1;
        const QString path = PlatenPath();
        WritePlatenCutFile(path, x, z, safeZ, Field(BambooField::PlatenLength),
                           Field(BambooField::PlatenRemove), Field(BambooField::PlatenPass),
                           Field(BambooField::PlatenFinal), Feed(BambooFeed::Rapid),
                           Feed(BambooFeed::Feed), Feed(BambooFeed::Plunge));
        Generated(path, z);
        LoadProgram(path);
    });
}

void TBambooMillActions::Probe()
{
    Run([this] {
        // The two feeds go to the host before the checklist is looked at.
        Mach().SetOEMDRO(MachInt16(FeedrateDro), Feed(BambooFeed::Feed));
        Mach().SetOEMDRO(MachInt16(RapidDro), Feed(BambooFeed::Rapid));
        const bool ready = m_form.Ticked(BambooCheck::PositionStandard)
                           && m_form.Ticked(BambooCheck::StraddleStandard)
                           && m_form.Ticked(BambooCheck::JogZToStandard);
        if (Refuse(!ready, ChecklistText, false))
            return;
        StopRequested = false;
        if (!ProbeYCentre())
            return;
        if (m_wMach.Stopped())
            return;
        ProbeZ();
    });
}

void TBambooMillActions::ResetZToStandard()
{
    Run([this] { m_wMach.WriteDRO(ZDro, Field(BambooField::StdHeight)); });
}

void TBambooMillActions::JogToStartToggled()
{
    m_form.SetActualEnabled(false);
}

void TBambooMillActions::CutTestHeight()
{
    Run([this] {
        if (RefusePassDepth(BambooField::TestPass, QStringLiteral("Pass Cut")))
            return;
        const double startHeight = Field(BambooField::StartHeight);
        const double z = m_wMach.ReadDRO(ZDro);
        if (Refuse(!(z - startHeight > 0.0),
                   QStringLiteral("Current Z value equals or is less than target Value"), true)
            || Refuse(!m_form.Ticked(BambooCheck::JogToStart), ChecklistText, false))
            return;
        m_form.SetFieldValue(BambooField::Actual, 0.0);
        m_wMach.PressOEMButton(CloseCurrentFile);
        Pause(CloseFileSettleMs);
        const double x = m_wMach.ReadDRO(XDro);
        const QString path = TestHeightPath();
        WriteTestHeightCutFile(path, x, startHeight, startHeight + 0.2,
                               Field(BambooField::TestLength), Field(BambooField::FinalDepth),
                               Field(BambooField::TestPass), Field(BambooField::TestFinal),
                               Feed(BambooFeed::Rapid), Feed(BambooFeed::Feed),
                               Feed(BambooFeed::Plunge));
        Generated(path, startHeight);
        LoadProgram(path);
        m_wMach.PressOEMButton(RegenToolpath);
        m_form.SetActualEnabled(true);
    });
}

void TBambooMillActions::SetZToActual()
{
    Run([this] { m_wMach.WriteDRO(ZDro, Field(BambooField::Actual)); });
}

void TBambooMillActions::SetXToZero()
{
    Run([this] {
        if (!Refuse(!m_form.Ticked(BambooCheck::SplineJogBegin), ChecklistText, false))
            m_wMach.PressOEMButton(ZeroXButton);
    });
}

void TBambooMillActions::ProbeSeat()
{
    Run([this] {
        if (Refuse(!m_form.Ticked(BambooCheck::SeatStraddle)
                       || !m_form.Ticked(BambooCheck::SeatJogToXStart),
                   ChecklistText, false))
            return;
        StopRequested = false;
        const QString failed = QStringLiteral("Straddle Y Probe Failed");
        m_wMach.PressOEMButton(ZeroXButton);
        m_wMach.SendCode(QStringLiteral("G01 F40 X-.25"));
        if (!WaitForMotion())
            return;
        if (!ProbeYCentre()) {
            m_wMach.StatusMessage(failed);
            return;
        }
        m_wMach.PressOEMButton(ZeroYButton);
        m_wMach.SendCode(QStringLiteral("G01 F40 X-2.85"));
        if (!WaitForMotion())
            return;
        const std::optional<double> centre = ProbeYCentre();
        if (!centre) {
            m_wMach.StatusMessage(failed);
            return;
        }
        m_form.SetFieldValue(BambooField::YOffset, *centre);
        m_wMach.PressOEMButton(GotoSafeZ);
        if (!WaitForMotion())
            return;
        m_wMach.SendCode(QStringLiteral("G01 F40 X0 Y0"));
        WaitForMotion();
    });
}

void TBambooMillActions::ZeroZ()
{
    Run([this] { m_wMach.PressOEMButton(ZeroZButton); });
}

void TBambooMillActions::MortiseFile(double depth, double pass, double finalPass,
                                     double cutFeed, double plungeFeed, double rapidFeed)
{
    const double bitDia = Field(BambooField::BitDia);
    const double xStart = -Field(BambooField::XOffset) - bitDia / 2.0;
    const double yOffset =
        m_form.Ticked(BambooCheck::UseYOffset) ? Field(BambooField::YOffset) : 0.0;
    const double cutLength = Field(BambooField::MortiseLength) - bitDia / 2.0;
    const QString path = MortisePath();
    WriteReelSeatMortiseFile(path, xStart, yOffset, cutLength, depth, pass, finalPass, cutFeed,
                             plungeFeed, rapidFeed);
    Generated(path, 0.0);
    LoadProgram(path);
    m_wMach.PressOEMButton(RegenToolpath);
}

void TBambooMillActions::PostMortise()
{
    Run([this] {
        if (RefusePassDepth(BambooField::MortisePass, QStringLiteral("Pass Depth")))
            return;
        m_wMach.PressOEMButton(CloseCurrentFile);
        MortiseFile(Field(BambooField::MortiseDepth), Field(BambooField::MortisePass),
                    Field(BambooField::MortiseFinal), Feed(BambooFeed::Feed),
                    Feed(BambooFeed::Plunge), Feed(BambooFeed::Rapid));
    });
}

// One finishing stroke at a depth 0.001 below the last: no roughing (pass 0, floor exactly 0)
// at fixed gentle feeds. Each press deepens the field, so presses accumulate.
void TBambooMillActions::RemoveAnotherThousandth()
{
    Run([this] {
        m_wMach.PressOEMButton(CloseCurrentFile);
        Pause(CloseFileSettleMs);
        const double depth = m_form.SetFieldValue(BambooField::MortiseDepth,
                                                  Field(BambooField::MortiseDepth) + 0.001);
        MortiseFile(depth, 0.0, depth, ThousandthCutFeed, ThousandthPlungeFeed,
                    ThousandthRapidFeed);
    });
}

void TBambooMillActions::GoOnline()
{
    Run([this] { m_wMach.EnableMachine(); });
}
