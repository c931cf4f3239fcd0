#include "controls/DROMultiBtn.h"

#include "controls/MachDro.h"
#include "controls/MachLed.h"
#include "host/MachUpdateThread.h"
#include "platform/OperatorAction.h"
#include "platform/Platform.h"

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
    : TAxisReadout(platform, parent),
      m_ref(MakeLed(this, "ref", TLedColor::Green, {11, 0, 77, 11})),
      m_limitHome(MakeLed(this, "LimitHome", TLedColor::Yellow, {11, 30, 77, 11})),
      m_limitMinus(MakeLed(this, "limitMinus", TLedColor::Yellow, {0, 0, 11, 41})),
      m_limitPlus(MakeLed(this, "limitPlus", TLedColor::Yellow, {88, 0, 11, 41}))
{
    resize(108, 43);

    TNumericEdit* field = Field();
    field->setGeometry(32, 10, 56, 20);
    field->setEnabled(false);

    QLabel* label = Label();
    label->setGeometry(11, 10, 21, 21);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    field->raise();
    label->raise();

    connect(field, &TNumericEdit::FocusEntered, this, [this] {
        HoldUpdateThread();
        Field()->selectAll();
    });
    connect(field, &TNumericEdit::FocusLeft, this, [this] { ReleaseUpdateThread(); });
    connect(field, &TNumericEdit::KeyPressed, this, [this](int key) {
        if (key != Qt::Key_Return && key != Qt::Key_Enter) {
            HoldUpdateThread();
            return;
        }
        RunOperatorAction(Platform().messageBoxes, [this] { eDROValueChanged(); });
        Field()->selectAll();
        ReleaseUpdateThread();
    });
}

TAxisMultiBtnDRO::~TAxisMultiBtnDRO()
{
    // A row deleted while the operator works in it must not leave polling stopped for good.
    ReleaseUpdateThread();
}

void TAxisMultiBtnDRO::AxisCodesChosen(const TAxisCodes& codes)
{
    m_ref->SetLedCode(codes.refLed);
    m_limitPlus->SetLedCode(codes.plusLimitLed);
    m_limitMinus->SetLedCode(codes.minusLimitLed);
    m_limitHome->SetLedCode(codes.homeLed);
}

void TAxisMultiBtnDRO::Enable(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    setEnabled(enabled);
    for (QWidget* part : std::initializer_list<QWidget*>{Field(), Label(), m_ref, m_limitHome,
                                                         m_limitMinus, m_limitPlus})
        part->setEnabled(enabled);
}

void TAxisMultiBtnDRO::Reference()
{
    Q_EMIT Click();
    ReferenceAxis(false);
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
