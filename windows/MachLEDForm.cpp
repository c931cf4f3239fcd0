#include "windows/MachLEDForm.h"

#include "controls/LampImages.h"
#include "controls/MachButtonToggle.h"
#include "windows/UserColumn.h"
#include "windows/UserLayoutFiles.h"

#include <QToolButton>

namespace {

const QColor LampOffColor(150, 60, 30);
const QColor LampOnColor(0, 200, 0);

TUserLayoutKind LedFiles()
{
    return TUserLayoutKind{QStringLiteral("LEDs"), QStringLiteral("ledl"),
                           QStringLiteral("User LED layout (*.ledl)|*.ledl"),
                           QStringLiteral("User LEDs Layout (*.ledl) |*.ledl"),
                           TUserLEDsForm::DesktopSection};
}

QIcon Lamp(const QColor& color)
{
    return QIcon(DrawLampPixmap(color, true, TUserLEDsForm::LampImageSize));
}

}  // namespace

const QString TUserLEDsForm::DesktopSection = QStringLiteral("Desktop\\LEDButtonForm");

TUserLEDsForm::TUserLEDsForm(PlatformServices& platform, QWidget* parent)
    : TUserLayoutForm(platform, LedFiles(), parent),
      m_images{Lamp(LampOffColor), Lamp(LampOnColor)}
{
    setObjectName(QStringLiteral("UserLEDsForm"));
    setWindowTitle(QStringLiteral("LEDs"));
    move(688, 29);
    resize(124, 350);

    QWidget* top = pnlBtnAdd();
    m_btnNew = AddFlatButton(top, QStringLiteral("btnNew"), QStringLiteral("&New"),
                             QRect(3, 3, 33, 22), [this] { AddLed(); });
    m_btnDelete = AddFlatButton(top, QStringLiteral("btnDelete"), QStringLiteral("D&elete"),
                                QRect(39, 3, 44, 22), [this] { DeleteSelected(); });
    QWidget* bottom = sPanel1();
    m_btnUp = AddFlatButton(bottom, QStringLiteral("btnUp"), QStringLiteral("&Up"),
                            QRect(3, 2, 31, 22), [this] { MoveSelectedUp(); });
    m_btnDown = AddFlatButton(bottom, QStringLiteral("btnDown"), QStringLiteral("&Down"),
                              QRect(36, 2, 45, 22), [this] { MoveSelectedDown(); });
    FitWidthToPanels();
}

TUserLEDsForm::~TUserLEDsForm() = default;

int TUserLEDsForm::LedCount() const
{
    return Column().Count();
}

tMachLEDLabeled* TUserLEDsForm::Led(int index) const
{
    return static_cast<tMachLEDLabeled*>(Column().At(index));
}

tMachLEDLabeled* TUserLEDsForm::AddLed()
{
    if (!iMach())
        return nullptr;
    auto* led = new tMachLEDLabeled(Platform(), ColumnArea());
    led->setText(QStringLiteral("OEM LED: ") + QString::number(LedCount() + 1));
    led->setToolTip(QStringLiteral("Right Click To Change Button Function"));
    led->setIconSize(QSize(LampImageSize, LampImageSize));
    led->setIMach(iMach());
    led->SetImages(m_images);
    led->SetToggleOnImageIndex(LampOnImageIndex);
    led->SetToggleOffImageIndex(LampOffImageIndex);
    // On, then off: the lamp shows its off image from the start.
    led->SetToggled(true);
    led->SetToggled(false);
    connect(led, &TSkinnedButton::FunctionEdited, this, [this] { SetModified(true); });
    AdoptControl(led, false);
    return led;
}

void TUserLEDsForm::ReadLayoutFile(const QString& path)
{
    if (path.isEmpty())
        return;
    const TLedLayout layout = ReadLedLayoutFile(path);
    ReplaceColumn(path, layout.placement, [this, &layout] {
        for (const TLedEntry& entry : layout.leds) {
            tMachLEDLabeled* led = AddLed();
            if (!led)
                continue;
            led->setText(entry.caption);
            led->SetOEMLEDtype(entry.ledType);
        }
    }, layout.stopError);
}

QByteArray TUserLEDsForm::FormatLayout() const
{
    TLedLayout layout;
    layout.placement.top = y();
    layout.placement.left = x();
    for (QWidget* control : Column().Controls()) {
        const auto* led = static_cast<const tMachLEDLabeled*>(control);
        layout.leds.append(TLedEntry{led->text(), led->OEMLEDtype()});
    }
    return FormatLedLayout(layout);
}
