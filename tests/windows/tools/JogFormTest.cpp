#include "windows/MachJogForm.h"

#include "controls/DroSpeedFrame.h"
#include "controls/MachButtonToggle.h"
#include "controls/MachJogDirButton.h"
#include "controls/MachJogPctFrame.h"
#include "controls/Scalar.h"
#include "host/MachUpdateThread.h"
#include "windows/XmlLayoutStorage.h"

#include "MainWindowHarness.h"
#include "RecordingLayoutStore.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTest>

namespace {

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

struct JogFormFixture : ::testing::Test
{
    FakePlatform platform;
    TJogForm form{platform.services};

    QStringList Captions() const
    {
        QStringList captions;
        for (int n = 1; n <= TJogForm::ButtonCount; ++n)
            captions.append(form.MachJogDirButton(n)->text());
        return captions;
    }
};

struct JogWindowFixture : ::testing::Test, MainWindowHarness
{
    TJogForm* OpenJog()
    {
        window->OpenToolWindow(TForm1::ToolWindow::Jog);
        return qobject_cast<TJogForm*>(window->ToolWindowSlot(TForm1::ToolWindow::Jog).Window());
    }
    void WriteLayout(const QString& key, int value)
    {
        TXmlLayoutStorage store(LayoutPath());
        store.SelectSection(TJogForm::Section);
        store.WriteInteger(key, value);
    }
};

}  // namespace

// X+ right, Y- lower right, Z- bottom, X- left, Y+ upper left, Z+ top; tab order 1 to 6.
TEST_F(JogFormFixture, DesignDirectionsAndTabOrder)
{
    EXPECT_EQ(form.windowTitle(), S("Jog Controls"));
    EXPECT_EQ(form.size(), QSize(145, 265));
    EXPECT_EQ(Captions(), (QStringList{S("X+"), S("Y-"), S("Z-"), S(" X-"), S("Y+"), S("Z+")}));
    for (int n = 1; n < TJogForm::ButtonCount; ++n)
        EXPECT_EQ(form.MachJogDirButton(n)->nextInFocusChain(), form.MachJogDirButton(n + 1));
    EXPECT_EQ(form.DROspeed1()->MachDROnum(), 126);
    EXPECT_TRUE(form.actions().contains(form.Scalar1().EnlargeAction()))
        << "the shortcuts act although the menu is hidden";
}

// The focus handler takes the frame's continuous state while jogging is enabled, and leaves
// the flag alone while it is not.
TEST_F(JogFormFixture, FocusHandlerTakesTheFramesJogMode)
{
    const struct { bool jogging; bool continuous; bool before; bool after; } rows[] = {
        {true, true, false, true},
        {true, false, true, false},
        {false, true, false, false},
        {false, false, true, true},
    };
    TMachJogDirButton* button = form.MachJogDirButton(3);
    for (const auto& row : rows) {
        form.JogPct1()->btnJogOn()->SetToggled(row.jogging);
        form.JogPct1()->btnJogCont()->SetToggled(row.continuous);
        button->SetJogContinuous(row.before);
        Q_EMIT button->Entered();
        EXPECT_EQ(button->JogContinuous(), row.after);
    }
}

// A press acts on the mode the frame shows at that moment, also when the mode changed while
// the button kept the focus: the continuous jog still gets its Stop on release.
TEST_F(JogFormFixture, PressFollowsAModeChangedWhileTheButtonKeptTheFocus)
{
    auto host = std::make_shared<RecordingHost>();
    host->leds[83] = true;
    TMachJogDirButton* button = form.MachJogDirButton(1);
    button->BindMach(host, nullptr);
    form.JogPct1()->btnJogOn()->SetToggled(true);
    form.JogPct1()->btnJogCont()->SetToggled(false);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    button->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(button->JogContinuous());

    form.JogPct1()->btnJogCont()->SetToggled(true);  // the next pass saw continuous mode
    QTest::mousePress(button, Qt::LeftButton);
    QTest::mouseRelease(button, Qt::LeftButton);
    EXPECT_EQ(host->journal, (QStringList{S("GetOEMLed(83)"), S("DoOEMButton(307)"),
                                          S("DoOEMButton(1003)")}));
}

// Reading takes position, size and state, then "Jog6" to "Jog1"; an ordinal outside 0 to 7
// leaves its button, a missing size keeps the design size.
TEST_F(JogFormFixture, DesktopReadSetsDirectionsAndKeepsTheDesignSize)
{
    RecordingLayoutStore store;
    store.SelectSection(TJogForm::Section);
    store.Set(S("Left"), S("40"));
    store.Set(S("Top"), S("60"));
    store.Set(S("Jog1"), S("0"));
    store.Set(S("Jog2"), S("8"));
    store.Set(S("Jog3"), S("-1"));
    store.Set(S("Jog6"), S("7"));
    form.ReadDesktop(store);
    EXPECT_EQ(form.pos(), QPoint(40, 60));
    EXPECT_EQ(form.size(), QSize(145, 265));
    EXPECT_EQ(Captions(), (QStringList{S(" X-"), S("Y-"), S("Z-"), S(" X-"), S("Y+"), S("A+")}));
    EXPECT_EQ(form.MachJogDirButton(1)->JogCode(), 308);

    store.Set(S("Width"), S("160"));
    store.Set(S("Height"), S("280"));
    form.ReadDesktop(store);
    EXPECT_EQ(form.size(), QSize(160, 280));
}

TEST_F(JogFormFixture, DesktopWriteAndDirectionStoreOrder)
{
    form.move(12, 34);
    form.MachJogDirButton(2)->SetJogMovement(jmAminus);
    RecordingLayoutStore store;
    form.WriteDesktop(store);
    const QString s = TJogForm::Section + u'\\';
    const QStringList directions{s + S("Jog6=5"), s + S("Jog5=3"), s + S("Jog4=0"),
                                 s + S("Jog3=4"), s + S("Jog2=6"), s + S("Jog1=1")};
    EXPECT_EQ(store.writes, QStringList({s + S("Left=12"), s + S("Top=34"), s + S("WindowState=0"),
                                         s + S("ScalarSetting=0")})
                                + directions);

    store.writes.clear();
    store.SelectSection(S("Desktop\\MainForm"));
    form.StoreDirections(store);
    EXPECT_EQ(store.writes, directions);
}

// The menu item opens the window with its first-open steps: the stored directions and scale,
// then binding (buttons get the host, the frame is registered twice with its toggles).
TEST_F(JogWindowFixture, OpensFromTheMenuRestoredAndBound)
{
    WriteLayout(S("Jog1"), 0);
    WriteLayout(S("ScalarSetting"), 10);
    HostRunning();
    TForm1& form = Start({}, {}, true);
    QAction* item = nullptr;
    for (QAction* action : form.findChildren<QAction*>()) {
        if (action->text() == S("Jog Control"))
            item = action;
    }
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(item->isEnabled());
    item->trigger();
    auto* jog = qobject_cast<TJogForm*>(form.ToolWindowSlot(TForm1::ToolWindow::Jog).Window());
    ASSERT_NE(jog, nullptr);
    EXPECT_TRUE(jog->isVisible());
    EXPECT_EQ(jog->MachJogDirButton(1)->text(), S(" X-"));
    EXPECT_EQ(jog->MachJogDirButton(1)->JogCode(), 308);
    EXPECT_EQ(jog->Scalar1().Scalefactor(), 10);
    for (int n = 1; n <= TJogForm::ButtonCount; ++n)
        EXPECT_EQ(jog->MachJogDirButton(n)->iMach(), form.wMach().iMach());
    const QList<QObject*> registered = form.wMach().UpdateThread()->Registrations();
    TJogPct* frame = jog->JogPct1();
    EXPECT_EQ(registered.count(frame), 2);
    const qsizetype at = registered.indexOf(frame);
    EXPECT_EQ(registered.mid(at, 5), (QList<QObject*>{frame, frame, frame->btnJogCont(),
                                                        frame->btnJogOn(), jog->DROspeed1()}));
    EXPECT_TRUE(platform.messageBoxes.shown.isEmpty());
}

// A direction chosen from a button's menu survives a restart without saving the layout.
TEST_F(JogWindowFixture, DirectionsAreKeptAcrossARestartWithoutSaving)
{
    HostRunning();
    Start({}, {}, true);
    TJogForm* jog = OpenJog();
    ASSERT_NE(jog, nullptr);
    TMachJogDirButton* button = jog->MachJogDirButton(4);
    button->ShowDirectionMenu(QPoint(0, 0));
    button->DirectionMenu()->actions().at(int(jmZplus))->trigger();
    button->DirectionMenu()->close();
    window->close();
    window.reset();

    Start({}, {}, true);
    jog = OpenJog();
    ASSERT_NE(jog, nullptr);
    EXPECT_EQ(jog->MachJogDirButton(4)->text(), S("Z+"));
    EXPECT_EQ(jog->MachJogDirButton(1)->text(), S("X+"));
    TXmlLayoutStorage store(LayoutPath());
    store.SelectSection(TJogForm::Section);
    EXPECT_EQ(store.ReadInteger(S("Left"), -99), -99) << "only the directions were stored";
}
