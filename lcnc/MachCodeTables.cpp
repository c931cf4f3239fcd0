#include "lcnc/MachTranslation.h"

#include "sim/OemCodes.h"

// Which OEM codes LinuxCNC honours and how: one row per code, or per run of consecutive codes
// whose handler takes the index within the run (the axis, the step, the jog direction).
namespace lcnchost {

using namespace hostsim::oem;
using T = MachTranslation;

std::span<const T::ButtonRow> MachTranslation::ButtonTable()
{
    static constexpr ButtonRow rows[] = {
        {ButtonCode(obtReset), 1, &T::PressReset},
        {ButtonCode(obtCycle_start), 1, &T::PressCycleStart},
        {ButtonCode(obtPause), 1, &T::PressPause},
        {ButtonCode(obtRewind), 1, &T::PressRewind},
        {ButtonCode(obtStop), 1, &T::PressStop},
        {ButtonCode(obtSingle), 1, &T::PressSingle},
        {ButtonCode(obtResume), 1, &T::PressResume},
        {ButtonCode(obtRun_from_here), 1, &T::PressRunFromHere},
        {ButtonCode(obtZero_All), 1, &T::PressZeroAll},
        {ButtonCode(obtZero_X), 3, &T::PressZero},
        {ButtonCode(obtRef_X), 3, &T::PressReference},
        {ButtonCode(obtHome_ZXYABC_set_machine_coords), 1, &T::PressHomeAll},
        {ButtonCode(obtGoto_Safe_Z), 1, &T::PressSafeZ},
        {ButtonCode(obtMach_coords), 1, &T::PressMachineCoordinates},
        {ButtonCode(obtFlood_Toggle), 1, &T::PressFloodToggle},
        {ButtonCode(obtMist_Toggle), 1, &T::PressMistToggle},
        {ButtonCode(obtFlood_ON), 4, &T::PressCoolant},  // flood on, off, mist on, off
        {ButtonCode(obtSpindle_actual_Toggle), 1, &T::PressSpindleToggle},
        {ButtonCode(obtJog_mode_Toggle), 1, &T::PressJoggingToggle},
        {ButtonCode(obtJog_mode_Continuous), 1, &T::PressJogContinuous},
        {ButtonCode(obtJog_mode_Step), 1, &T::PressJogStep},
        {ButtonCode(obtSelect_Step_value_1), 5, &T::PressStepValue},
        {ButtonCode(obtPush_to_jog_X_Plus), 6, &T::PressPushToJog},  // X+, X-, Y+, Y-, Z+, Z-
        {ButtonCode(obtClose_current_file), 1, &T::PressCloseFile},
    };
    return rows;
}

std::span<const T::LedRow> MachTranslation::LedTable()
{
    static constexpr LedRow rows[] = {
        {LedCode(oltReset), 1, &T::LedReset},
        {LedCode(oltEmergency), 1, &T::LedEmergency},
        {LedCode(oltMist), 1, &T::LedMist},
        {LedCode(oltFlood), 1, &T::LedFlood},
        {LedCode(oltJog_mode_Cont), 1, &T::LedJogContinuous},
        {LedCode(oltJog_mode_Incr), 1, &T::LedJogStep},
        {LedCode(oltJogging_Enabled), 1, &T::LedJoggingEnabled},
        {LedCode(oltMach_coords_warn), 1, &T::LedMachineCoordinates},
        {LedCode(oltPause_Active), 1, &T::LedPaused},
        {LedCode(oltPause), 1, &T::LedPaused},
        {LedCode(oltSingle_Step_Mode_Active), 1, &T::LedSingleStep},
        {LedCode(oltSpindle_is_Running), 1, &T::LedSpindleRunning},
        {LedCode(oltSpindle_CW), 1, &T::LedSpindleClockwise},
        {LedCode(oltX_ref), 3, &T::LedReferenced},
        {LedCode(oltInch), 1, &T::LedInch},
        {LedCode(oltMMs), 1, &T::LedMillimetre},
        {LedCode(oltIdle), 1, &T::LedIdle},
        {LedCode(oltStart), 1, &T::LedRunning},
        {LedCode(oltAbs_Coordinate_Mode), 1, &T::LedAbsolute},
        {LedCode(oltIncremental_Coordinate_Mode), 1, &T::LedIncremental},
        {LedCode(oltX_Plus_Limit), 2, &T::LedLimitX},  // plus, minus
        {LedCode(oltY_Plus_Limit), 2, &T::LedLimitY},
        {LedCode(oltZ_Plus_Limit), 2, &T::LedLimitZ},
    };
    return rows;
}

std::span<const T::DroRow> MachTranslation::DroTable()
{
    static constexpr DroRow rows[] = {
        {DroCode(odtX), 3, &T::DroAxis, &T::SetAxis},
        {DroCode(odtX_Machine_Coord), 3, &T::DroMachine, nullptr},
        {DroCode(odtX_Vel), 3, &T::DroVelocity, nullptr},
        {DroCode(odtBlended_Velocity), 1, &T::DroBlendedVelocity, nullptr},
        {DroCode(odtCurr_Line_no), 1, &T::DroLine, &T::SetLine},
        {DroCode(odtSpindle_requested), 1, &T::DroSpindleSpeed, &T::SetSpindleSpeed},
        {DroCode(odtFeedrate), 1, &T::DroFeed, &T::SetFeed},
        {DroCode(odtFeedrate_Override), 1, &T::DroFeedOverride, &T::SetFeedOverride},
        {DroCode(odtRapid_feedrate), 1, &T::DroRapid, &T::SetRapid},
        {DroCode(odtSafe_Z), 1, &T::DroSafeZ, &T::SetSafeZ},
        {DroCode(odtFeedrate_for_use_with_MPG_step_jogs), 1, &T::DroJogSpeed, &T::SetJogSpeed},
        {DroCode(odtJog_Inc), 1, &T::DroJogStep, &T::SetJogStep},
        {DroCode(odtJog_Inc_Inc), 1, &T::DroJogStep, &T::SetJogStep},
        {DroCode(odtTool_number), 1, &T::DroTool, nullptr},
        {DroCode(odtCurrent_Tool_length), 1, &T::DroToolLength, nullptr},
        {DroCode(odtX_Fixture_Off), 3, &T::DroFixtureOffset, &T::SetFixtureOffset},
        {DroCode(odtX_G92_Axis_Off), 3, &T::DroG92Offset, nullptr},
        {DroCode(odtCurrent_Fixture_Number), 1, &T::DroFixtureNumber, nullptr},
    };
    return rows;
}

namespace {

template <typename Row>
QList<int> CodesOf(std::span<const Row> table)
{
    QList<int> codes;
    for (const Row& row : table) {
        for (int i = 0; i < row.count; ++i)
            codes += row.code + i;
    }
    return codes;
}

}  // namespace

QList<int> MachTranslation::HonouredButtons() { return CodesOf(ButtonTable()); }
QList<int> MachTranslation::HonouredLeds() { return CodesOf(LedTable()); }
QList<int> MachTranslation::HonouredDros() { return CodesOf(DroTable()); }

}  // namespace lcnchost
