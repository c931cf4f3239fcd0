#include "controls/MachJogPctFrame.h"

#include "controls/MachButtonToggle.h"
#include "controls/MachDro.h"
#include "host/CMach4Wrapper.h"
#include "host/MachUpdateThread.h"

#include "FakePlatform.h"
#include "RecordingHost.h"

#include <gtest/gtest.h>

#include <QRadioButton>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

// An independent judge of "value <= decimal": both written out in full fixed-point notation
// (every double has a finite decimal expansion) and compared digit by digit. For the
// non-negative values used here.
bool ExactlyAtMost(double value, const char* decimal)
{
    constexpr int Digits = 120;
    char buffer[512];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value,
                                       std::chars_format::fixed, Digits);
    std::string exact(buffer, written.ptr);
    std::string limit(decimal);
    limit.append(static_cast<std::size_t>(Digits) - (limit.size() - limit.find('.') - 1), '0');
    if (exact.size() != limit.size())
        return exact.size() < limit.size();
    return exact <= limit;
}

// A frame on a window bound through the host connection, which registers and binds it.
struct FrameFixture : ::testing::Test
{
    std::shared_ptr<RecordingHost> host = std::make_shared<RecordingHost>();
    RecordingDocumentFactory documents{host};
    FakePlatform platform;
    QWidget window;
    TJogPct* frame = new TJogPct(platform.services, &window);
    TCMach4Wrapper* wMach = new TCMach4Wrapper(documents, platform.services, &window);

    // Connects the host connection, which binds the window.
    void Bind(double jogAmount)
    {
        host->dros[1] = jogAmount;
        wMach->SetConnected(true);
        ASSERT_TRUE(wMach->Connected());
    }
    QStringList BindCalls() const
    {
        const qsizetype from = host->journal.indexOf(S("GetOEMDRO(1)"));
        return from < 0 ? QStringList() : host->journal.mid(from);
    }
};

}  // namespace

// The five design amounts, 0.11 (whose double lies above 0.11), and the doubles on either side
// of each threshold, judged against the exact decimals.
TEST(JogStepThresholds, HostAmountSelectsItsStepButton)
{
    const struct { double amount; int index; } design[] = {
        {1.0, 0}, {0.1, 1}, {0.01, 2}, {0.001, 3}, {0.0001, 4}, {0.11, 0}, {5.0, 0}, {0.0, 4},
    };
    for (const auto& row : design)
        EXPECT_EQ(JogStepIndexForAmount(row.amount), row.index) << row.amount;

    const struct { const char* text; double literal; int lower; } thresholds[] = {
        {"0.00011", 0.00011, 4}, {"0.0011", 0.0011, 3}, {"0.011", 0.011, 2}, {"0.11", 0.11, 1},
    };
    const double infinity = std::numeric_limits<double>::infinity();
    for (const auto& t : thresholds) {
        const double below = std::nextafter(t.literal, 0.0);
        const double above = std::nextafter(t.literal, infinity);
        for (const double x : {below, t.literal, above}) {
            const bool atMost = ExactlyAtMost(x, t.text);
            EXPECT_EQ(JogStepIndexForAmount(x), atMost ? t.lower : t.lower - 1)
                << t.text << " against " << x;
        }
        EXPECT_TRUE(ExactlyAtMost(below, t.text)) << t.text;
        EXPECT_FALSE(ExactlyAtMost(above, t.text)) << t.text;
    }
    EXPECT_FALSE(ExactlyAtMost(0.11, "0.11")) << "the judge agrees that 0.11 lies above";
}

TEST(JogStepThresholds, AtMostDecimalEdges)
{
    const double infinity = std::numeric_limits<double>::infinity();
    const struct { double value; int units; int decimals; bool atMost; } rows[] = {
        {0.5, 5, 1, true},                        // representable: equal counts
        {std::nextafter(0.5, 1.0), 5, 1, false},
        {0.25, 25, 2, true},
        {-1.0, 11, 2, true},
        {1e300, 11, 2, false},
        {infinity, 11, 2, false},
        {-infinity, 11, 2, true},
        {std::numeric_limits<double>::quiet_NaN(), 11, 2, false},
        {5e-324, 11, 5, true},
    };
    for (const auto& row : rows)
        EXPECT_EQ(AtMostDecimal(row.value, row.units, row.decimals), row.atMost) << row.value;
}

// Binding reads the jog amount and checks its button, sending that step's command unless it
// was already checked; the frame is then registered again with its two toggles, after the
// entry binding made for it.
TEST_F(FrameFixture, BindChecksTheHostsStepAndRegistersInOrder)
{
    const struct { double amount; int radio; QStringList calls; } rows[] = {
        {1.0, 1, {S("GetOEMDRO(1)")}},
        {0.1, 2, {S("GetOEMDRO(1)"), S("DoOEMButton(266)")}},
        {0.0001, 5, {S("GetOEMDRO(1)"), S("DoOEMButton(269)")}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.amount);
        frame->rb(1)->setChecked(true);
        host->ClearJournal();
        wMach->SetConnected(false);
        Bind(row.amount);
        EXPECT_EQ(BindCalls().mid(0, row.calls.size()), row.calls);
        EXPECT_TRUE(frame->rb(row.radio)->isChecked());
        EXPECT_TRUE(frame->isEnabled());
        EXPECT_EQ(frame->iMach(), host);
        EXPECT_EQ(frame->UpdateThread(), wMach->UpdateThread());
        EXPECT_EQ(frame->btnJogOn()->iMach(), host);
        EXPECT_EQ(frame->btnJogCont()->iMach(), host);
        EXPECT_EQ(wMach->UpdateThread()->Registrations(),
                  (QList<QObject*>{frame, frame, frame->btnJogCont(), frame->btnJogOn()}));
    }
}

TEST_F(FrameFixture, BoundWithoutAHostTheFrameIsDisabledAndSendsNothing)
{
    TMachUpdateThread thread(documents);
    frame->BindMach(nullptr, &thread);
    EXPECT_FALSE(frame->isEnabled());
    EXPECT_FALSE(frame->btnJogOn()->isEnabled());
    EXPECT_EQ(thread.Registrations(),
              (QList<QObject*>{frame, frame->btnJogCont(), frame->btnJogOn()}));
    frame->rbClick(3);
    frame->btnJogOn()->SetToggled(true);
    frame->btnJogContClick();
    EXPECT_TRUE(host->journal.isEmpty());
}

// One poll pass refreshes the frame twice, then its two toggles from LEDs 14 and 83; the frame
// is disabled in reset and shows the jog increment whole in its field.
TEST_F(FrameFixture, PollPassRefreshesTheFrameTwiceAndItsToggles)
{
    Bind(1.0);
    host->leds[800] = true;
    host->leds[83] = true;
    host->dros[828] = 0.1;
    host->ClearJournal();
    wMach->UpdateThread()->PollPass();
    EXPECT_EQ(host->journal,
              (QStringList{S("GetOEMLed(800)"), S("GetOEMDRO(828)"), S("GetOEMDRO(828)"),
                           S("GetOEMLed(14)"), S("GetOEMLed(83)"), S("GetOEMLed(83)")}));
    EXPECT_FALSE(frame->isEnabled());
    EXPECT_TRUE(frame->btnJogOn()->Toggled());
    EXPECT_FALSE(frame->btnJogCont()->Toggled());
    EXPECT_EQ(frame->eDRO()->text(), S("0.1000"));
    EXPECT_EQ(frame->Value(), 0);
    EXPECT_FALSE(frame->eDRO()->isEnabled());
    EXPECT_TRUE(frame->eDRO()->isReadOnly());

    host->leds[800] = false;
    host->dros[828] = 2.5;
    wMach->UpdateThread()->PollPass();
    EXPECT_TRUE(frame->isEnabled());
    EXPECT_EQ(frame->Value(), 2);
    EXPECT_FALSE(frame->eDRO()->isEnabled()) << "the field stays a readout";
}

// "Jog Continuous    " switches the mode only while jogging is enabled, by the lamps shown;
// its own state waits for the next pass. Each step button sends its command, also when it is
// already checked.
TEST_F(FrameFixture, ModeAndStepButtonsSendTheirCommands)
{
    Bind(1.0);
    EXPECT_EQ(frame->btnJogCont()->text(), S("Jog Continuous    "));
    const struct { bool jogging; bool continuous; QStringList sent; } rows[] = {
        {false, false, {}},
        {false, true, {}},
        {true, true, {S("DoOEMButton(205)")}},
        {true, false, {S("DoOEMButton(204)")}},
    };
    for (const auto& row : rows) {
        frame->btnJogOn()->SetToggled(row.jogging);
        frame->btnJogCont()->SetToggled(row.continuous);
        host->ClearJournal();
        frame->btnJogCont()->click();
        EXPECT_EQ(host->journal, row.sent) << row.jogging << row.continuous;
        EXPECT_EQ(frame->btnJogCont()->Toggled(), row.continuous);
    }

    host->ClearJournal();
    frame->btnJogOn()->click();
    EXPECT_EQ(host->journal, QStringList{S("DoOEMButton(103)")});

    for (int number = 1; number <= TJogPct::StepButtonCount; ++number) {
        host->ClearJournal();
        frame->rb(number)->click();
        frame->rb(number)->click();
        EXPECT_EQ(host->journal, QStringList(2, QStringLiteral("DoOEMButton(%1)").arg(264 + number)));
        EXPECT_TRUE(frame->rb(number)->isChecked());
    }
}
