#include "controls/MachButtonToggle.h"

#include "controls/MachButtonTypeDlg.h"
#include "host/Mach4_TLB.h"

#include <QLineEdit>
#include <QStyleOptionButton>
#include <QStylePainter>

// ---- TsToggleButton ----

TsToggleButton::TsToggleButton(PlatformServices& platform, QWidget* parent)
    : TSkinnedButton(platform, parent)
{
}

TsToggleButton::~TsToggleButton() = default;

void TsToggleButton::SetToggled(bool toggled)
{
    if (toggled == m_toggled)
        return;
    m_toggled = toggled;
    SetImageIndex(toggled ? m_onImageIndex : m_offImageIndex);
    if (!HasImages() || (m_onImageIndex == -1 && m_offImageIndex == -1)) {
        const QString& caption = toggled ? m_captionOn : m_captionOff;
        if (!caption.isEmpty())
            setText(caption);
    }
}

// ---- tMachToggleButton ----

tMachToggleButton::tMachToggleButton(PlatformServices& platform, QWidget* parent)
    : TsToggleButton(platform, parent), TMachHostBinding(*this, ScriptObjectBindingRow)
{
}

tMachToggleButton::~tMachToggleButton() = default;

void tMachToggleButton::SetOEMButtonType(TmcOEMButtontype kind)
{
    const int code = OEMButtonCode(kind);
    m_buttonKind = kind;
    m_buttonCode = code;
}

void tMachToggleButton::SetOEMLEDtype(TmcOEMLEDtype kind)
{
    const int code = OEMLEDCode(kind);
    m_ledKind = kind;
    m_ledCode = code;
}

void tMachToggleButton::PollRefresh(IMyScriptObject& mach, bool machineInReset)
{
    SetEnabledIfChanged(!machineInReset);
    if (m_ledCode == 0)
        return;
    const int16_t led = MachInt16(m_ledCode);
    // The LED is read again to take its state, as the host may have switched it meanwhile.
    if (mach.GetOEMLed(led) != Toggled())
        SetToggled(mach.GetOEMLed(led));
}

void tMachToggleButton::Click()
{
    if (!iMach())
        return;
    if (m_buttonCode != 0)
        iMach()->DoOEMButton(MachInt16(m_buttonCode));
    RaiseClickEvent();
}

// ---- tMachSpindleButton ----

tMachSpindleButton::tMachSpindleButton(PlatformServices& platform, QWidget* parent)
    : tMachToggleButton(platform, parent)
{
    SetOEMButtonType(obtSpindle_actual_Toggle);
    SetOEMLEDtype(oltSpindle_is_Running);
    SetToggleOnImageIndex(-1);
    SetToggleOffImageIndex(-1);
    setText(QStringLiteral("Spin&dle"));
}

tMachSpindleButton::~tMachSpindleButton() = default;

// ---- tMachLEDLabeled ----

tMachLEDLabeled::tMachLEDLabeled(PlatformServices& platform, QWidget* parent)
    : TsToggleButton(platform, parent)
{
    resize(55, height());
    SetSkinSection(QStringLiteral("COMBOBOX"));
    setFocusPolicy(Qt::ClickFocus);
}

tMachLEDLabeled::~tMachLEDLabeled() = default;

void tMachLEDLabeled::setIMach(std::shared_ptr<IMyScriptObject> iMach)
{
    m_iMach = std::move(iMach);
    setEnabled(m_iMach != nullptr);
}

void tMachLEDLabeled::SetOEMLEDtype(TmcOEMLEDtype kind)
{
    const int code = OEMLEDCode(kind);
    m_ledKind = kind;
    m_ledCode = code;
}

void tMachLEDLabeled::PollRefresh(IMyScriptObject& mach, bool)
{
    SetToggled(mach.GetOEMLed(MachInt16(m_ledCode)));
}

void tMachLEDLabeled::EditFunction()
{
    auto* dialog = new TBtnTypeDlg(this);
    dialog->setWindowTitle(QStringLiteral("OEM LED Dialog"));
    dialog->eCaption()->setText(text());
    dialog->ShowLEDTypePanel();
    dialog->FillLEDTypes(m_ledKind);
    RunFunctionDialog(dialog, [this, dialog] {
        setText(dialog->eCaption()->text());
        if (const auto kind = dialog->SelectedLEDType())
            SetOEMLEDtype(*kind);
    });
}

void tMachLEDLabeled::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.state |= QStyle::State_Sunken;
    option.state &= ~QStyle::State_HasFocus;
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    QRect content = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    if (!option.icon.isNull()) {
        const QRect iconRect(content.left(), content.center().y() - option.iconSize.height() / 2,
                             option.iconSize.width(), option.iconSize.height());
        option.icon.paint(&painter, iconRect, Qt::AlignCenter,
                          isEnabled() ? QIcon::Normal : QIcon::Disabled);
        content.setLeft(iconRect.right() + 4);
    }
    painter.drawItemText(content, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                         palette(), isEnabled(), text(), QPalette::ButtonText);
}
