#include "host/MachConstants.h"
#include "platform/ZentyrError.h"

#include <gtest/gtest.h>

#include <QSet>

namespace {

struct CodeRow
{
    int (*code)(int);
    int ordinalOrKind;
    int expected;
    const char* what;
};

int Dro(int kind) { return OEMDROCode(static_cast<TmcOEMDROtype>(kind)); }
int Led(int kind) { return OEMLEDCode(static_cast<TmcOEMLEDtype>(kind)); }
int Button(int kind) { return OEMButtonCode(static_cast<TmcOEMButtontype>(kind)); }

}  // namespace

TEST(MachConstants, CodesTheWindowsUse)
{
    const CodeRow rows[] = {
        {Dro, odtRapid_feedrate, 104, "odtRapid_feedrate"},
        {Dro, odtX, 800, "odtX"},
        {Dro, odtY, 801, "odtY"},
        {Dro, odtZ, 802, "odtZ"},
        {Dro, odtFeedrate, 818, "odtFeedrate"},
        {Dro, odtFeedrate_Override, 821, "odtFeedrate_Override"},
        {Dro, odtJog_Inc, 828, "odtJog_Inc"},
        {Led, oltMist, 12, "oltMist"},
        {Led, oltFlood, 13, "oltFlood"},
        {Led, oltMach_coords_warn, 16, "oltMach_coords_warn"},
        {Led, oltPause_Active, 80, "oltPause_Active"},
        {Led, oltJogging_Enabled, 83, "oltJogging_Enabled"},
        {Led, oltSpindle_is_Running, 116, "oltSpindle_is_Running"},
        {Led, oltReset, 800, "oltReset"},
        {Button, obtGoto_Safe_Z, 104, "obtGoto_Safe_Z"},
        {Button, obtHome_ZXYABC_set_machine_coords, 105, "obtHome_ZXYABC_set_machine_coords"},
        {Button, obtMach_coords, 107, "obtMach_coords"},
        {Button, obtFlood_Toggle, 113, "obtFlood_Toggle"},
        {Button, obtMist_Toggle, 114, "obtMist_Toggle"},
        {Button, obtClose_current_file, 169, "obtClose_current_file"},
        {Button, obtSpindle_actual_Toggle, 182, "obtSpindle_actual_Toggle"},
        {Button, obtJog_mode_Continuous, 204, "obtJog_mode_Continuous"},
        {Button, obtJog_mode_Step, 205, "obtJog_mode_Step"},
        {Button, obtSelect_Step_value_1, 265, "obtSelect_Step_value_1"},
        {Button, obtSelect_Step_value_2, 266, "obtSelect_Step_value_2"},
        {Button, obtSelect_Step_value_3, 267, "obtSelect_Step_value_3"},
        {Button, obtSelect_Step_value_4, 268, "obtSelect_Step_value_4"},
        {Button, obtSelect_Step_value_5, 269, "obtSelect_Step_value_5"},
        {Button, obtPause, 1001, "obtPause"},
        {Button, obtStop, 1003, "obtStop"},
        {Button, obtZero_X, 1008, "obtZero_X"},
        {Button, obtZero_Y, 1009, "obtZero_Y"},
        {Button, obtZero_Z, 1010, "obtZero_Z"},
        {Button, obtRun_from_here, 1016, "obtRun_from_here"},
        {Button, obtReset, 1021, "obtReset"},
        // Block boundaries and the shared fixture-offset codes.
        {Dro, odtNONE, 0, "odtNONE"},
        {Dro, odtJog_Inc_Inc, 1, "odtJog_Inc_Inc"},
        {Dro, odtX_Fixture_Off, 830, "odtX_Fixture_Off"},
        {Dro, odtX_Fixture_Orig_Off, 830, "odtX_Fixture_Orig_Off"},
        {Dro, odtC_Fixture_Off, 835, "odtC_Fixture_Off"},
        {Dro, 244, 834, "odtB_Fixture_Orig_Off"},
        {Dro, 245, 834, "odtB_Fixture_Off"},
        {Dro, odtCurrent_Tool_length, 836, "last DRO"},
        {Led, oltNONE, 0, "oltNONE"},
        {Led, oltG92, 10, "oltG92"},
        {Led, oltFixture, 816, "oltFixture"},
        {Led, OEMLEDKindCount - 1, 855, "last LED"},
        {Button, obtNONE, 0, "obtNONE"},
        {Button, obtTables_screen_select, 7, "obtTables_screen_select"},
        {Button, obtInc_Inc_Up, 100, "obtInc_Inc_Up"},
        {Button, obtCycle_start, 1000, "obtCycle_start"},
        {Button, obtVerify, 1020, "obtVerify"},
        {Button, OEMButtonKindCount - 1, 1031, "last button"},
    };
    for (const CodeRow& row : rows)
        EXPECT_EQ(row.code(row.ordinalOrKind), row.expected) << row.what;

    EXPECT_EQ(odtB_Fixture_Orig_Off, 244);
    EXPECT_EQ(odtB_Fixture_Off, 245);
    EXPECT_EQ(obtJog_Toggle, OEMButtonKindCount - 1);
    EXPECT_EQ(oltDigitise_Out, OEMLEDKindCount - 1);
}

TEST(MachConstants, DisplayNames)
{
    EXPECT_EQ(OEMDROName(odtJog_Inc_Inc), QStringLiteral("Jog Amount"));
    EXPECT_EQ(OEMDROName(odtJog_Inc), QStringLiteral("Jog Inc"));
    EXPECT_EQ(OEMButtonName(obtFlood_Toggle), QStringLiteral("Flood Toggle"));
    EXPECT_EQ(OEMButtonName(obtNONE), QStringLiteral("NONE"));
    EXPECT_EQ(OEMLEDName(oltNONE), QStringLiteral("NONE"));
    EXPECT_EQ(OEMDROName(odtNONE), QStringLiteral("NONE"));
    EXPECT_EQ(OEMButtonName(obtCycle_start), QStringLiteral("Cycle start"));
    EXPECT_EQ(OEMLEDName(oltReset), QStringLiteral("Reset"));
    EXPECT_EQ(OEMButtonEnumName(obtFlood_Toggle), QStringLiteral("obtFlood_Toggle"));
}

// Every display name is unique within its enumeration and maps back to its own kind, so the
// function dialogs can map a chosen text back without ambiguity.
TEST(MachConstants, EveryNameMapsBackToItsOwnKind)
{
    const auto check = [](const QStringList& names, auto kindOfName, const char* what) {
        EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), names.size()) << what;
        for (int ordinal = 0; ordinal < names.size(); ++ordinal) {
            const auto kind = kindOfName(names[ordinal]);
            ASSERT_TRUE(kind.has_value()) << what << " " << names[ordinal].toStdString();
            EXPECT_EQ(static_cast<int>(*kind), ordinal) << what;
        }
    };
    check(OEMDRONames(), OEMDROKindOfName, "DRO");
    check(OEMLEDNames(), OEMLEDKindOfName, "LED");
    check(OEMButtonNames(), OEMButtonKindOfName, "button");

    EXPECT_EQ(OEMDRONames().size(), OEMDROKindCount);
    EXPECT_EQ(OEMLEDNames().size(), OEMLEDKindCount);
    EXPECT_EQ(OEMButtonNames().size(), OEMButtonKindCount);

    // Matching is exact: case and the underscore form do not match.
    EXPECT_FALSE(OEMButtonKindOfName(QStringLiteral("flood toggle")).has_value());
    EXPECT_FALSE(OEMButtonKindOfName(QStringLiteral("Flood_Toggle")).has_value());
    EXPECT_FALSE(OEMDROKindOfName(QStringLiteral("Jog Inc Inc")).has_value());
    EXPECT_EQ(OEMButtonKindOfEnumName(QStringLiteral("obtStop")), obtStop);
}

TEST(MachConstants, OrdinalOutsideTheEnumerationIsRefused)
{
    EXPECT_THROW(OEMDROCode(static_cast<TmcOEMDROtype>(OEMDROKindCount)), ZentyrError);
    EXPECT_THROW(OEMLEDCode(static_cast<TmcOEMLEDtype>(OEMLEDKindCount)), ZentyrError);
    EXPECT_THROW(OEMButtonCode(static_cast<TmcOEMButtontype>(OEMButtonKindCount)), ZentyrError);
    EXPECT_THROW(OEMButtonName(static_cast<TmcOEMButtontype>(1000)), ZentyrError);
    EXPECT_THROW(OEMDROKindOfOrdinal(-1), ZentyrError);
    EXPECT_THROW(OEMLEDKindOfOrdinal(255), ZentyrError);
    EXPECT_EQ(OEMButtonKindOfOrdinal(OEMButtonKindCount - 1), obtJog_Toggle);
}
