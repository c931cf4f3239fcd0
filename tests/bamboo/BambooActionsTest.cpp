#include "bamboo/BambooGCode.h"
#include "bamboo/BambooMillActions.h"
#include "controls/MachButtonCodeRun.h"
#include "host/CMach4Wrapper.h"
#include "platform/ZentyrError.h"

#include "FakePlatform.h"
#include "RecordingHost.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

namespace {

#define S QStringLiteral

// The window's values as plain data, at the window's start values.
struct FakeForm final : IBambooMillForm
{
    std::map<BambooField, double> fields{
        {BambooField::PlatenLength, 60},  {BambooField::PlatenRemove, 0.1},
        {BambooField::PlatenPass, 0.03},  {BambooField::PlatenFinal, 0.01},
        {BambooField::StdHeight, 0},      {BambooField::StartHeight, 0.25},
        {BambooField::FinalDepth, 0.22},  {BambooField::TestLength, 5},
        {BambooField::TestPass, 0.1},     {BambooField::TestFinal, 0.003},
        {BambooField::Actual, 0.004},     {BambooField::YOffset, 0},
        {BambooField::BitDia, 0.625},     {BambooField::XOffset, 0.125},
        {BambooField::MortiseLength, 3.5}, {BambooField::MortiseDepth, 0.1},
        {BambooField::MortisePass, 0.01}, {BambooField::MortiseFinal, 0.003}};
    std::set<BambooCheck> ticked{BambooCheck::UseYOffset};
    std::map<BambooFeed, int> feeds{
        {BambooFeed::Feed, 75}, {BambooFeed::Rapid, 150}, {BambooFeed::Plunge, 20}};
    std::optional<bool> actualEnabled;
    QStringList written;
    QList<bool> busy;

    double FieldValue(BambooField field) const override { return fields.at(field); }
    double SetFieldValue(BambooField field, double value) override
    {
        return fields[field] = value;
    }
    bool Ticked(BambooCheck check) const override { return ticked.count(check) > 0; }
    int FeedValue(BambooFeed feed) const override { return feeds.at(feed); }
    void SetActualEnabled(bool enabled) override { actualEnabled = enabled; }
    void ProgramWritten(const QString& path, double stockTop) override
    {
        written << path + S(" @ ") + FormatFixed4(stockTop);
    }
    void SetBusy(bool on) override { busy << on; }
    void Tick(std::initializer_list<BambooCheck> checks) { ticked.insert(checks); }
};

// The actions over a connected host connection to the recording host, with the controller's
// folder (and its GCode folder) in a private place.
struct Actions : ::testing::Test
{
    QTemporaryDir folder;
    std::shared_ptr<RecordingHost> host = std::make_shared<RecordingHost>();
    RecordingDocumentFactory documents{host};
    FakePlatform platform;
    QObject owner;
    TCMach4Wrapper* wMach = new TCMach4Wrapper(documents, platform.services, &owner);
    FakeForm form;
    std::unique_ptr<TBambooMillActions> actions;

    void SetUp() override
    {
        StopRequested = false;
        platform.hostWindows.caption = TCMach4Wrapper::HostWindowCaption;
        wMach->SetMachLoc(folder.filePath(S("Mach3.exe")));
        wMach->SetActive(true);
        ASSERT_TRUE(wMach->Connected());
        ASSERT_TRUE(QDir(folder.path()).mkpath(S("GCode")));
        actions = std::make_unique<TBambooMillActions>(*wMach, wMach->iMach(), platform.services,
                                                       form);
        host->ClearJournal();
    }
    void TearDown() override { StopRequested = false; }

    QString MachDir() const { return wMach->MachDir(); }
    QString GCodeFile(const char* name) const
    {
        return MachDir() + S("GCode") + QDir::separator() + QLatin1String(name);
    }
    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // What the generator writes for these values, to compare the window's file with.
    template <typename Write>
    QByteArray Expected(Write write)
    {
        const QString path = folder.filePath(S("expected.tap"));
        write(path);
        return Read(path);
    }
    QStringList Boxes() const
    {
        QStringList shown;
        for (const auto& box : platform.messageBoxes.shown)
            shown << QString::number(int(box.kind)) + S(": ") + box.text;
        return shown;
    }
};

QString Info(const QString& text)
{
    return QString::number(int(IMessageBoxes::Kind::Information)) + S(": ") + text;
}
QString Warn(const QString& text)
{
    return QString::number(int(IMessageBoxes::Kind::Warning)) + S(": ") + text;
}

const QString Checklist = S("Not All Prepatory Operations Have Been Performed");

}  // namespace

// The steps that are one host call each.
TEST_F(Actions, SingleCallSteps)
{
    host->leds[800] = true;  // in reset: Go Online presses Reset
    form.fields[BambooField::StdHeight] = 0.3125;
    form.Tick({BambooCheck::SplineJogBegin});
    const struct
    {
        const char* name;
        void (TBambooMillActions::*step)();
        QStringList calls;
    } rows[] = {
        {"Safe Z", &TBambooMillActions::SafeZ, {S("DoOEMButton(104)")}},
        {"Reset Z to Std", &TBambooMillActions::ResetZToStandard, {S("SetOEMDRO(802, 0.3125)")}},
        {"Set Z to Actual", &TBambooMillActions::SetZToActual, {S("SetOEMDRO(802, 0.004)")}},
        {"Set X to Zero", &TBambooMillActions::SetXToZero, {S("DoOEMButton(1008)")}},
        {"Zero Z", &TBambooMillActions::ZeroZ, {S("DoOEMButton(1010)")}},
        {"Go Online", &TBambooMillActions::GoOnline,
         {S("GetOEMLed(800)"), S("DoOEMButton(1021)")}},
    };
    for (const auto& row : rows) {
        host->ClearJournal();
        ((*actions).*row.step)();
        EXPECT_EQ(host->journal, row.calls) << row.name;
    }
    EXPECT_TRUE(platform.messageBoxes.shown.isEmpty());
    EXPECT_FALSE(actions->Busy());
}

// Each refusal shows its box and sends nothing more; Probe has written both feeds first. A
// pass depth of 0 or less is refused before any host call.
TEST_F(Actions, RefusalsShowTheirBoxAndSendNothingFurther)
{
    const struct
    {
        const char* name;
        std::function<void()> prepare;
        void (TBambooMillActions::*step)();
        QString box;
        QStringList calls;
    } rows[] = {
        {"platen checklist incomplete",
         [&] { form.Tick({BambooCheck::InstallPlaten, BambooCheck::StraightBit,
                          BambooCheck::JogBeginX}); },
         &TBambooMillActions::CutPlaten,
         Warn(S("Not all Prepartory Actions Have Been Fullfilled")), {}},
        {"platen pass depth 0",
         [&] { form.Tick({BambooCheck::JogBeginZ}); form.fields[BambooField::PlatenPass] = 0; },
         &TBambooMillActions::CutPlaten,
         Warn(S("Pass Cut must be greater than 0: a pass of 0.0000 in never reaches the depth.")),
         {}},
        {"probe checklist incomplete",
         [&] { form.Tick({BambooCheck::PositionStandard, BambooCheck::StraddleStandard}); },
         &TBambooMillActions::Probe, Info(Checklist),
         {S("SetOEMDRO(818, 75)"), S("SetOEMDRO(104, 150)")}},
        {"test cut pass depth below 0",
         [&] { form.fields[BambooField::TestPass] = -0.01; }, &TBambooMillActions::CutTestHeight,
         Warn(S("Pass Cut must be greater than 0: a pass of -0.0100 in never reaches the depth.")),
         {}},
        {"test cut with Z at the start height",
         [&] { form.fields[BambooField::TestPass] = 0.1; host->dros[802] = 0.25; },
         &TBambooMillActions::CutTestHeight,
         Warn(S("Current Z value equals or is less than target Value")), {S("GetOEMDRO(802)")}},
        {"test cut without Jog To Start", [&] { host->dros[802] = 0.2501; },
         &TBambooMillActions::CutTestHeight, Info(Checklist), {S("GetOEMDRO(802)")}},
        {"set X to zero unticked", [] {}, &TBambooMillActions::SetXToZero, Info(Checklist), {}},
        {"seat probe without Jog To X Start", [&] { form.Tick({BambooCheck::SeatStraddle}); },
         &TBambooMillActions::ProbeSeat, Info(Checklist), {}},
        {"mortise pass depth 0", [&] { form.fields[BambooField::MortisePass] = 0; },
         &TBambooMillActions::PostMortise,
         Warn(S("Pass Depth must be greater than 0: a pass of 0.0000 in never reaches the "
                "depth.")),
         {}},
    };
    for (const auto& row : rows) {
        row.prepare();
        host->ClearJournal();
        platform.messageBoxes.shown.clear();
        ((*actions).*row.step)();
        EXPECT_EQ(Boxes(), QStringList{row.box}) << row.name;
        EXPECT_EQ(host->journal, row.calls) << row.name;
    }
    EXPECT_TRUE(form.written.isEmpty());
    EXPECT_FALSE(QFile::exists(actions->PlatenPath()));
    EXPECT_FALSE(form.actualEnabled.has_value());
}

TEST_F(Actions, CutPlatenWritesFromTheDrosAndLoadsFromTheGCodeFolder)
{
    form.Tick({BambooCheck::InstallPlaten, BambooCheck::StraightBit, BambooCheck::JogBeginX,
               BambooCheck::JogBeginZ});
    host->dros[800] = 1.5;
    host->dros[802] = 0.5;
    actions->CutPlaten();
    const QString path = GCodeFile("Platen Cut.tap");
    EXPECT_EQ(actions->PlatenPath(), path);
    EXPECT_EQ(host->journal,
              (QStringList{S("DoOEMButton(169)"), S("GetOEMDRO(800)"), S("GetOEMDRO(802)"),
                           S("GetOEMDRO(802)"), S("DoOEMButton(169)"),
                           S("LoadFile(\"") + path + S("\")")}));
    EXPECT_EQ(Read(path), Expected([](const QString& p) {
                  WritePlatenCutFile(p, 1.5, 0.5, 0.6, 60, 0.1, 0.03, 0.01, 150, 75, 20);
              }));
    EXPECT_EQ(form.written, QStringList{path + S(" @ 0.5000")}) << "previewed before loading";
    EXPECT_EQ(form.busy, (QList<bool>{true, false}));
}

// The test cut removes the "Final Depth" and writes into the controller's own folder; it
// zeroes "Actual" and then allows setting Z to it.
TEST_F(Actions, CutTestHeightRemovesTheFinalDepthAndArmsSetZToActual)
{
    form.Tick({BambooCheck::JogToStart});
    host->dros[802] = 0.3;
    host->dros[800] = 2;
    actions->CutTestHeight();
    const QString path = MachDir() + S("Test Height Cut.tap");
    EXPECT_EQ(host->journal,
              (QStringList{S("GetOEMDRO(802)"), S("DoOEMButton(169)"), S("GetOEMDRO(800)"),
                           S("DoOEMButton(169)"), S("LoadFile(\"") + path + S("\")"),
                           S("DoOEMButton(160)")}));
    EXPECT_EQ(platform.waiter.waits,
              (QStringList{S("SleepProcessingEvents(200)"), S("SleepProcessingEvents(250)")}));
    const QByteArray program = Read(path);
    EXPECT_TRUE(program.contains(";REM Z Zstart at: 0.2500 to a depth of: 0.0300\r\n"));
    EXPECT_EQ(program, Expected([](const QString& p) {
                  WriteTestHeightCutFile(p, 2, 0.25, 0.45, 5, 0.22, 0.1, 0.003, 150, 75, 20);
              }));
    EXPECT_EQ(form.fields[BambooField::Actual], 0.0);
    EXPECT_EQ(form.actualEnabled, true);

    actions->JogToStartToggled();
    EXPECT_EQ(form.actualEnabled, false);
}

// The mortise goes to the GCode folder; without "Use  Y Offset" its strokes stay at Y 0.
TEST_F(Actions, PostMortiseUsesTheYOffsetOnlyWhenTicked)
{
    form.fields[BambooField::YOffset] = 0.2;
    for (const bool useOffset : {true, false}) {
        if (!useOffset)
            form.ticked.erase(BambooCheck::UseYOffset);
        host->ClearJournal();
        actions->PostMortise();
        const QString path = GCodeFile("ReelSeatMortise.tap");
        EXPECT_EQ(host->journal,
                  (QStringList{S("DoOEMButton(169)"), S("DoOEMButton(169)"),
                               S("LoadFile(\"") + path + S("\")"), S("DoOEMButton(160)")}));
        const double y = useOffset ? 0.2 : 0.0;
        EXPECT_EQ(Read(path), Expected([y](const QString& p) {
                      WriteReelSeatMortiseFile(p, -0.4375, y, 3.1875, 0.1, 0.01, 0.003, 75, 20,
                                               150);
                  })) << useOffset;
        EXPECT_EQ(Read(path).contains("Y0.2000"), useOffset);
    }
}

// Each press deepens the mortise by 0.001 before the one finishing stroke is written.
TEST_F(Actions, RemoveAnotherThousandthAccumulates)
{
    actions->RemoveAnotherThousandth();
    actions->RemoveAnotherThousandth();
    EXPECT_NEAR(form.fields[BambooField::MortiseDepth], 0.102, 1e-12);
    EXPECT_EQ(host->Calls(S("DoOEMButton")).size(), 6);
    EXPECT_EQ(platform.waiter.waits.count(S("SleepProcessingEvents(200)")), 2);
    EXPECT_EQ(Read(actions->MortisePath()), Expected([](const QString& p) {
                  WriteReelSeatMortiseFile(p, -0.4375, 0, 3.1875, 0.102, 0, 0.102, 40, 15, 60);
              }));
}

// The wait asks IsMoving, pauses 150 ms with events and reads Stopped, until motion ends or
// the host or the operator halts it.
TEST_F(Actions, WaitForMotionEndsOrHalts)
{
    const struct
    {
        const char* name;
        std::deque<bool> moving;
        std::function<void(int pause)> atPause;
        bool ended;
        QStringList calls;
    } rows[] = {
        {"already still", {false}, nullptr, true, {S("IsMoving()")}},
        {"moves, then ends", {true, true, false}, nullptr, true,
         {S("IsMoving()"), S("GetOEMLed(80)"), S("IsMoving()"), S("GetOEMLed(80)"),
          S("IsMoving()")}},
        {"the host reports a halt", {true, true}, [&](int pause) { host->leds[80] = pause == 2; },
         false,
         {S("IsMoving()"), S("GetOEMLed(80)"), S("IsMoving()"), S("GetOEMLed(80)"),
          S("Message(\"Probing Halted\")")}},
        {"the operator presses Stop", {true}, [](int) { StopRequested = true; }, false,
         {S("IsMoving()"), S("GetOEMLed(80)"), S("Message(\"Probing Halted\")")}},
    };
    for (const auto& row : rows) {
        host->ClearJournal();
        host->leds[80] = false;
        host->movingSequence = row.moving;
        int pauses = 0;
        platform.waiter.onWait = [&] {
            if (row.atPause)
                row.atPause(++pauses);
        };
        EXPECT_EQ(actions->WaitForMotion(), row.ended) << row.name;
        EXPECT_EQ(host->journal, row.calls) << row.name;
        EXPECT_FALSE(StopRequested) << row.name;
    }
}

// Probe: feeds, then centring in Y between the two contacts, then down to the Z contact.
TEST_F(Actions, ProbeCentresInYThenTouchesInZ)
{
    form.Tick({BambooCheck::PositionStandard, BambooCheck::StraddleStandard,
               BambooCheck::JogZToStandard});
    host->dros[801] = 0.01;
    host->onCode = [&](const QString& code) {
        if (code == S("g31 F1 Y0.2100"))
            host->vars[2001] = 0.08;
        if (code == S("g31 F1 Y-0.1900"))
            host->vars[2001] = -0.02;
        if (code == S("g31 z-10"))
            host->vars[2002] = -1.25;
    };
    actions->Probe();
    EXPECT_EQ(host->journal,
              (QStringList{S("SetOEMDRO(818, 75)"), S("SetOEMDRO(104, 150)"),
                           S("Message(\"Probing Y axis\")"), S("GetOEMDRO(801)"),
                           S("Code(\"g31 F1 Y0.2100\")"), S("IsMoving()"), S("GetVar(2001)"),
                           S("Code(\"G01 Y0.0100\")"), S("IsMoving()"),
                           S("Message(\"Reversing Y Probe\")"), S("Code(\"g31 F1 Y-0.1900\")"),
                           S("IsMoving()"), S("GetVar(2001)"), S("Message(\"Centering Y\")"),
                           S("Code(\"G01 F1 Y0.0300\")"), S("IsMoving()"), S("GetOEMDRO(801)"),
                           S("GetOEMLed(80)"), S("Code(\"g31 z-10\")"), S("IsMoving()"),
                           S("GetVar(2002)"), S("IsMoving()")}));
    EXPECT_EQ(platform.waiter.waits.count(S("SleepProcessingEvents(250)")), 3);
}

// A halted wait ends the probing with no further call; the next probe is not halted by it.
TEST_F(Actions, StopDuringProbeEndsItThere)
{
    form.Tick({BambooCheck::PositionStandard, BambooCheck::StraddleStandard,
               BambooCheck::JogZToStandard});
    host->movingSequence = {true};
    platform.waiter.onWait = [&] { StopRequested = true; };
    actions->Probe();
    EXPECT_EQ(host->journal.mid(host->journal.size() - 3),
              (QStringList{S("IsMoving()"), S("GetOEMLed(80)"), S("Message(\"Probing Halted\")")}));
    EXPECT_TRUE(host->Calls(S("Code(\"g31 z")).isEmpty());
    EXPECT_FALSE(actions->Busy());

    platform.waiter.onWait = nullptr;
    StopRequested = true;  // an old request does not halt a new probe
    host->ClearJournal();
    actions->Probe();
    EXPECT_EQ(host->Calls(S("Code(\"g31 z-10\")")).size(), 1);
}

// The seat probe zeroes Y between its two centrings; a first centring that fails leaves Y
// un-zeroed.
TEST_F(Actions, SeatProbeMeasuresTheYOffsetOrReportsTheFailedCentring)
{
    form.Tick({BambooCheck::SeatStraddle, BambooCheck::SeatJogToXStart});
    host->dros[801] = 0.0625;
    actions->ProbeSeat();
    EXPECT_EQ(form.fields[BambooField::YOffset], 0.0625);
    const QStringList buttons = host->Calls(S("DoOEMButton"));
    EXPECT_EQ(buttons, (QStringList{S("DoOEMButton(1008)"), S("DoOEMButton(1009)"),
                                    S("DoOEMButton(104)")}));
    EXPECT_EQ(host->Calls(S("Code(\"G01 F40")),
              (QStringList{S("Code(\"G01 F40 X-.25\")"), S("Code(\"G01 F40 X-2.85\")"),
                           S("Code(\"G01 F40 X0 Y0\")")}));

    host->ClearJournal();
    int moves = 0;
    host->onCode = [&](const QString& code) {
        if (code.startsWith(S("g31")) && ++moves == 1)
            host->movingSequence = {true};
    };
    host->leds[80] = true;
    actions->ProbeSeat();
    EXPECT_EQ(host->journal.mid(host->journal.size() - 2),
              (QStringList{S("Message(\"Probing Halted\")"),
                           S("Message(\"Straddle Y Probe Failed\")")}));
    EXPECT_FALSE(host->journal.contains(S("DoOEMButton(1009)")));
}

// One step at a time: while one waits, another is ignored. A host failure ends the step and
// frees the window; a window destroyed during a wait ends it without a further call.
TEST_F(Actions, OneStepAtATimeAndNothingAfterItsWindowWent)
{
    form.Tick({BambooCheck::PositionStandard, BambooCheck::StraddleStandard,
               BambooCheck::JogZToStandard});
    host->movingSequence = {true, false};
    platform.waiter.onWait = [&] {
        EXPECT_TRUE(actions->Busy());
        actions->SafeZ();
    };
    actions->Probe();
    EXPECT_FALSE(host->journal.contains(S("DoOEMButton(104)")));

    host->failFromCall = host->callCount;
    platform.waiter.onWait = nullptr;
    EXPECT_THROW(actions->Probe(), ZentyrError);
    EXPECT_FALSE(actions->Busy());
    EXPECT_EQ(form.busy.last(), false);

    host->failFromCall = -1;
    host->movingSequence = {true};
    platform.waiter.onWait = [&] { actions.reset(); };
    host->ClearJournal();
    actions->Probe();
    EXPECT_EQ(host->journal.last(), S("IsMoving()"));

    // Gone while the host loads a program: nothing after the load.
    form.Tick({BambooCheck::JogToStart});
    host->dros[802] = 0.3;
    actions = std::make_unique<TBambooMillActions>(*wMach, wMach->iMach(), platform.services,
                                                   form);
    platform.waiter.onWait = [&] {
        if (platform.waiter.waits.last() == S("SleepProcessingEvents(250)"))
            actions.reset();
    };
    host->ClearJournal();
    actions->CutTestHeight();
    EXPECT_TRUE(host->journal.last().startsWith(S("LoadFile(")))
        << host->journal.last().toStdString();
    EXPECT_FALSE(form.actualEnabled.has_value());
}
