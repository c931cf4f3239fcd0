#include "app/ToolWindows.h"
#include "controls/MachButton.h"
#include "controls/MachButtonToggle.h"
#include "controls/MachButtonTypeDlg.h"
#include "controls/MachCodeDlg.h"
#include "host/CMach4Wrapper.h"
#include "host/Mach4_TLB.h"
#include "host/MachUpdateThread.h"
#include "host/link/LinkDocument.h"
#include "host/link/LinkHostWindows.h"
#include "platform/NativeShell.h"
#include "platform/NativeWaiter.h"
#include "windows/MachLEDForm.h"
#include "windows/MachUserButtonForm.h"
#include "windows/MainPanel.h"
#include "windows/ZentyrMain.h"

#include "FakePlatform.h"
#include "FakeSettingsStore.h"
#include "HostsimProcess.h"
#include "RealHostServices.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The program's main window over the link to a real hostsim, with native waits and fake
// dialogs; the operator works through the menus and buttons.
struct UserColumnsEndToEnd : ::testing::Test
{
    HostsimProcess hostsim;
    QTemporaryDir folder;
    RealHostServices services;
    std::unique_ptr<TForm1> window;

    void SetUp() override
    {
        ASSERT_TRUE(hostsim.Start());
        window = services.StartMainWindow(folder, HostsimProcess::ProgramPath());
        ASSERT_TRUE(window->wMach().Connected());
        window->Panel().btnEstop()->click();  // out of reset
    }

    // Opens a window through its item of the "Windows" menu.
    template <typename Form>
    Form* OpenFromMenu(const QString& item)
    {
        for (QAction* menu : window->menuBar()->actions()) {
            if (menu->text() != QStringLiteral("Windows"))
                continue;
            for (QAction* action : menu->menu()->actions()) {
                if (action->text() == item)
                    action->trigger();
            }
        }
        const auto which = std::is_same_v<Form, TUserLEDsForm> ? TForm1::ToolWindow::Leds
                                                               : TForm1::ToolWindow::UserButtons;
        return qobject_cast<Form*>(window->ToolWindowSlot(which).Window());
    }
    IMyScriptObject& Host() { return *window->wMach().iMach(); }
    void Poll() { window->wMach().UpdateThread()->PollPass(); }
};

}  // namespace

TEST_F(UserColumnsEndToEnd, AGCodeButtonSwitchesFloodAndALampShowsIt)
{
    auto* buttons = OpenFromMenu<TUserCodeButtonsForm>(QStringLiteral("User Defined Buttons"));
    ASSERT_NE(buttons, nullptr);
    ASSERT_TRUE(buttons->isVisible());
    buttons->btnGCode()->click();
    ASSERT_EQ(buttons->ButtonCount(), 1);
    tMachButton* button = buttons->Button(0);
    button->SetDialogRunner([](QDialog& dialog) {
        auto& code = static_cast<TMachCodeDialog&>(dialog);
        code.SetCodeText(QStringLiteral("M8"));
        code.eCaption()->setText(QStringLiteral("Flood on"));
        return true;
    });
    QTest::mouseClick(button, Qt::RightButton);
    EXPECT_TRUE(buttons->Modified());
    ASSERT_FALSE(Host().GetOEMLed(13));
    button->click();
    EXPECT_TRUE(Host().GetOEMLed(13)) << "the simulator's flood is on";
    EXPECT_TRUE(hostsim.JournalCalls().contains(QStringLiteral("Code(\"M8\")")))
        << hostsim.JournalCalls().join(u'\n').toStdString();

    auto* leds = OpenFromMenu<TUserLEDsForm>(QStringLiteral("LEDs"));
    ASSERT_NE(leds, nullptr);
    leds->btnNew()->click();
    ASSERT_EQ(leds->LedCount(), 1);
    tMachLEDLabeled* lamp = leds->Led(0);
    lamp->SetDialogRunner([](QDialog& dialog) {
        static_cast<TBtnTypeDlg&>(dialog).cbLEDtype()->setCurrentText(QStringLiteral("Flood"));
        return true;
    });
    QTest::mouseClick(lamp, Qt::RightButton);
    EXPECT_FALSE(lamp->Toggled());
    Poll();
    EXPECT_TRUE(lamp->Toggled()) << "lit on the next pass";

    window->Panel().FloodButton()->click();
    Poll();
    EXPECT_FALSE(lamp->Toggled());
}
