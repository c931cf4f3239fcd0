#include "ButtonTestSupport.h"

// Line splitting and optional-stop detection decide what reaches the host.
TEST(CodeRunRules, LinesAndOptionalStops)
{
    const struct { const char* code; QStringList lines; } splits[] = {
        {"", {}},
        {"G0 X1", {S("G0 X1")}},
        {"G0 X1\r\nG0 X2\r\n", {S("G0 X1"), S("G0 X2")}},
        {"a\n\nb", {S("a"), S(""), S("b")}},
        {"a\rb\r", {S("a"), S("b")}},
        {"\n", {S("")}},
    };
    for (const auto& c : splits)
        EXPECT_EQ(MachCodeLines(S(c.code)), c.lines) << c.code;

    const struct { const char* line; bool stop; } stops[] = {
        {"M1", true}, {"m1", true}, {"G0 X1 M12", true}, {"(see m100)", true}, {"M10", true},
        {"G0 X1", false}, {"M2", false}, {"M 1", false}, {"", false},
    };
    for (const auto& c : stops)
        EXPECT_EQ(IsOptionalStopLine(S(c.line)), c.stop) << c.line;
}

// The three-line run: the first move is sent and waited for, the stop asks, Yes goes on and
// No ends the run; the optional-stop line itself is never sent.
TEST_F(ButtonFixture, OptionalStopAsksAndTheAnswerDecides)
{
    for (const auto answer : {IMessageBoxes::Answer::Yes, IMessageBoxes::Answer::No}) {
        host->ClearJournal();
        platform.waiter.waits.clear();
        platform.messageBoxes.shown.clear();
        platform.messageBoxes.answers = {answer};
        host->movingSequence = {true, false, true, false, false};
        BoundCode(S("G0 X1\nM1\nG0 X2"))->click();

        QStringList expected{S("Code(\"G0 X1\")"), S("IsMoving()"), S("IsMoving()"),
                             S("IsMoving()"), S("IsMoving()")};
        if (answer == IMessageBoxes::Answer::Yes)
            expected << S("Code(\"G0 X2\")") << S("IsMoving()");
        EXPECT_EQ(host->journal, expected);
        EXPECT_EQ(platform.waiter.waits,
                  (QStringList{S("SleepProcessingEvents(100)"), S("SleepProcessingEvents(50)")}));
        ASSERT_EQ(platform.messageBoxes.shown.size(), 1);
        const auto& asked = platform.messageBoxes.shown[0];
        EXPECT_EQ(asked.kind, IMessageBoxes::Kind::Confirm);
        EXPECT_EQ(asked.text, S("M1\rProceed?"));
        EXPECT_EQ(asked.buttons, IMessageBoxes::Buttons::YesNo);
    }
}

TEST_F(ButtonFixture, EmptyLinesAreSentAndEmptyCodeSendsNothing)
{
    BoundCode(QString())->click();
    EXPECT_TRUE(host->journal.isEmpty());

    BoundCode(S("G0 X1\r\n\r\nG1 X5 M12\r\nG0 X2"))->click();
    EXPECT_EQ(host->Calls(S("Code")),
              (QStringList{S("Code(\"G0 X1\")"), S("Code(\"\")"), S("Code(\"G0 X2\")")}));
}

// Stop pressed while the run waits ends it at the next check and clears the request.
TEST_F(ButtonFixture, StopDuringAWaitEndsTheRun)
{
    auto* run = BoundCode(S("G0 X1\nG0 X2"));
    auto* stop = BoundOEM(obtStop);
    host->movingDefault = true;
    platform.waiter.onWait = [&] {
        if (host->Calls(S("DoOEMButton")).isEmpty())
            stop->click();
    };
    run->click();
    EXPECT_EQ(host->journal,
              (QStringList{S("Code(\"G0 X1\")"), S("IsMoving()"), S("DoOEMButton(1003)")}));
    EXPECT_EQ(platform.waiter.waits.size(), 1);
    EXPECT_FALSE(StopRequested);
}

// A request made while nothing waits stays pending: another OEM button clears it; otherwise
// it ends the next run at its first wait that finds the machine moving, not before.
TEST_F(ButtonFixture, PendingStopIsClearedByOtherButtonsOrEndsTheNextMovingWait)
{
    auto* stop = BoundOEM(obtStop);
    stop->click();
    EXPECT_TRUE(StopRequested);
    BoundOEM(obtCycle_start)->click();
    EXPECT_FALSE(StopRequested);

    stop->click();
    host->ClearJournal();
    host->movingSequence = {false, true};
    BoundCode(S("G0 X1\nG0 X2\nG0 X3"))->click();
    EXPECT_EQ(host->Calls(S("Code")), (QStringList{S("Code(\"G0 X1\")"), S("Code(\"G0 X2\")")}));
    EXPECT_FALSE(StopRequested);
}

TEST_F(ButtonFixture, CodeButtonDisabledByResetCannotStartARun)
{
    auto* button = BoundCode(S("G0 X1"));
    button->PollRefresh(*host, true);
    button->click();
    EXPECT_TRUE(host->journal.isEmpty());
}

// A click on another code button during a wait runs to its end before the outer run resumes.
TEST_F(ButtonFixture, NestedRunFinishesBeforeTheOuterRunResumes)
{
    auto* outer = BoundCode(S("G0 X1\nG0 X2"));
    auto* inner = BoundCode(S("G0 Y5"));
    host->movingSequence = {true, false, false, false};
    bool clicked = false;
    platform.waiter.onWait = [&] {
        if (!std::exchange(clicked, true))
            inner->click();
    };
    outer->click();
    EXPECT_EQ(host->journal,
              (QStringList{S("Code(\"G0 X1\")"), S("IsMoving()"), S("Code(\"G0 Y5\")"),
                           S("IsMoving()"), S("IsMoving()"), S("Code(\"G0 X2\")"),
                           S("IsMoving()")}));
}

// The run keeps its own copy of the text and host: destroying the button (its window deleting
// it) while the run waits does not cut the program short or touch the dead button.
TEST_F(ButtonFixture, RunOutlivesItsButton)
{
    auto* button = BoundCode(S("G0 X1\nG0 X2"));
    host->movingSequence = {true, false, false};
    platform.waiter.onWait = [&] {
        delete std::exchange(button, nullptr);
    };
    button->click();
    EXPECT_EQ(button, nullptr);
    EXPECT_EQ(host->Calls(S("Code")), (QStringList{S("Code(\"G0 X1\")"), S("Code(\"G0 X2\")")}));
}

// A host that fails mid-run ends the run with the standard error box; nothing escapes.
TEST_F(ButtonFixture, HostFailureEndsTheRunWithAnErrorBox)
{
    host->failFromCall = 1;
    BoundCode(S("G0 X1\nG0 X2"))->click();
    EXPECT_EQ(host->journal, QStringList{S("Code(\"G0 X1\")")});
    EXPECT_EQ(Errors(), QStringList{S("The controller has closed the connection")});
}
