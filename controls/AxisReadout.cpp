#include "controls/AxisReadout.h"

#include "controls/MachDro.h"
#include "host/CMach4Wrapper.h"
#include "host/Mach4_TLB.h"
#include "platform/Platform.h"
#include "platform/Waiter.h"
#include "platform/ZentyrError.h"

#include <QLabel>

#include <array>

namespace {

struct AxisRow
{
    QChar letter;
    TAxisCodes codes;
};

constexpr std::array<AxisRow, 6> AxisTable{{
    {u'X', {OEMDROCodeOf(odtX), OEMButtonCodeOf(obtRef_X), OEMLEDCodeOf(oltX_ref),
            OEMLEDCodeOf(oltX_Plus_Limit), OEMLEDCodeOf(oltX_Minus_Limit),
            OEMLEDCodeOf(oltX_Minus_Home)}},
    {u'Y', {OEMDROCodeOf(odtY), OEMButtonCodeOf(obtRef_Y), OEMLEDCodeOf(oltY_ref),
            OEMLEDCodeOf(oltY_Plus_Limit), OEMLEDCodeOf(oltY_Minus_Limit),
            OEMLEDCodeOf(oltY_Minus_Home)}},
    {u'Z', {OEMDROCodeOf(odtZ), OEMButtonCodeOf(obtRef_Z), OEMLEDCodeOf(oltZ_ref),
            OEMLEDCodeOf(oltZ_Plus_Limit), OEMLEDCodeOf(oltZ_Minus_Limit),
            OEMLEDCodeOf(oltZ_Minus_Home)}},
    {u'A', {OEMDROCodeOf(odtA), OEMButtonCodeOf(obtRef_A), OEMLEDCodeOf(oltA_ref),
            OEMLEDCodeOf(oltA_Plus_Limit), OEMLEDCodeOf(oltA_Minus_Limit),
            OEMLEDCodeOf(oltA_Minus_Home)}},
    {u'B', {OEMDROCodeOf(odtB), OEMButtonCodeOf(obtRef_B), OEMLEDCodeOf(oltB_ref),
            OEMLEDCodeOf(oltB_Plus_Limit), OEMLEDCodeOf(oltB_Minus_Limit),
            OEMLEDCodeOf(oltB_Minus_Home)}},
    {u'C', {OEMDROCodeOf(odtC), OEMButtonCodeOf(obtRef_C), OEMLEDCodeOf(oltC_ref),
            OEMLEDCodeOf(oltC_Plus_Limit), OEMLEDCodeOf(oltC_Minus_Limit),
            OEMLEDCodeOf(oltC_Minus_Home)}},
}};

}  // namespace

std::optional<TAxisCodes> AxisCodesOf(const QString& droAxis)
{
    if (droAxis.isEmpty())
        return std::nullopt;
    for (const AxisRow& row : AxisTable) {
        if (row.letter == droAxis.front())
            return row.codes;
    }
    return std::nullopt;
}

void SendAxisStatusMessage(TCMach4Wrapper* hostConnection, IMyScriptObject& mach,
                           const QString& text)
{
    if (hostConnection != nullptr)
        hostConnection->StatusMessage(text);
    else
        mach.Message(text);
}

// The host is asked at most every MovingPollMs: an unpaced loop would keep a core busy for the
// whole homing move and flood the host with calls it expects every 50 to 150 ms.
bool WaitWhileAxisMoves(IMyScriptObject& mach, IWaiter& waiter, const QPointer<QObject>& guard,
                        const std::function<void()>& whileMoving)
{
    constexpr int MovingPollMs = 50;
    while (mach.IsMoving()) {
        if (whileMoving)
            whileMoving();
        waiter.SleepProcessingEvents(MovingPollMs);
        if (guard.isNull())
            return false;
    }
    return true;
}

TAxisReadout::TAxisReadout(PlatformServices& platform, QWidget* parent)
    : QFrame(parent),
      TMachHostBinding(*this, ScriptObjectAndThreadBindingRow),
      m_platform(platform),
      m_eDRO(new TNumericEdit(platform.messageBoxes, this)),
      m_label(new QLabel(this))
{
    m_eDRO->setObjectName(QStringLiteral("eDRO"));
    m_eDRO->SetDecimals(4);
    m_eDRO->SetOnValueChanged([this] { eDROValueChanged(); });

    m_label->setObjectName(QStringLiteral("DROlabel"));
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_label->setBuddy(m_eDRO);
}

TAxisReadout::~TAxisReadout() = default;

void TAxisReadout::SetDroAxis(const QString& axis)
{
    if (axis.isEmpty())
        throw ZentyrError(QStringLiteral("Range check error: an axis name needs a letter"));
    m_droAxis = axis;
    m_label->setText(QLatin1Char('&') + axis);
    if (const auto codes = AxisCodesOf(axis)) {
        m_droNum = codes->dro;
        AxisCodesChosen(*codes);
    }
}

void TAxisReadout::AxisCodesChosen(const TAxisCodes&) {}

void TAxisReadout::SetHostConnection(TCMach4Wrapper* hostConnection)
{
    m_hostConnection = hostConnection;
}

void TAxisReadout::IMachAssigned()
{
    if (iMach())
        RefreshFromHost();
    else
        Enable(false);
}

void TAxisReadout::RefreshFromHost()
{
    if (iMach())
        RefreshFromHost(*iMach());
}

void TAxisReadout::RefreshFromHost(IMyScriptObject& mach)
{
    const double value = mach.GetOEMDRO(MachInt16(m_droNum));
    TNumericEdit::DetachedValueChanged detached(*m_eDRO);
    m_eDRO->SetValue(value);
}

void TAxisReadout::eDROValueChanged()
{
    if (iMach())
        iMach()->SetOEMDRO(MachInt16(m_droNum), m_eDRO->Value());
}

void TAxisReadout::ReferenceAxis(bool followField)
{
    if (!iMach())
        return;
    const int16_t refButton =
        MachInt16(static_cast<long long>(m_droNum) + AxisReferenceButtonOffset);
    if (followField)
        MachInt16(m_droNum);
    // The reference holds its own script object: the row may be rebound during the wait.
    const std::shared_ptr<IMyScriptObject> mach = iMach();
    SendAxisStatusMessage(m_hostConnection, *mach, QStringLiteral("Referencing ") + m_droAxis);
    mach->DoOEMButton(refButton);

    const QPointer<QObject> self(this);
    std::function<void()> whileMoving;
    if (followField)
        whileMoving = [this, &mach] { RefreshFromHost(*mach); };
    if (!WaitWhileAxisMoves(*mach, m_platform.waiter, self, whileMoving))
        return;
    m_platform.waiter.Sleep(ReferencedWaitMs);
    if (followField)
        RefreshFromHost(*mach);
    SendAxisStatusMessage(m_hostConnection, *mach, m_droAxis + QStringLiteral(" Axis Referenced"));
}

void TAxisReadout::PollRefresh(IMyScriptObject& mach, bool machineInReset)
{
    Enable(!machineInReset);
    if (!m_eDRO->hasFocus())
        RefreshFromHost(mach);
}
