#include "controls/MachButton.h"

#include "controls/MachButtonTypeDlg.h"
#include "controls/MachCodeDlg.h"
#include "host/Mach4_TLB.h"
#include "platform/Platform.h"
#include "platform/Waiter.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPointer>

namespace {

constexpr int MacroWriteSettleMs = 100;

}  // namespace

// ---- tMachButton ----

tMachButton::tMachButton(PlatformServices& platform, QWidget* parent)
    : TSkinnedButton(platform, parent), TMachHostBinding(*this, ScriptObjectBindingRow)
{
}

tMachButton::~tMachButton() = default;

void tMachButton::PollRefresh(IMyScriptObject&, bool machineInReset)
{
    SetEnabledIfChanged(!machineInReset);
}

// ---- TMachCodeTextButton ----

TMachCodeTextButton::TMachCodeTextButton(PlatformServices& platform, QWidget* parent,
                                         const QString& dialogTitle, int dialogMode)
    : tMachButton(platform, parent), m_dialogTitle(dialogTitle), m_dialogMode(dialogMode)
{
}

TMachCodeTextButton::~TMachCodeTextButton() = default;

void TMachCodeTextButton::EditFunction()
{
    auto* dialog = new TMachCodeDialog(this);
    dialog->setWindowTitle(m_dialogTitle);
    dialog->SetCodeText(m_code);
    dialog->SetCaptionText(text());
    dialog->SetMode(m_dialogMode);
    RunFunctionDialog(dialog, [this, dialog] {
        ReadFunctionDialog(*dialog);
        m_code = dialog->CodeText();
        setText(dialog->CaptionText());
    });
}

void TMachCodeTextButton::ReadFunctionDialog(const TMachCodeDialog&) {}

// ---- tMachCodeButton ----

tMachCodeButton::tMachCodeButton(PlatformServices& platform, QWidget* parent)
    : TMachCodeTextButton(platform, parent, QStringLiteral("Mach G Code Dialog"),
                          TMachCodeDialog::CodeButtonMode)
{
}

tMachCodeButton::~tMachCodeButton() = default;

void tMachCodeButton::Click()
{
    if (!iMach())
        return;
    // The run holds its own references: the button may be destroyed while the run waits.
    const std::shared_ptr<IMyScriptObject> mach = iMach();
    const QString text = code();
    PlatformServices& platform = Platform();
    RunMachCode(*mach, text, platform.waiter, platform.messageBoxes);
}

// ---- tMachVBScriptButton ----

tMachVBScriptButton::tMachVBScriptButton(PlatformServices& platform, QWidget* parent)
    : TMachCodeTextButton(platform, parent, QStringLiteral("Mach VB Script Dialog"),
                          TMachCodeDialog::ScriptButtonMode)
{
}

tMachVBScriptButton::~tMachVBScriptButton() = default;

void tMachVBScriptButton::Click()
{
    if (!iMach())
        return;
    const std::shared_ptr<IMyScriptObject> mach = iMach();
    WriteMachMacroFile(m_macroFolder, code());
    Platform().waiter.Sleep(MacroWriteSettleMs);
    mach->Code(QStringLiteral("M6666"));
}

// ---- tMachUserButton ----

tMachUserButton::tMachUserButton(PlatformServices& platform, QWidget* parent)
    : TMachCodeTextButton(platform, parent, QStringLiteral("Mach User Button Dialog"),
                          TMachCodeDialog::UserButtonMode)
{
}

tMachUserButton::~tMachUserButton() = default;

void tMachUserButton::Click()
{
    if (!iMach())
        return;
    // Range-checked before the first call, so a refused number sends nothing.
    const int16_t number = MachInt16(m_userBtnNum);
    iMach()->SetButtonText(code());
    iMach()->DoButton(number);
}

void tMachUserButton::ReadFunctionDialog(const TMachCodeDialog& dialog)
{
    m_userBtnNum = dialog.ButtonNumber();
}

// ---- tMachOEMButton ----

tMachOEMButton::tMachOEMButton(PlatformServices& platform, QWidget* parent)
    : tMachButton(platform, parent)
{
    resize(55, height());
}

tMachOEMButton::~tMachOEMButton() = default;

void tMachOEMButton::SetOEMbutton(TmcOEMButtontype kind)
{
    const int code = OEMButtonCode(kind);
    m_kind = kind;
    m_code = code;
}

void tMachOEMButton::Click()
{
    if (const std::shared_ptr<IMyScriptObject> mach = iMach()) {
        if (m_pressCondition) {
            const QPointer<tMachOEMButton> self(this);
            const std::function<bool()> condition = m_pressCondition;
            if (!condition() || !self)
                return;
        }
        mach->DoOEMButton(MachInt16(m_code));
    }
    StopRequested = m_kind == obtStop;
    RaiseClickEvent();
}

void tMachOEMButton::EditFunction()
{
    auto* dialog = new TBtnTypeDlg(this);
    dialog->setWindowTitle(QStringLiteral("Mach OEM Button Dialog"));
    dialog->eCaption()->setText(text());
    dialog->sLabel1()->setText(QStringLiteral("OEM Type"));
    dialog->ShowButtonTypePanel();
    dialog->FillButtonTypes(m_kind);
    RunFunctionDialog(dialog, [this, dialog] {
        setText(dialog->eCaption()->text());
        if (const auto kind = dialog->SelectedButtonType())
            SetOEMbutton(*kind);
    });
}

// ---- tMachESTOPButton ----

const QColor tMachESTOPButton::ResetColor(192, 192, 192);
const QColor tMachESTOPButton::EstopColor(255, 0, 0);

tMachESTOPButton::tMachESTOPButton(PlatformServices& platform, QWidget* parent)
    : TSkinnedButton(platform, parent), TMachHostBinding(*this, ScriptObjectBindingRow)
{
    resize(75, 55);
    QFont face = font();
    face.setPointSize(12);
    setFont(face);
    ApplyFace();
}

tMachESTOPButton::~tMachESTOPButton() = default;

void tMachESTOPButton::SetResetState(bool inReset)
{
    if (inReset == m_resetState)
        return;
    m_resetState = inReset;
    ApplyFace();
}

// The face colour is set in the button's own style sheet as well as its palette: a widget's own
// style sheet wins over the application's, so no skin can paint over the machine's state.
void tMachESTOPButton::ApplyFace()
{
    m_faceColor = m_resetState ? ResetColor : EstopColor;
    setText(m_resetState ? QStringLiteral("R&eset") : QStringLiteral("&Estop"));
    QPalette colours = palette();
    colours.setColor(QPalette::Button, m_faceColor);
    colours.setColor(QPalette::ButtonText, Qt::black);
    setPalette(colours);
    setStyleSheet(
        QStringLiteral(
            "tMachESTOPButton { color: black; border: 1px solid %3; border-radius: 4px;"
            " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, stop:1 %2); }"
            "tMachESTOPButton:focus { border: 2px solid %3; }"
            "tMachESTOPButton:pressed { background: %2; }"
            "tMachESTOPButton:disabled { color: #6e6e6e; }")
            .arg(m_faceColor.lighter(120).name(), m_faceColor.darker(125).name(),
                 m_faceColor.darker(250).name()));
}

void tMachESTOPButton::PollRefresh(IMyScriptObject&, bool machineInReset)
{
    SetResetState(machineInReset);
}

void tMachESTOPButton::Click()
{
    if (!iMach())
        return;
    const std::shared_ptr<IMyScriptObject> mach = iMach();
    mach->DoOEMButton(OEMButtonCodeOf(obtReset));
    SetResetState(mach->GetOEMLed(OEMLEDCodeOf(oltReset)));
    RaiseClickEvent();
}
