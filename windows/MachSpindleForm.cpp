#include "windows/MachSpindleForm.h"

#include "controls/DroSpeedFrame.h"
#include "controls/MachButtonToggle.h"
#include "controls/Scalar.h"
#include "host/Mach4_TLB.h"
#include "host/MachConstants.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"
#include "windows/LayoutStorage.h"
#include "windows/WindowStateCode.h"

#include <QMenu>
#include <QResizeEvent>

namespace {

constexpr int ClientWidth = 145;
constexpr int ClientHeight = 119;

// Stretches a control anchored left, top and right with its window's width.
class TRightAnchor final : public QObject
{
public:
    TRightAnchor(QWidget* window, QWidget* control)
        : QObject(control), m_control(control), m_rightMargin(window->width() - control->geometry().right())
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize) {
            auto* window = static_cast<QWidget*>(watched);
            const int width = window->width() - m_control->x() - m_rightMargin + 1;
            m_control->resize(std::max(0, width), m_control->height());
        }
        return false;
    }

private:
    QWidget* m_control;
    int m_rightMargin;
};

}  // namespace

const QString TSpindleForm::Section = QStringLiteral("Desktop\\SpindleForm");

TSpindleForm::TSpindleForm(PlatformServices& platform, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint),
      m_platform(platform),
      m_scalar(new TScalar(this, &platform.messageBoxes))
{
    setObjectName(QStringLiteral("SpindleForm"));
    setWindowTitle(QStringLiteral("SpindleForm"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    setFont(font);
    setFixedSize(ClientWidth, ClientHeight);
    move(6, 331);

    m_btnCW = new tMachToggleButton(platform, this);
    m_btnCW->setObjectName(QStringLiteral("btnCW"));
    m_btnCW->setGeometry(10, 7, 40, 25);
    m_btnCW->setText(QStringLiteral("CW"));
    m_btnCW->SetCaptionOn(QStringLiteral("CW"));
    m_btnCW->SetCaptionOff(QStringLiteral("CCW"));
    m_btnCW->SetOEMButtonType(obtNONE);
    m_btnCW->SetOEMLEDtype(oltNONE);
    m_btnCW->SetToggled(true);
    connect(m_btnCW, &TSkinnedButton::ClickEvent, this, [this] { btnCWClick(); });

    m_spdSpindle = new TDROspeed(platform, this);
    m_spdSpindle->setObjectName(QStringLiteral("spdSpindle"));
    m_spdSpindle->setAccessibleName(QStringLiteral("spdSpindle"));
    m_spdSpindle->setGeometry(7, 35, 131, 46);
    m_spdSpindle->SetDROCaption(QStringLiteral("Speed"));
    m_spdSpindle->SetMachDROnum(OEMDROCodeOf(odtSpindle_requested));
    m_spdSpindle->SetMax(20000);
    m_spdSpindle->SetValue(200);
    m_spdSpindle->SetIncrement(100);
    new TRightAnchor(this, m_spdSpindle);

    m_btnSpindle = new tMachSpindleButton(platform, this);
    m_btnSpindle->setObjectName(QStringLiteral("btnSpindle"));
    m_btnSpindle->setGeometry(6, 86, 133, 25);
    m_btnSpindle->setText(QStringLiteral("Spin&dle"));
    m_btnSpindle->SetLocked(true);
    m_btnSpindle->SetOEMButtonType(obtNONE);
    m_btnSpindle->SetOEMLEDtype(oltSpindle_is_Running);
    m_btnSpindle->SetToggleOnImageIndex(1);
    // The click event runs inside the button's own click, before anything it does after.
    connect(m_btnSpindle, &TSkinnedButton::ClickEvent, this, [this] { btnSpindleClick(); });
    new TRightAnchor(this, m_btnSpindle);

    m_scalar->SetIncrementAmount(10);
    // The menu is never shown; its commands act through the window's shortcuts.
    m_scaleMenu = new QMenu(QStringLiteral("Scale"), this);
    m_scaleMenu->setObjectName(QStringLiteral("ScaleMenu"));
    m_scaleMenu->addActions(m_scalar->Actions());
}

TSpindleForm::~TSpindleForm() = default;

void TSpindleForm::btnCWClick()
{
    m_btnCW->SetToggled(!m_btnCW->Toggled());
}

void TSpindleForm::btnSpindleClick()
{
    const std::shared_ptr<IMyScriptObject> mach = m_btnSpindle->iMach();
    if (!mach)
        return;
    if (m_btnSpindle->Toggled()) {
        mach->Code(QStringLiteral("M5"));
        return;
    }
    if (m_spdSpindle->Value() == 0) {
        m_platform.messageBoxes.Show(IMessageBoxes::Kind::Warning,
                                     QStringLiteral("Spindle Speed is Zero, Set Speed"),
                                     IMessageBoxes::Buttons::Ok);
        return;
    }
    mach->Code(m_btnCW->Toggled() ? QStringLiteral("M3") : QStringLiteral("M4"));
}

void TSpindleForm::WriteDesktop(TLayoutStorage& store) const
{
    store.SelectSection(Section);
    store.WriteInteger(QStringLiteral("Left"), x());
    store.WriteInteger(QStringLiteral("Top"), y());
    store.WriteInteger(QStringLiteral("Width"), width());
    store.WriteInteger(QStringLiteral("Height"), height());
    store.WriteInteger(QStringLiteral("ScalarSetting"), m_scalar->Scalefactor());
    store.WriteInteger(QStringLiteral("WindowState"), WindowStateCode(*this));
}

void TSpindleForm::ReadDesktop(TLayoutStorage& store)
{
    store.SelectSection(Section);
    const int left = store.ReadInteger(QStringLiteral("Left"), x());
    const int top = store.ReadInteger(QStringLiteral("Top"), y());
    move(left, top);
    ApplyWindowStateCode(*this, store.ReadInteger(QStringLiteral("WindowState"), 0));
}
