#include "controls/DROMultiBtn.h"

#include "controls/DROframe.h"
#include "controls/MachDro.h"
#include "controls/MachLed.h"
#include "host/CMach4Wrapper.h"
#include "host/Mach4_TLB.h"
#include "host/MachUpdateThread.h"
#include "platform/OperatorAction.h"
#include "platform/Platform.h"
#include "platform/Waiter.h"
#include "platform/ZentyrError.h"

#include <QLabel>

namespace {

tMachLed* MakeLed(QWidget* parent, const char* name, TLedColor color, QRect geometry)
{
    auto* led = new tMachLed(parent);
    led->setObjectName(QLatin1String(name));
    led->SetLedColor(color);
    led->setGeometry(geometry);
    return led;
}
}  // namespace

TAxisMultiBtnDRO::TAxisMultiBtnDRO(PlatformServices& platform, QWidget* parent)
    : QFrame(parent),
      TMachHostBinding(*this, ScriptObjectAndThreadBindingRow),
      m_platform(platform),
      m_eDRO(new TNumericEdit(platform.messageBoxes, this)),
      m_label(new QLabel(this)),
      m_ref(MakeLed(this, "ref", TLedColor::Green, {11, 0, 77, 11})),
      m_limitHome(MakeLed(this, "LimitHome", TLedColor::Yellow, {11, 30, 77, 11})),
      m_limitMinus(MakeLed(this, "limitMinus", TLedColor::Yellow, {0, 0, 11, 41})),
      m_limitPlus(MakeLed(this, "limitPlus", TLedColor::Yellow, {88, 0, 11, 41}))
{
    resize(108, 43);

    m_eDRO->setObjectName(QStringLiteral("eDRO"));
    m_eDRO->setGeometry(32, 10, 56, 20);
    m_eDRO->SetDecimals(4);
    m_eDRO->setEnabled(false);
    m_eDRO->SetOnValueChanged([this] { eDROValueChanged(); });

    m_label->setObjectName(QStringLiteral("DROlabel"));
    m_label->setGeometry(11, 10, 21, 21);
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QFont bold = m_label->font();
    bold.setBold(true);
    m_label->setFont(bold);
    m_label->setBuddy(m_eDRO);
    m_eDRO->raise();
    m_label->raise();

    connect(m_eDRO, &TNumericEdit::FocusEntered, this, [this] {
        HoldUpdateThread();
        m_eDRO->selectAll();
    });
    connect(m_eDRO, &TNumericEdit::FocusLeft, this, [this] { ReleaseUpdateThread(); });
    connect(m_eDRO, &TNumericEdit::KeyPressed, this, [this](int key) {
        if (key != Qt::Key_Return && key != Qt::Key_Enter) {
            HoldUpdateThread();
            return;
        }
        RunOperatorAction(m_platform.messageBoxes, [this] { eDROValueChanged(); });
        m_eDRO->selectAll();
        ReleaseUpdateThread();
    });
}

TAxisMultiBtnDRO::~TAxisMultiBtnDRO()
{
    // A row deleted while the operator works in it must not leave polling stopped for good.
    ReleaseUpdateThread();
}

void TAxisMultiBtnDRO::IMachAssigned()
{
    if (iMach())
        RefreshFromHost();
    else
        Enable(false);
}

void TAxisMultiBtnDRO::SetDroAxis(const QString& axis)
{
    if (axis.isEmpty())
        throw ZentyrError(QStringLiteral("Range check error: an axis name needs a letter"));
    m_droAxis = axis;
    m_label->setText(QLatin1Char('&') + axis);
    if (const auto codes = AxisCodesOf(axis)) {
        m_droNum = codes->dro;
        m_ref->SetLedCode(codes->refLed);
        m_limitPlus->SetLedCode(codes->plusLimitLed);
        m_limitMinus->SetLedCode(codes->minusLimitLed);
        m_limitHome->SetLedCode(codes->homeLed);
    }
}

void TAxisMultiBtnDRO::SetHostConnection(TCMach4Wrapper* hostConnection)
{
    m_hostConnection = hostConnection;
}

void TAxisMultiBtnDRO::Enable(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    setEnabled(enabled);
    for (QWidget* part : std::initializer_list<QWidget*>{m_eDRO, m_label, m_ref, m_limitHome,
                                                         m_limitMinus, m_limitPlus})
        part->setEnabled(enabled);
}

void TAxisMultiBtnDRO::RefreshFromHost()
{
    if (iMach())
        RefreshFromHost(*iMach());
}

void TAxisMultiBtnDRO::RefreshFromHost(IMyScriptObject& mach)
{
    const double value = mach.GetOEMDRO(MachInt16(m_droNum));
    TNumericEdit::DetachedValueChanged detached(*m_eDRO);
    m_eDRO->SetValue(value);
}

void TAxisMultiBtnDRO::eDROValueChanged()
{
    if (iMach())
        iMach()->SetOEMDRO(MachInt16(m_droNum), m_eDRO->Value());
}

void TAxisMultiBtnDRO::Reference()
{
    Q_EMIT Click();
    if (!iMach())
        return;
    const int16_t refButton =
        MachInt16(static_cast<long long>(m_droNum) + AxisReferenceButtonOffset);
    const std::shared_ptr<IMyScriptObject> mach = iMach();
    SendAxisStatusMessage(m_hostConnection, *mach, QStringLiteral("Referencing ") + m_droAxis);
    mach->DoOEMButton(refButton);
    ReferenceWaitLoop();
}

void TAxisMultiBtnDRO::ReferenceWaitLoop()
{
    const std::shared_ptr<IMyScriptObject> mach = iMach();
    const QPointer<QObject> self(this);
    if (!WaitWhileAxisMoves(*mach, m_platform.waiter, self, {}))
        return;
    m_platform.waiter.Sleep(TAxisDRO::ReferencedWaitMs);
    SendAxisStatusMessage(m_hostConnection, *mach, m_droAxis + QStringLiteral(" Axis Referenced"));
}

void TAxisMultiBtnDRO::HoldUpdateThread()
{
    TMachUpdateThread* thread = UpdateThread();
    if (m_holdsThread || thread == nullptr || !thread->IsPolling())
        return;
    thread->Suspend();
    m_holdsThread = true;
}

void TAxisMultiBtnDRO::ReleaseUpdateThread()
{
    if (!m_holdsThread)
        return;
    m_holdsThread = false;
    if (TMachUpdateThread* thread = UpdateThread())
        thread->Resume();
}

void TAxisMultiBtnDRO::BindMach(const std::shared_ptr<IMyScriptObject>& iMach,
                                TMachUpdateThread* thread)
{
    SetIMach(iMach);
    for (tMachLed* led : {m_ref, m_limitHome, m_limitMinus, m_limitPlus})
        led->SetIMach(iMach);
    if (UpdateThread() != thread)
        ReleaseUpdateThread();
    SetUpdateThread(thread);
    if (thread != nullptr) {
        for (tMachLed* led : {m_ref, m_limitHome, m_limitMinus, m_limitPlus})
            thread->Register(led);
    }
}

void TAxisMultiBtnDRO::PollRefresh(IMyScriptObject& mach, bool machineInReset)
{
    Enable(!machineInReset);
    if (!m_eDRO->hasFocus())
        RefreshFromHost(mach);
}
