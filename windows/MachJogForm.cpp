#include "windows/MachJogForm.h"

#include "controls/DroSpeedFrame.h"
#include "controls/MachButtonToggle.h"
#include "controls/MachJogDirButton.h"
#include "controls/MachJogPctFrame.h"
#include "controls/Scalar.h"
#include "host/MachConstants.h"
#include "platform/Platform.h"
#include "windows/LayoutStorage.h"
#include "windows/WindowStateCode.h"

#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPixmap>

namespace {

constexpr int ClientWidth = 145;
constexpr int ClientHeight = 265;
constexpr int AxisDrawingSize = 72;

struct ButtonDesign
{
    int left;
    int top;
    tJogMovement movement;
};

// MachJogDirButton1 to 6, inside the panel: X+ right, Y- lower right, Z- bottom, X- left,
// Y+ upper left, Z+ top.
constexpr std::array<ButtonDesign, TJogForm::ButtonCount> Buttons{{
    {108, 49, jmXplus},
    {99, 75, jmYminus},
    {61, 90, jmZminus},
    {15, 49, jmXminus},
    {23, 25, jmYplus},
    {62, 7, jmZplus},
}};

// Three axis lines meeting in the centre: X horizontal, Z vertical, Y from upper left to lower
// right, on a transparent ground.
QPixmap AxisDrawing()
{
    const int size = AxisDrawingSize * 2;  // drawn large, shown stretched
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(60, 60, 60), 4, Qt::SolidLine, Qt::RoundCap));
    const int margin = 8;
    const int middle = size / 2;
    painter.drawLine(margin, middle, size - margin, middle);
    painter.drawLine(middle, margin, middle, size - margin);
    painter.drawLine(margin + 12, margin + 12, size - margin - 12, size - margin - 12);
    return pixmap;
}

}  // namespace

const QString TJogForm::Section = QStringLiteral("Desktop\\JogForm");

TJogForm::TJogForm(PlatformServices& platform, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint),
      m_scalar(new TScalar(this, &platform.messageBoxes))
{
    setObjectName(QStringLiteral("JogForm"));
    setWindowTitle(QStringLiteral("Jog Controls"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    setFont(font);
    setFixedSize(ClientWidth, ClientHeight);
    move(5, 28);

    m_jogPct = new TJogPct(platform, this);
    m_jogPct->setObjectName(QStringLiteral("JogPct1"));
    m_jogPct->setAccessibleName(QStringLiteral("JogPct1"));
    m_jogPct->setGeometry(17, 2, 112, 97);
    m_jogPct->setEnabled(true);
    m_jogPct->SetValue(0);

    m_droSpeed = new TDROspeed(platform, this);
    m_droSpeed->setObjectName(QStringLiteral("DROspeed1"));
    m_droSpeed->setAccessibleName(QStringLiteral("DROspeed1"));
    m_droSpeed->setGeometry(12, 101, 122, 46);
    m_droSpeed->SetDROCaption(QStringLiteral("Jog Speed"));
    m_droSpeed->SetMachDROnum(OEMDROCodeOf(odtFeedrate_for_use_with_MPG_step_jogs));
    m_droSpeed->SetMax(200);
    m_droSpeed->SetValue(40);
    m_droSpeed->SetIncrement(10);

    m_panel = new QFrame(this);
    m_panel->setObjectName(QStringLiteral("sPanel1"));
    m_panel->setAccessibleName(QStringLiteral("sPanel1"));
    m_panel->setGeometry(0, 152, 145, 113);

    m_image = new QLabel(m_panel);
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setAccessibleName(QStringLiteral("Image1"));
    m_image->setGeometry(36, 22, AxisDrawingSize, AxisDrawingSize);
    m_image->setScaledContents(true);
    m_image->setPixmap(AxisDrawing());

    QFont buttonFont(QStringLiteral("Tahoma"));
    buttonFont.setPointSize(6);
    QWidget* previous = nullptr;
    for (int i = 0; i < ButtonCount; ++i) {
        const ButtonDesign& design = Buttons.at(static_cast<std::size_t>(i));
        auto* button = new TMachJogDirButton(platform, m_panel);
        button->setObjectName(QStringLiteral("MachJogDirButton%1").arg(i + 1));
        button->setGeometry(design.left, design.top, 21, 18);
        button->setFont(buttonFont);
        button->SetJogMovement(design.movement);
        connect(button, &TMachJogDirButton::Entered, this,
                [this, button] { MachJogDirButton6Enter(button); });
        if (previous)
            setTabOrder(previous, button);
        previous = button;
        m_buttons.at(static_cast<std::size_t>(i)) = button;
    }

    m_scalar->SetIncrementAmount(10);
    // The menu is never shown; its commands act through the window's shortcuts.
    m_scaleMenu = new QMenu(QStringLiteral("Scale"), this);
    m_scaleMenu->setObjectName(QStringLiteral("ScaleMenu"));
    m_scaleMenu->addActions(m_scalar->Actions());
}

// The children go after this body; a focus change among them then must not reach a handler
// that reads the frame, which may already be gone.
TJogForm::~TJogForm()
{
    for (TMachJogDirButton* button : m_buttons)
        disconnect(button, nullptr, this, nullptr);
}

TMachJogDirButton* TJogForm::MachJogDirButton(int number) const
{
    return m_buttons.at(static_cast<std::size_t>(number - 1));
}

void TJogForm::MachJogDirButton6Enter(TMachJogDirButton* sender)
{
    if (sender && m_jogPct->btnJogOn()->Toggled())
        sender->SetJogContinuous(m_jogPct->btnJogCont()->Toggled());
}

void TJogForm::WriteDesktop(TLayoutStorage& store) const
{
    store.SelectSection(Section);
    store.WriteInteger(QStringLiteral("Left"), x());
    store.WriteInteger(QStringLiteral("Top"), y());
    store.WriteInteger(QStringLiteral("WindowState"), WindowStateCode(*this));
    store.WriteInteger(QStringLiteral("ScalarSetting"), m_scalar->Scalefactor());
    WriteDirections(store);
}

void TJogForm::ReadDesktop(TLayoutStorage& store)
{
    store.SelectSection(Section);
    const int left = store.ReadInteger(QStringLiteral("Left"), x());
    const int top = store.ReadInteger(QStringLiteral("Top"), y());
    const int width = store.ReadInteger(QStringLiteral("Width"), this->width());
    const int height = store.ReadInteger(QStringLiteral("Height"), this->height());
    move(left, top);
    // A size that cannot be a window's (an unreadable value reads as -1) keeps the current one.
    if (width > 0 && height > 0 && QSize(width, height) != size())
        setFixedSize(std::min(width, QWIDGETSIZE_MAX), std::min(height, QWIDGETSIZE_MAX));
    ApplyWindowStateCode(*this, store.ReadInteger(QStringLiteral("WindowState"), 0));
    for (int n = ButtonCount; n >= 1; --n) {
        TMachJogDirButton* button = MachJogDirButton(n);
        const int ordinal =
            store.ReadInteger(QStringLiteral("Jog%1").arg(n), static_cast<int>(button->JogMovement()));
        if (const auto movement = JogMovementOfOrdinal(ordinal))
            button->SetJogMovement(*movement);
    }
}

void TJogForm::StoreDirections(TLayoutStorage& store) const
{
    store.SelectSection(Section);
    WriteDirections(store);
}

void TJogForm::WriteDirections(TLayoutStorage& store) const
{
    for (int n = ButtonCount; n >= 1; --n) {
        store.WriteInteger(QStringLiteral("Jog%1").arg(n),
                           static_cast<int>(MachJogDirButton(n)->JogMovement()));
    }
}
