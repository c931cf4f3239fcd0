#include "controls/LampImages.h"
#include "controls/MachButton.h"
#include "controls/MachButtonToggle.h"
#include "controls/MachLed.h"
#include "windows/SkinManager.h"

#include "FakePlatform.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QVBoxLayout>

namespace {

// A skin file that paints every button blue with white borders and every widget white.
const QByteArray HostileSkin = R"({
    "palette": {"Button": "#0000ff", "ButtonText": "#ffffff", "Window": "#ffffff"},
    "styleSheet": [
        "QPushButton, QPushButton:hover, QPushButton:pressed, QPushButton:disabled {",
        "    background: #0000ff; border: 3px solid #ffffff; color: #ffffff; }",
        "QWidget { background: #ffffff; }",
        "QFrame { border: 2px solid #ffffff; }"
    ]})";

bool IsRed(const QColor& c) { return c.red() > 180 && c.green() < 110 && c.blue() < 110; }
bool IsSilver(const QColor& c)
{
    return c.red() > 150 && std::abs(c.red() - c.green()) < 16 && std::abs(c.green() - c.blue()) < 16;
}

int BrightGreenPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.green() > 150 && c.green() > c.red() + 80 && c.green() > c.blue() + 80;
        }
    }
    return count;
}

// The controls that show machine state: the E-stop button, a lamp, a bound lamp and a toggle
// button with the lamp images.
struct StateControls
{
    FakePlatform platform;
    QWidget window;
    tMachESTOPButton* estop = new tMachESTOPButton(platform.services, &window);
    TTILed* led = new TTILed(&window);
    tMachLed* machLed = new tMachLed(&window);
    tMachToggleButton* flood = new tMachToggleButton(platform.services, &window);

    StateControls()
    {
        auto* column = new QVBoxLayout(&window);
        estop->setFixedSize(75, 51);
        led->setFixedSize(28, 11);
        machLed->setFixedSize(28, 11);
        flood->setFixedSize(75, 25);
        flood->setText(QStringLiteral("Flood"));
        flood->SetImages(LampImages());
        flood->SetToggleOnImageIndex(LampOnImageIndex);
        flood->SetToggleOffImageIndex(LampOffImageIndex);
        for (QWidget* w : std::initializer_list<QWidget*>{estop, led, machLed, flood})
            column->addWidget(w);
        window.show();
    }

    static QColor Centre(QWidget* w) { return w->grab().toImage().pixelColor(w->width() / 2, w->height() / 2); }
    // Left of the caption, inside any border.
    static QColor Face(QWidget* w) { return w->grab().toImage().pixelColor(6, w->height() / 2); }
};

}  // namespace

// Under every skin, built in or read from a file (even one that restyles every button and
// frame), the E-stop button shows its red and silver faces, lamps their state colours and
// toggle buttons their lit and dark lamp.
TEST(StateColours, SurviveEverySkin)
{
    QTemporaryDir dir;
    QFile hostile(dir.filePath(QStringLiteral("Hostile.zskin")));
    ASSERT_TRUE(hostile.open(QIODevice::WriteOnly));
    hostile.write(HostileSkin);
    hostile.close();
    TSkinManager manager;
    manager.SetSkinDirectory(dir.path());
    ASSERT_EQ(manager.SkinNames().size(), 5) << manager.Problems().join(QLatin1Char('\n')).toStdString();

    StateControls controls;
    for (const QString& skin : manager.SkinNames()) {
        manager.SetSkinName(skin);
        QApplication::processEvents();
        const std::string name = skin.toStdString();

        controls.estop->SetResetState(true);
        EXPECT_TRUE(IsSilver(StateControls::Face(controls.estop))) << name;
        controls.estop->SetResetState(false);
        EXPECT_TRUE(IsRed(StateControls::Face(controls.estop))) << name;

        for (TTILed* lamp : {controls.led, static_cast<TTILed*>(controls.machLed)}) {
            lamp->SetLedColor(TLedColor::Red);
            lamp->SetLedOn(true);
            EXPECT_EQ(StateControls::Centre(lamp), QColor(255, 0, 0)) << name;
            lamp->SetLedColor(TLedColor::Green);
            lamp->SetLedOn(false);
            EXPECT_EQ(StateControls::Centre(lamp), QColor(0, 128, 0)) << name;
        }

        controls.flood->SetToggled(true);
        EXPECT_GT(BrightGreenPixels(controls.flood->grab().toImage()), 20) << name;
        controls.flood->SetToggled(false);
        EXPECT_EQ(BrightGreenPixels(controls.flood->grab().toImage()), 0) << name;
    }
}
