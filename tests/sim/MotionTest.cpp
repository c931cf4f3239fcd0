#include "host/MachConstants.h"
#include "sim/MachineModel.h"
#include "sim/Motion.h"
#include "sim/OemCodes.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace hostsim;

namespace {

AxisVector At(double x, double y, double z)
{
    return {x, y, z, 0.0, 0.0, 0.0};
}

}  // namespace

TEST(Motion, DurationFollowsLengthAndRate)
{
    EXPECT_DOUBLE_EQ(MoveDurationMs(At(0, 0, 0), At(10, 0, 0), 100.0), 6000.0);
    EXPECT_DOUBLE_EQ(MoveDurationMs(At(0, 0, 0), At(3, 4, 0), 60.0), 5000.0);  // straight line
    EXPECT_DOUBLE_EQ(MoveDurationMs(At(1, 1, 1), At(1, 1, 1), 100.0), 0.0);
    EXPECT_TRUE(std::isinf(MoveDurationMs(At(0, 0, 0), At(1, 0, 0), 0.0)));
    EXPECT_TRUE(std::isinf(MoveDurationMs(At(0, 0, 0), At(1, 0, 0), -5.0)));
}

TEST(Motion, ProbeStopsAtTheFirstFaceItMeets)
{
    ProbeTarget box;  // x, y in [-1, 1], z in [-10, -1]
    const struct
    {
        const char* what;
        AxisVector from, to;
        std::optional<double> fraction;
    } rows[] = {
        {"down onto the top", At(0, 0, 0), At(0, 0, -10), 0.1},
        {"sideways into the -X face", At(-3, 0, -5), At(1, 0, -5), 0.5},
        {"from inside out through +Y", At(0, 0, -5), At(0, 2, -5), 0.5},
        {"from inside out through -Y", At(0, 0, -5), At(0, -4, -5), 0.25},
        {"diagonal onto the top corner region", At(-2, 0, 0), At(0, 0, -2), 0.5},
        {"passes beside the box", At(2, -5, -5), At(2, 5, -5), std::nullopt},
        {"passes above the box", At(-5, 0, 0), At(5, 0, 0), std::nullopt},
        {"stops short of the top", At(0, 0, 0), At(0, 0, -0.5), std::nullopt},
        {"ends exactly on the top", At(0, 0, 0), At(0, 0, -1), 1.0},
        {"leaves the face it stands on", At(0, 0, -1), At(0, 0, 2), std::nullopt},
        {"pushes into the top it rests on", At(0.5, 0, -1), At(0.5, 0, -10), 0.0},
        {"rests beside the top and goes down", At(1.5, 0, -1), At(1.5, 0, -10), std::nullopt},
        {"slides along the top", At(-0.5, 0, -1), At(0.5, 0, -1), std::nullopt},
        {"no length", At(0, 0, 0), At(0, 0, 0), std::nullopt},
    };
    for (const auto& row : rows) {
        const auto contact = FirstProbeContact(box, row.from, row.to);
        ASSERT_EQ(contact.has_value(), row.fraction.has_value()) << row.what;
        if (contact) {
            EXPECT_NEAR(*contact, *row.fraction, 1e-12) << row.what;
        }
    }

    box.enabled = false;
    EXPECT_FALSE(FirstProbeContact(box, At(0, 0, 0), At(0, 0, -10))) << "disabled target";
}

// A fork of gap 2.2 over the default block (2 wide in Y): straddling, it may sit with its crotch
// between Y -0.1 and 0.1; its prongs reach 0.5 below the crotch.
TEST(Motion, ForkProbeStraddlesTheBlockInYAndTouchesItsTop)
{
    ProbeTarget block;
    block.forkGap = 2.2;
    const struct
    {
        const char* what;
        AxisVector from, to;
        std::optional<double> fraction;
    } rows[] = {
        {"+Y: the trailing prong meets the far side", At(0, 0.05, -0.8), At(0, 0.25, -0.8), 0.25},
        {"-Y: the other prong meets the other side", At(0, 0.05, -0.8), At(0, -0.15, -0.8), 0.75},
        {"prongs above the top pass over it", At(0, 0.05, -0.4), At(0, 0.25, -0.4), std::nullopt},
        {"down: the crotch lands on the top", At(0, 0.05, -0.8), At(0, 0.05, -10.8), 0.02},
        {"down while touching the top", At(0, 0, -1), At(0, 0, -3), 0.0},
        {"already touching a side, pushing on", At(0, 0.1, -0.8), At(0, 0.3, -0.8), 0.0},
        {"off the straddle a prong lands on the top", At(0, 1.5, 0), At(0, 1.5, -10), 0.05},
        {"from outside, the leading prong meets the near side", At(0, -3.1, -0.8),
         At(0, -1.1, -0.8), 0.5},
        {"beside the block nothing is met", At(0, 3, 0), At(0, 3, -10), std::nullopt},
        {"beyond the block's end in X", At(2, 0, -0.8), At(2, 0.5, -0.8), std::nullopt},
    };
    for (const auto& row : rows) {
        const auto contact = FirstProbeContact(block, row.from, row.to);
        ASSERT_EQ(contact.has_value(), row.fraction.has_value()) << row.what;
        if (contact) {
            EXPECT_NEAR(*contact, *row.fraction, 1e-9) << row.what;
        }
    }

    block.forkGap = 1.5;  // too narrow to straddle: only the prongs' tips meet the top
    EXPECT_NEAR(*FirstProbeContact(block, At(0, 0, 0), At(0, 0, -10)), 0.05, 1e-9);
    EXPECT_FALSE(FirstProbeContact(block, At(0, 0, -0.8), At(0, 0.3, -0.8)));
}

TEST(Motion, ProbeTargetIsNormalisedBeforeUse)
{
    ProbeTarget swapped;
    swapped.xMin = 2.0;
    swapped.xMax = -2.0;
    swapped.zMin = 0.0;
    swapped.zTop = -3.0;
    const ProbeTarget normal = NormalisedProbeTarget(swapped);
    EXPECT_EQ(normal.xMin, -2.0);
    EXPECT_EQ(normal.xMax, 2.0);
    EXPECT_EQ(normal.zMin, -3.0);
    EXPECT_EQ(normal.zTop, 0.0);
    EXPECT_TRUE(normal.enabled);

    ProbeTarget broken;
    broken.yMax = std::nan("");
    EXPECT_FALSE(NormalisedProbeTarget(broken).enabled);

    ProbeTarget badFork;
    badFork.forkGap = -1.0;
    badFork.forkReach = std::nan("");
    EXPECT_EQ(NormalisedProbeTarget(badFork).forkGap, 0.0);
    EXPECT_EQ(NormalisedProbeTarget(badFork).forkReach, 0.0);
}

// The simulator dispatches on compile-time codes; they must agree with the vocabulary tables
// the application sends from.
TEST(Motion, CompileTimeCodesMatchTheVocabulary)
{
    for (int kind = 0; kind < OEMDROKindCount; ++kind) {
        const auto dro = static_cast<TmcOEMDROtype>(kind);
        ASSERT_EQ(oem::DroCode(dro), OEMDROCode(dro)) << OEMDROEnumName(dro).toStdString();
    }
    for (int kind = 0; kind < OEMLEDKindCount; ++kind) {
        const auto led = static_cast<TmcOEMLEDtype>(kind);
        ASSERT_EQ(oem::LedCode(led), OEMLEDCode(led)) << OEMLEDEnumName(led).toStdString();
    }
    for (int kind = 0; kind < OEMButtonKindCount; ++kind) {
        const auto button = static_cast<TmcOEMButtontype>(kind);
        ASSERT_EQ(oem::ButtonCode(button), OEMButtonCode(button))
            << OEMButtonEnumName(button).toStdString();
    }
}
