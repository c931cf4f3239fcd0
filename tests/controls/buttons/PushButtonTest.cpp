#include "ButtonTestSupport.h"
#include "FileSizeLimit.h"

#include "host/CMach4Wrapper.h"
#include "host/MachUpdateThread.h"
#include "platform/ZentyrError.h"

#include <QFile>
#include <QTemporaryDir>

// Every OEM click, bound or not, presses its code (0 included) when bound, then sets or clears
// the stop request, then raises the click event last.
TEST_F(ButtonFixture, OEMButtonClickOrder)
{
    const struct { TmcOEMButtontype kind; bool bound; bool stopBefore; const char* sent; bool stopAfter; } cases[] = {
        {obtNONE, true, false, "DoOEMButton(0)", false},
        {obtStop, true, false, "DoOEMButton(1003)", true},
        {obtStop, false, false, nullptr, true},
        {obtCycle_start, false, true, nullptr, false},
        {obtCycle_start, true, true, "DoOEMButton(1000)", false},
    };
    for (const auto& c : cases) {
        host->ClearJournal();
        StopRequested = c.stopBefore;
        auto* button = c.bound ? Bound<tMachOEMButton>() : Make<tMachOEMButton>();
        button->SetOEMbutton(c.kind);
        QStringList seenAtEvent;
        bool stopAtEvent = !c.stopAfter;
        QObject::connect(button, &TSkinnedButton::ClickEvent, button, [&] {
            seenAtEvent = host->journal;
            stopAtEvent = StopRequested;
        });
        button->click();
        const QStringList sent = c.sent ? QStringList{S(c.sent)} : QStringList{};
        EXPECT_EQ(host->journal, sent) << c.kind;
        EXPECT_EQ(seenAtEvent, sent) << "the click event comes after the host call";
        EXPECT_EQ(stopAtEvent, c.stopAfter) << "the stop rule runs before the click event";
        EXPECT_EQ(StopRequested, c.stopAfter);
    }
}

// A press condition runs first in a bound click: false or an error ends the click before the
// press, the stop rule and the click event; unbound clicks never ask it.
TEST_F(ButtonFixture, OEMButtonPressCondition)
{
    const struct { bool bound; int answer; int asked; const char* sent; int events; bool stopAfter; } cases[] = {
        {true, 1, 1, "DoOEMButton(1000)", 1, false},
        {true, 0, 1, nullptr, 0, true},
        {true, -1, 1, nullptr, 0, true},  // raises: the error box, nothing pressed
        {false, 0, 0, nullptr, 1, false},
    };
    for (const auto& c : cases) {
        host->ClearJournal();
        platform.messageBoxes.shown.clear();
        StopRequested = true;
        auto* button = c.bound ? Bound<tMachOEMButton>() : Make<tMachOEMButton>();
        button->SetOEMbutton(obtCycle_start);
        int asked = 0;
        button->SetPressCondition([&] {
            ++asked;
            if (c.answer < 0)
                throw ZentyrError(S("not ready"));
            return c.answer == 1;
        });
        QSignalSpy events(button, &TSkinnedButton::ClickEvent);
        button->click();
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(host->journal, c.sent ? QStringList{S(c.sent)} : QStringList{});
        EXPECT_EQ(events.count(), c.events);
        EXPECT_EQ(StopRequested, c.stopAfter);
        EXPECT_EQ(Errors(), c.answer < 0 ? QStringList{S("not ready")} : QStringList{});
    }

    // A condition during which the button goes ends the click without touching it.
    auto* going = Bound<tMachOEMButton>();
    going->SetPressCondition([&] {
        delete going;
        return true;
    });
    host->ClearJournal();
    going->click();
    EXPECT_TRUE(host->journal.isEmpty());
}

// Without a script object these buttons do nothing at all, not even their click event; the
// labelled LED still raises its click. An empty reference disables a button.
TEST_F(ButtonFixture, UnboundButtonsDoNothing)
{
    auto* toggle = Make<tMachToggleButton>();
    toggle->SetOEMButtonType(obtFlood_Toggle);
    auto* script = Make<tMachVBScriptButton>();
    script->SetMacroFolder(S("/nonexistent"));
    const QList<TSkinnedButton*> silent{Make<tMachCodeButton>(), script, Make<tMachUserButton>(),
                                        toggle, Make<tMachSpindleButton>(),
                                        Make<tMachESTOPButton>()};
    for (TSkinnedButton* button : silent) {
        QSignalSpy events(button, &TSkinnedButton::ClickEvent);
        ASSERT_TRUE(button->isEnabled());
        button->click();
        EXPECT_EQ(events.count(), 0) << button->metaObject()->className();
    }
    EXPECT_TRUE(host->journal.isEmpty());
    EXPECT_TRUE(Errors().isEmpty());

    auto* led = Make<tMachLEDLabeled>();
    QSignalSpy ledEvents(led, &TSkinnedButton::ClickEvent);
    led->click();
    EXPECT_EQ(ledEvents.count(), 1);

    auto* bound = Bound<tMachOEMButton>();
    bound->BindMach(nullptr, nullptr);
    EXPECT_FALSE(bound->isEnabled());
}

TEST_F(ButtonFixture, UserButtonSendsTextThenNumberAndRefusesOutOfRange)
{
    auto* button = Bound<tMachUserButton>();
    button->SetCode(S("probe"));
    button->SetUserBtnNum(-32768);
    button->click();
    EXPECT_EQ(host->journal, (QStringList{S("SetButtonText(\"probe\")"), S("DoButton(-32768)")}));

    host->ClearJournal();
    button->SetUserBtnNum(32768);
    button->click();
    EXPECT_TRUE(host->journal.isEmpty()) << "a refused number sends nothing, not even the text";
    EXPECT_EQ(Errors().size(), 1);
}

TEST(MacroFolder, BuiltWithTheHostFoldersSeparator)
{
    EXPECT_EQ(MachMacroFolder(S("C:\\Mach3\\"), S("Mill")), S("C:\\Mach3\\Macros\\Mill"));
    EXPECT_EQ(MachMacroFolder(S("/opt/mach3/"), S("Mill")), S("/opt/mach3/Macros/Mill"));
}

// The macro is written whole with CR LF line ends, the button waits 100 ms, then has the host
// run M6666. A file that cannot be written (no folder, a full disk) reports the error, keeps
// the older macro and asks the host for nothing.
TEST_F(ButtonFixture, ScriptButtonWritesTheMacroThenRunsIt)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString macro = folder.path() + S("/M6666.m1s");
    {
        QFile old(macro);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an older and much longer macro text\r\n");
    }
    auto* button = Bound<tMachVBScriptButton>();
    button->SetMacroFolder(folder.path());
    button->SetCode(S("Code \"G0 X1\"\n\nMessage \"done\""));
    button->click();

    QFile written(macro);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray("Code \"G0 X1\"\r\n\r\nMessage \"done\"\r\n"));
    EXPECT_EQ(platform.waiter.waits, QStringList{S("Sleep(100)")});
    EXPECT_EQ(host->journal, QStringList{S("Code(\"M6666\")")});

    host->ClearJournal();
    for (const QString& badFolder : {folder.path() + S("/missing"), QString()}) {
        button->SetMacroFolder(badFolder);
        button->click();
    }
    button->SetMacroFolder(folder.path());
    button->SetCode(S("Message \"another macro\""));
    {
        const FileSizeLimit full(8);
        button->click();
    }
    EXPECT_TRUE(host->journal.isEmpty());
    ASSERT_EQ(Errors().size(), 3);
    EXPECT_TRUE(Errors()[0].contains(S("/missing/M6666.m1s"))) << Errors()[0].toStdString();
    EXPECT_TRUE(Errors()[2].contains(macro)) << Errors()[2].toStdString();
    QFile kept(macro);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("Code \"G0 X1\"\r\n\r\nMessage \"done\"\r\n"));
}

// Fresh: the reset face in silver. The face changes only with the value; a click presses
// Reset, reads the reset LED into the state, and raises the click event last.
TEST_F(ButtonFixture, EstopFaces)
{
    auto* estop = Bound<tMachESTOPButton>();
    EXPECT_EQ(estop->text(), S("R&eset"));
    EXPECT_EQ(estop->FaceColor(), QColor(192, 192, 192));
    EXPECT_EQ(estop->size(), QSize(75, 55));
    EXPECT_EQ(estop->font().pointSize(), 12);

    estop->PollRefresh(*host, false);
    EXPECT_EQ(estop->text(), S("&Estop"));
    EXPECT_EQ(estop->FaceColor(), QColor(255, 0, 0));
    estop->setText(S("operator's"));
    estop->PollRefresh(*host, false);
    EXPECT_EQ(estop->text(), S("operator's")) << "an unchanged value leaves the face alone";
    EXPECT_TRUE(host->journal.isEmpty()) << "the refresh reads nothing of its own";

    host->leds[800] = true;
    bool stateAtEvent = false;
    QObject::connect(estop, &TSkinnedButton::ClickEvent, estop,
                     [&] { stateAtEvent = estop->resetState(); });
    estop->click();
    EXPECT_EQ(host->journal, (QStringList{S("DoOEMButton(1021)"), S("GetOEMLed(800)")}));
    EXPECT_TRUE(stateAtEvent);
    EXPECT_EQ(estop->text(), S("R&eset"));
    estop->PollRefresh(*host, true);
    EXPECT_TRUE(estop->isEnabled()) << "the E-stop button stays usable in reset";
}

// The poll pass enables push, toggle and spindle buttons only out of reset; the labelled LED's
// enabled state is left alone.
TEST_F(ButtonFixture, RefreshFollowsTheResetLed)
{
    const QList<IMachPollable*> buttons{Bound<tMachCodeButton>(), Bound<tMachOEMButton>(),
                                        Bound<tMachToggleButton>(), Bound<tMachSpindleButton>()};
    for (const bool inReset : {true, false, true}) {
        for (IMachPollable* pollable : buttons) {
            pollable->PollRefresh(*host, inReset);
            EXPECT_EQ(dynamic_cast<QWidget*>(pollable)->isEnabled(), !inReset);
        }
    }
    auto* led = Make<tMachLEDLabeled>();
    led->setIMach(host);
    led->PollRefresh(*host, true);
    EXPECT_TRUE(led->isEnabled());
}

TEST_F(ButtonFixture, ConstructionDefaultsAndKindCodes)
{
    EXPECT_EQ(Make<tMachOEMButton>()->width(), 55);
    EXPECT_EQ(Make<tMachCodeButton>()->SkinSection(), S("BUTTON"));

    auto* spindle = Make<tMachSpindleButton>();
    EXPECT_EQ(spindle->text(), S("Spin&dle"));
    EXPECT_EQ(spindle->ButtonCode(), 182);
    EXPECT_EQ(spindle->LEDCode(), 116);
    EXPECT_FALSE(spindle->Toggled());

    auto* led = Make<tMachLEDLabeled>();
    EXPECT_EQ(led->width(), 55);
    EXPECT_EQ(led->SkinSection(), S("COMBOBOX"));
    EXPECT_FALSE(led->focusPolicy() & Qt::TabFocus);

    auto* oem = Make<tMachOEMButton>();
    oem->SetOEMbutton(obtZero_Z);
    EXPECT_EQ(oem->ButtonCode(), 1010);
    EXPECT_THROW(oem->SetOEMbutton(static_cast<TmcOEMButtontype>(OEMButtonKindCount)), ZentyrError);
    EXPECT_EQ(oem->OEMbutton(), obtZero_Z) << "a refused kind changes nothing";
    EXPECT_THROW(led->SetOEMLEDtype(static_cast<TmcOEMLEDtype>(OEMLEDKindCount)), ZentyrError);
}

// Window binding hands each button its row: push, toggle, spindle and E-stop buttons get the
// script object and join the poll list; labelled LEDs are left to the window that makes them.
TEST_F(ButtonFixture, WindowBindingTakesEachButtonsRow)
{
    RecordingDocumentFactory documents{host};
    auto* wMach = new TCMach4Wrapper(documents, platform.services, &window);
    platform.hostWindows.caption = TCMach4Wrapper::HostWindowCaption;
    wMach->SetMachLoc(S("/opt/mach3/Mach3.exe"));

    auto* panel = new QWidget(&window);
    const QList<QWidget*> bound{new tMachCodeButton(platform.services, panel),
                                new tMachOEMButton(platform.services, panel),
                                new tMachToggleButton(platform.services, panel),
                                new tMachSpindleButton(platform.services, panel),
                                new tMachESTOPButton(platform.services, &window)};
    auto* led = new tMachLEDLabeled(platform.services, panel);
    for (QWidget* button : bound)
        button->setEnabled(false);
    led->setEnabled(false);

    wMach->SetActive(true);
    ASSERT_TRUE(wMach->Connected());
    const QList<QObject*> registered = wMach->UpdateThread()->Registrations();
    for (QWidget* button : bound) {
        EXPECT_TRUE(button->isEnabled()) << button->metaObject()->className();
        EXPECT_TRUE(registered.contains(button)) << button->metaObject()->className();
    }
    EXPECT_FALSE(led->isEnabled());
    EXPECT_FALSE(registered.contains(led));
    wMach->SetConnected(false);
}
