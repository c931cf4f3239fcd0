#include "windows/MachSpindleForm.h"

#include "controls/DroSpeedFrame.h"
#include "controls/MachButtonToggle.h"
#include "host/MachUpdateThread.h"

#include "MainWindowHarness.h"
#include "RecordingLayoutStore.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QToolButton>

namespace {

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

struct SpindleWindowFixture : ::testing::Test, MainWindowHarness
{
    // Opens the window with the "Spindle" cool-bar button of a running main window.
    TSpindleForm* OpenFromCoolBar()
    {
        for (QToolButton* button : window->findChildren<QToolButton*>()) {
            if (button->text() == S("Spindle"))
                QTest::mouseClick(button, Qt::LeftButton);
        }
        return qobject_cast<TSpindleForm*>(
            window->ToolWindowSlot(TForm1::ToolWindow::Spindle).Window());
    }
};

}  // namespace

// After opening, the direction reads "CCW" and a click sends M4; one click on the direction
// button gives "CW" and M3; with the spindle running M5 whatever the speed; at speed 0 with
// the spindle stopped a warning and nothing sent.
TEST_F(SpindleWindowFixture, SpindleButtonSendsTheWordOfTheShownState)
{
    HostRunning();
    host->dros[817] = 200;
    Start({}, {}, true);
    TSpindleForm* spindle = OpenFromCoolBar();
    ASSERT_NE(spindle, nullptr);
    EXPECT_TRUE(spindle->isVisible());
    EXPECT_EQ(spindle->windowTitle(), S("SpindleForm"));
    tMachSpindleButton* button = spindle->btnSpindle();
    EXPECT_EQ(spindle->btnCW()->text(), S("CCW"));
    EXPECT_FALSE(spindle->btnCW()->Toggled());
    EXPECT_EQ(spindle->spdSpindle()->Value(), 200);
    EXPECT_TRUE(button->locked());
    EXPECT_EQ(button->ImageIndex(), 0) << "the off lamp is shown";
    EXPECT_EQ(button->iMach(), window->wMach().iMach());

    const auto clickSends = [&](QAbstractButton* clicked) {
        host->ClearJournal();
        clicked->click();
        return host->journal;
    };
    EXPECT_EQ(clickSends(button), QStringList{S("Code(\"M4\")")});
    EXPECT_TRUE(clickSends(spindle->btnCW()).isEmpty());
    EXPECT_EQ(spindle->btnCW()->text(), S("CW"));
    EXPECT_EQ(clickSends(button), QStringList{S("Code(\"M3\")")});

    host->leds[116] = true;
    window->wMach().UpdateThread()->PollPass();
    EXPECT_TRUE(button->Toggled());
    EXPECT_EQ(button->ImageIndex(), 1);
    spindle->spdSpindle()->SetValue(0);
    EXPECT_EQ(clickSends(button), QStringList{S("Code(\"M5\")")});

    host->leds[116] = false;
    window->wMach().UpdateThread()->PollPass();
    spindle->spdSpindle()->SetValue(0);
    EXPECT_TRUE(clickSends(button).isEmpty());
    ASSERT_EQ(platform.messageBoxes.shown.size(), 1);
    EXPECT_EQ(platform.messageBoxes.shown.front().kind, IMessageBoxes::Kind::Warning);
    EXPECT_EQ(platform.messageBoxes.shown.front().text, S("Spindle Speed is Zero, Set Speed"));
}

// Unbound, a click on either button does nothing at all, not even flip the direction.
TEST(SpindleFormUnbound, ClicksDoNothing)
{
    FakePlatform platform;
    TSpindleForm form(platform.services);
    EXPECT_EQ(form.btnCW()->text(), S("CW"));
    form.btnCW()->click();
    form.btnSpindle()->click();
    EXPECT_TRUE(form.btnCW()->Toggled());
    EXPECT_EQ(form.btnCW()->text(), S("CW"));
    EXPECT_TRUE(platform.messageBoxes.shown.isEmpty());
}

// Written: position, size, scale, state in that order; read back: position and state only.
TEST(SpindleFormDesktop, WriteOrderAndSizeNotRestored)
{
    FakePlatform platform;
    TSpindleForm form(platform.services);
    form.move(7, 9);
    RecordingLayoutStore store;
    form.WriteDesktop(store);
    const QString s = TSpindleForm::Section + u'\\';
    EXPECT_EQ(store.writes, (QStringList{s + S("Left=7"), s + S("Top=9"), s + S("Width=145"),
                                         s + S("Height=119"), s + S("ScalarSetting=0"),
                                         s + S("WindowState=0")}));

    TSpindleForm next(platform.services);
    store.Set(S("Width"), S("300"));
    store.Set(S("Height"), S("400"));
    next.ReadDesktop(store);
    EXPECT_EQ(next.pos(), QPoint(7, 9));
    EXPECT_EQ(next.size(), QSize(145, 119));
}
