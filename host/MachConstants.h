#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <optional>

// The controller numbers its readouts (OEM DROs), lamps (OEM LEDs) and commands (OEM buttons).
// Each gets a symbolic kind here, so that controls and stored window definitions name a kind
// rather than a bare number. A control stores a kind; the code looked up for it, never the
// ordinal, is what goes to the host; stored files hold the ordinal or the enumerator name.

enum TmcOEMDROtype : uint8_t {
    odtNONE, odtJog_Inc_Inc, odtPulse_Freq, odtSlow_Jog_Pct, odtX_min, odtY_min, odtZ_min,
    odtA_min, odtB_min, odtC_min, odtX_max, odtY_max, odtZ_max, odtA_max, odtB_max, odtC_max,
    odtX_G92_Axis_Off, odtY_G92_Axis_Off, odtZ_G92_Axis_Off, odtA_G92_Axis_Off, odtB_G92_Axis_Off,
    odtC_G92_Axis_Off, odtQueue_Depth, odtTime_Scale, odtPWM_Base, odtTorch_Correction_Speed,
    odtTorch_Height_Corrorrection, odtTorch_Height_Max, odtCPU_Load, odtEncoder_1_X_position,
    odtEncoder_2_Y_position, odtEncoder_3_Z_position, odtTool_length_offset, odtX_Axis_Ref_Sw,
    odtY_Axis_Ref_Sw, odtZ_Axis_Ref_Sw, odtA_Axis_Ref_Sw, odtB_Axis_Ref_Sw, odtC_Axis_Ref_Sw,
    odtTrue_spindle, odtWorst_Case, odtTool_X_Offset, odtTool_Z_Offset, odtTool_Dia,
    odtTool_Tip_Rad, odtTouch_Correction, odtCurrent_Fixture_Number, odtPart_X_Offset,
    odtPart_Y_Offset, odtPart_Z_Offset, odtPart_A_Offset, odtPart_B_Offset, odtPart_C_Offset,
    odtCPU_Speed, odtSafe_Z, odtOveridden_Feed_Rate, odtPulley,
    odtMax_Spindle_Speed_on_current_pulley, odtVelocity_per_Rev, odtX_Scale, odtY_Scale,
    odtZ_Scale, odtA_Scale, odtB_Scale, odtC_Scale, odtLowest_Torch_Correction,
    odtThreading_Entrance_Angle, odtMax_Entrance_Points, odtRotational_Time_Error,
    odtEntrance_Trigger, odtTime_Correction_Derivative, odtInterrupts_per_spindle_rev,
    odtCurrent_Spin_Counts, odtSpin_Adder, odtSpin_up_down_increment, odtStock_Size,
    odtLaser_X_Grid, odtLaser_Y_Grid, odtRepetitions, odtLower_Z_Inhibit_By, odtZ_Inhibit,
    odtPort_Bit_test, odtAnti_dive_limit, odtX_Machine_Coord, odtY_Machine_Coord,
    odtZ_Machine_Coord, odtA_Machine_Coord, odtB_Machine_Coord, odtC_Machine_Coord,
    odtBlend_factor, odtNumber_of_spindle_disc_slots, odtG73_Pull_off_value,
    odtTangential_lift_threshold_angle, odtTangential_lift_Z_level, odtReserved1, odtReserved2,
    odtReserved3, odtCV_Feedrate, odtFeed_override_increment_value, odtSpindle_ratio,
    odtEncoder_4_position, odtMPG_1_count, odtMPG_2_count, odtMPG_3_count, odtRapid_feedrate,
    odtDiameter_of_current_tool, odtTip_direction_of_current_tool,
    odtTool_nose_Radius_of_current_tool, odtX_offset_of_current_tool, odtZ_offset_of_current_tool,
    odtX_wear_offset_of_current_tool, odtZ_wear_offset_of_current_tool,
    odtTool_turret_angle_of_current_tool, odtVelocity_of_MPG_1, odtVelocity_of_MPG_2,
    odtVelocity_of_MPG_3, odtAngle_of_taper_to_be_cut_with_MPG_tapering,
    odtSpindle_speed_as_surface_speed, odtAngle_of_rotation_of_XY_coordinate_system_cf_G68,
    odtLaser_grid_spacing, odtNumber_of_incremental_jogs_that_can_be_buffered,
    odtMinimum_spindle_speed_on_current_pulley, odtFeed_rate_ignoring_that_set_in_F_word,
    odtTool_post_offset_between_front_and_rear_posts, odtCurrent_velocity_of_MPG_1,
    odtCurrent_velocity_of_MPG_2, odtFeedrate_for_use_with_MPG_step_jogs,
    odtError_between_Encoder_1_and_abs_X_position, odtError_between_Encoder_2_and_abs_Y_position,
    odtError_between_Encoder_3_and_abs_Z_position, odtTime_uSec_in_interrupt_handler,
    odtSLS_Dist_laser_position_measurement, odtAxis_6_Tripcount, odtEngine_lookahead,
    odtCount_of_actual_pulses_output_on_X, odtCount_of_actual_pulses_output_on_Y,
    odtCount_of_actual_pulses_output_on_Z, odtCount_of_actual_pulses_output_on_A,
    odtCount_of_actual_pulses_output_on_B, odtCount_of_actual_pulses_output_on_C,
    odtActual_count_from_encoder_1, odtActual_count_from_encoder_2, odtActual_count_from_encoder_3,
    odtActual_count_from_encoder_4, odtActual_count_from_encoder_5, odtActual_count_from_encoder_6,
    odtModBus_input_64, odtModBus_input_65, odtModBus_input_66, odtModBus_input_67,
    odtSoftlimit_X_Maximum, odtSoftlimit_Y_Maximum, odtSoftlimit_Z_Maximum, odtSoftlimit_A_Maximum,
    odtSoftlimit_B_Maximum, odtSoftlimit_C_Maximum, odtSoftlimit_X_Minimum, odtSoftlimit_Y_Minimum,
    odtSoftlimit_Z_Minimum, odtSoftlimit_A_Minimum, odtSoftlimit_B_Minimum, odtSoftlimit_C_Minimum,
    odtDistance_from_front_to_rear_toolpost, odtPart_X_Radius_diameter_for_Touching_to_tooltable,
    odtPart_Z_location_for_Touching_to_tooltable, odtReserved, odtMachine_X_coord_X_Work_Offset,
    odtMachine_Y_coord_Y_Work_Offset, odtMachine_Z_coord_Z_Work_Offset_Tool_length,
    odtMachine_A_coord_A_Work_Offset, odtMachine_B_coord_B_Work_Offset,
    odtMachine_C_coord_C_Work_Offset, odtX_Cont_Pnt_coord_Machine_Work_G52_G92,
    odtY_Cont_Pnt_coord_Machine_Work_G52_G92, odtZ_Cont_Pnt_coord_Machine_Work_Tool_len_G52_G92,
    odtA_Cont_Pnt_coord_Machine_Work_G52_G92, odtB_Cont_Pnt_coord_Machine_Work_G52_G92,
    odtC_Cont_Pnt_coord_Machine_Work_G52_G92, odtX_Axis_home_location_used_by_G28,
    odtY_Axis_home_location_used_by_G28, odtZ_Axis_home_location_used_by_G28,
    odtA_Axis_home_location_used_by_G28, odtB_Axis_home_location_used_by_G28,
    odtC_Axis_home_location_used_by_G28, odtX_Axis_Distance_to_Go, odtY_Axis_Distance_to_Go,
    odtZ_Axis_Distance_to_Go, odtA_Axis_Distance_to_Go, odtB_Axis_Distance_to_Go,
    odtC_Axis_Distance_to_Go, odtOverriden_spindle_speed, odtCurrent_pulley_reversed_direction,
    odtCurrent_X_offset_of_Turn_tool, odtReserved4, odtReserved5, odtReserved6,
    odtEncoder_X_reading_corrected_by_offsets, odtEncoder_Y_reading_corrected_by_offsets,
    odtEncoder_Z_reading_corrected_by_offsets, odtX_soft_limits_Max, odty_soft_limits_Max,
    odtZ_soft_limits_Max, odtX_soft_limits_Min, odty_soft_limits_Min, odtZ_soft_limits_Min,
    odtSpindle_Seconds_CW, odtReserved7, odtReserved8, odtBrains_exe_time_ms, odtProbe_Radius,
    odtSub_Program_depth, odtRapid_Override, odtX, odtY, odtZ, odtA, odtB, odtC, odtX_Vel,
    odtY_Vel, odtZ_Vel, odtA_Vel, odtB_Vel, odtC_Vel, odtBlended_Velocity, odtElapsed, odtEstimate,
    odtCurr_Line_no, odtSpindle_requested, odtFeedrate, odtFeedrate_Override, odtTool_number,
    odtRot_A_diameter, odtRot_B_diameter, odtRot_C_diameter, odtJog_Inc, odtX_Fixture_Off,
    odtX_Fixture_Orig_Off, odtY_Fixture_Off, odtY_Fixture_Orig_Off, odtZ_Fixture_Off,
    odtZ_Fixture_Orig_Off, odtA_Fixture_Off, odtA_Fixture_Orig_Off, odtB_Fixture_Orig_Off,
    odtB_Fixture_Off, odtC_Fixture_Orig_Off, odtC_Fixture_Off, odtCurrent_Tool_length,
};

enum TmcOEMLEDtype : uint8_t {
    oltNONE, oltG92, oltSpindle_CW, oltMist, oltFlood, oltJog_mode_Cont, oltJog_mode_Incr,
    oltMach_coords_warn, oltFeed_override, oltEstimating, oltEmergency, oltA_Radius_Corr,
    oltB_Radius_Corr, oltC_Radius_Corr, oltSoftware_Limits, oltTorch_En, oltTrue_Spindle_Acc,
    oltTrue_Spindle_Dec, oltTool_Path, oltTool_Offset_On, oltPart_Offset_On,
    oltThrottle_is_Slow_Jog, oltThrottle_is_Feedrate, oltReserved1, oltAuto_Lim_Override,
    oltOverride_Limits_And_Home_Switches, oltSS_on_Act4, oltTHC_Arc_Good, oltTorch_Up_active,
    oltTorch_Down_active, oltFeed_Per_Rev, oltFeed_Per_Min, oltX_Scale, oltY_Scale, oltZ_Scale,
    oltA_Scale, oltB_Scale, oltC_Scale, oltReserved2, oltAbs_Coordinate_Mode,
    oltIncremental_Coordinate_Mode, oltThreading_Sync_Mode, oltLaser_Probe_Enabled,
    oltZ_Inhibit_ON, oltIgnore_Tool_Change_ON, oltCV_Mode_ON, oltM30_Repeats_Enabled,
    oltCV_Mode_OFF, oltMPG_Jog_On, oltCont_Jog_is_at_Full_Speed, oltMPG_1_Jogs_X_Axis,
    oltMPG_1_Jogs_Y_Axis, oltMPG_1_Jogs_Z_Axis, oltMPG_1_Jogs_A_Axis, oltMPG_1_Jogs_B_Axis,
    oltMPG_1_Jogs_C_Axis, oltOptional_Stop_On, oltBlock_Delete_On, oltOffline_Indicator,
    oltThreading_Feed_Related_To_True_Spindle_Speed, oltIndex_Wignal_Awaited, oltAnti_Dive_Enabled,
    oltSpindle_Speed_Stable, oltIJ_Mode_is_Absolute, oltIJ_Mode_is_Incremental,
    oltG_Code_Teaching_File_is_Open, oltOffset_In_Effect_On_At_Least_One_Axis, oltReserved3,
    oltOutput_4_Active, oltOutput_5_Active, oltOutput_6_Active, oltPause_Active,
    oltTangential_Control_Active, oltSingle_Step_Mode_Active, oltJogging_Enabled,
    oltCV_Feed_Enabled, oltEnhanced_Pulsing_NOT_in_use, oltAxis_Inhibited_X, oltAxis_Inhibited_Y,
    oltAxis_Inhibited_Z, oltAxis_Inhibited_A, oltAxis_Inhibited_B, oltAxis_Inhibited_C,
    oltDiameter_Mode_Active_Turn, oltTiming_Signal_Active_Turn, oltHotkeys_Enabled,
    oltUnits_Per_Minute_Mode, oltUnits_Per_Rev_Mode, oltRunning_In_Reverse_duplicated_by_112,
    oltMPG_2_Jogs_X_Axis, oltMPG_2_Jogs_Y_Axis, oltMPG_2_Jogs_Z_Axis, oltMPG_2_Jogs_A_Axis,
    oltMPG_2_Jogs_B_Axis, oltMPG_2_Jogs_C_Axis, oltMPG_2_in_Taper_Mode, oltTwo_MPGs_in_Use,
    oltShuttle_Mode_In_Use, oltSpindle_Is_In_CSS_G96_mode,
    oltXY_coordinate_system_is_currently_rotated, oltRapids_Being_Overidden,
    oltAxis_Formula_Mapping_On, oltFeedhold_When_Part_of_a_Block_Executed_Remainder_Pending,
    oltRunning_in_Reverse_duplicate_do_not_use, oltAlternative_Feedrate_in_use_see_OEM_DRO_122,
    oltFront_Tool_Post_Selected, oltRear_Tool_Post_Selected, oltSpindle_is_Running,
    oltMPG_jog_Velocity_Mode_Selected, oltMPG_jog_Velocity_Step_Mode_Selected,
    oltMPG_jog_Single_Exact_Step_Mode_Selected, oltMPG_jog_Multiple_Steps_Selected,
    oltX_Plus_Jogging_Switch_Active, oltX_Minus_Jogging_Switch_Active,
    oltY_Plus_Jogging_Switch_Active, oltY_Minus_Jogging_Switch_Active,
    oltZ_Plus_Jogging_Switch_Active, oltZ_Minus_Jogging_Switch_Active,
    oltA_Plus_Jogging_Switch_Active, oltA_Minus_Jogging_Switch_Active, oltMouse_in_Tool_Path_Zooms,
    oltMouse_in_Tool_Path_Pans, oltReset, oltInch, oltMMs, oltIdle, oltStart, oltPause,
    oltTool_Change, oltX_ref, oltY_ref, oltZ_ref, oltA_ref, oltB_ref, oltC_ref, oltDwell,
    oltJoystick_enable, oltFixture, oltActive_1, oltActive_2, oltActive_3, oltActive_4,
    oltDigitise_In, oltIndex, oltLimit_OV, oltX_Plus_Limit, oltX_Minus_Limit, oltX_Minus_Home,
    oltY_Plus_Limit, oltY_Minus_Limit, oltY_Minus_Home, oltZ_Plus_Limit, oltZ_Minus_Limit,
    oltZ_Minus_Home, oltA_Plus_Limit, oltA_Minus_Limit, oltA_Minus_Home, oltB_Plus_Limit,
    oltB_Minus_Limit, oltB_Minus_Home, oltC_Plus_Limit, oltC_Minus_Limit, oltC_Minus_Home,
    oltEnable_1, oltEnable_2, oltEnable_3, oltEnable_4, oltEnable_5, oltEnable_6, oltOutput_1,
    oltOutput_2, oltOutput_3, oltDigitise_Out,
};

enum TmcOEMButtontype : uint16_t {
    obtNONE, obtProgram_Run_screen_select, obtMDI_screen_select, obtToolpath_screen_select,
    obtPositioning_screen_select, obtDiagnostics_screen_select, obtCorrections_screen_select,
    obtTables_screen_select, obtInc_Inc_Up, obtInc_Inc_Down, obtReset_Interp, obtJog_mode_Toggle,
    obtGoto_Safe_Z, obtHome_ZXYABC_set_machine_coords, obtUnits, obtMach_coords, obtFeed_raise,
    obtFeed_lower, obtSpindle_CW_or_Reset_THC_Height, obtSlow_Jog_Up, obtSlow_Jog_Dn,
    obtFlood_Toggle, obtMist_Toggle, obtEdit_G_Code, obtZero_Radius_DRO_on_X,
    obtZero_Radius_DRO_on_Y, obtZero_Radius_DRO_on_Z, obtSoftware_limits,
    obtTouch_button_for_Tool_length_offset, obtTool_Tab_Save, obtFixture_Tab_Save,
    obtTorch_Enable_Toggle, obtTorch_Cal_Zero, obtEnc_Load_X, obtEnc_To_X, obtEnc_Load_Y,
    obtEnc_To_Y, obtEnc_Load_Z, obtEnc_To_Z, obtToggle_Mill_or_Turn_mode, obtTool_Path_Toggle,
    obtZero_X_Encoder, obtZero_Y_Encoder, obtZero_Z_Encoder, obtTool_Offset_Tog, obtFixture_Off,
    obtGo_Home, obtPart_X_Offset_Touch, obtPart_Y_Offset_Touch, obtPart_Z_Offset_Touch,
    obtPart_A_Offset_Touch, obtPart_B_Offset_Touch, obtPart_C_Offset_Touch, obtTool_X_Offset_Touch,
    obtTool_Z_Offset_Touch, obtJoy_Throttle_select, obtTouch_Corr_Enable_Toggle,
    obtAuto_Lim_Override_Toggle, obtOverRide_Limits, obtSS_on_Act4_Toggle, obtreserved1,
    obtreserved2, obtreserved3, obtUnits_or_Rev_Per_Min_Toggle,
    obtSet_This_Line_as_Next_to_Execute, obtJog_Follow, obtJoystick_ON, obtJoystick_OFF,
    obtRegen_toolpath_display, obtZero_XZ_to_stock_as_defined_in_DROs, obtCoordinate_mode_G90_G91,
    obtRaise_spindle_Speed, obtLower_spindle_speed, obtLaser_Probe_Enable_Toggle,
    obtZero_laser_grid_at_current_location, obtZ_inhibit_Toggle, obtIgnore_Tool_Change_Toggle,
    obtClose_current_file, obtReload_last_file, obtJog_increment_cycle, obtClear_error_label,
    obtSpindle_CCW_Toggle, obtParallel_Port_Encoder3_MPG_Jog_Toggle,
    obtCycle_axis_controlled_by_MPG_1, obtBlock_Delete_Toggle, obtOptional_Stop_Toggle,
    obtOffline_Toggle, obtMachine_Coordinates_ON, obtMachine_Coordinates_OFF,
    obtDisplay_Work_Coords_not_with_G92, obtSpindle_actual_Toggle, obtHome_X_or_Home_Z_Turn,
    obtSelect_X_for_MPG_1, obtSelect_Y_for_MPG_1, obtSelect_Z_for_MPG_1, obtSelect_A_for_MPG_1,
    obtSelect_B_for_MPG_1, obtSelect_C_for_MPG_1, obtSelect_Jog_Increment_1,
    obtSelect_Jog_Increment_2, obtSelect_Jog_Increment_3, obtSelect_Jog_Increment_4,
    obtSelect_Jog_Increment_5, obtSelect_Jog_Increment_6, obtSelect_Jog_Increment_7,
    obtSelect_Jog_Increment_8, obtSelect_Jog_Increment_9, obtSelect_Jog_Increment_10,
    obtFeed_override_Off, obtFeed_override_Jog, obtFeed_override_Feed, obtJog_mode_Continuous,
    obtJog_mode_Step, obtJoystick_On2, obtJoystick_Off2, obtClear_Z_tool_offset_Turn,
    obtClear_X_tool_offset_Turn, obtSet_stock_correction_to_Zero_Turn, obtHome_X_Home_Z_Turn,
    obtHome_X_Turn, obtHome_Z_Turn, obtShow_Recent_G_Code_Files, obtDisplay_History,
    obtLoad_G_Code, obtTool_Flip_Toggle_Front_Rear_toolposts, obtZ_inhibit_ON, obtZ_inhibit_OFF,
    obtPort_Bit_Test_Set_diagnostic, obtAnti_Dive_Toggle, obtTHC_Anti_Dive_OFF,
    obtTHC_Anti_Dive_ON, obtFlood_ON, obtFlood_OFF, obtMist_ON, obtMist_OFF, obtLoad_Teach_File,
    obtToolpath_Machine_Job_Toggle, obtDisplay_Wizard_Selection_Window,
    obtLoad_the_normal_screens_when_Wizard_done, obtSimple_Complex_screen_Toggle, obtOutput_4_ON,
    obtOutput_4_OFF, obtOutput_5_ON, obtOutput_5_OFF, obtOutput_6_ON, obtOutput_6_OFF,
    obtSet_Help_context, obtDef_Ref_All_Axes, obtTangential_Toggle,
    obtSave_XYZ_to_G59_254_work_offset, obtdo_G0G53_to_G59_254_offset_location,
    obtMove_to_G59_254_with_midpoint_selection,
    obtToggle_Jog_Mode_through_Cont_Step_MPG_as_relevant, obtForce_Referenced_on_all_axes,
    obtCV_Feed_Toggle, obtCV_Feed_OFF, obtCV_Feed_ON, obtDisable_movement_on_axis_X,
    obtDisable_movement_on_axis_Y, obtDisable_movement_on_axis_Z, obtDisable_movement_on_axis_A,
    obtDisable_movement_on_axis_B, obtDisable_movement_on_axis_C, obtEngine_OFFline,
    obtEngine_ONline, obtSelect_encoder_jog_on_axis_X, obtSelect_encoder_jog_on_axis_Y,
    obtSelect_encoder_jog_on_axis_Z, obtSelect_encoder_jog_on_axis_A,
    obtSelect_encoder_jog_on_axis_B, obtSelect_encoder_jog_on_axis_C, obtSelect_Step_value_1,
    obtSelect_Step_value_2, obtSelect_Step_value_3, obtSelect_Step_value_4, obtSelect_Step_value_5,
    obtSelect_Step_value_6, obtSelect_Step_value_7, obtSelect_Step_value_8, obtSelect_Step_value_9,
    obtSelect_Step_value_10, obtSet_Jog_mode_STEP, obtSet_Jog_mode_CONT, obtIncrement_feedrate,
    obtDecrement_feedrate, obtRun_Reverse, obtSwitch_to_last_used_Wizard,
    obtCycle_axis_controlled_by_MPG_2, obtToggle_taper_mode_on_MPG_2, obtToggle_dual_MPG_flag,
    obtToggle_shuttle_mode_for_MPG, obtReturn_to_paused_state, obtRemember_paused_state,
    obtToggle_override_of_rapid_feeds, obtCrop_current_dwell_now, obtSet_formlas,
    obtInhibit_jog_of_X_axis, obtInhibit_jog_of_Y_axis, obtInhibit_jog_of_Z_axis,
    obtInhibit_jog_of_A_axis, obtInhibit_jog_of_B_axis, obtInhibit_jog_of_C_axis,
    obtDo_screw_calibration_routine, obtUnconditional_crop_any_dwell_now, obtreserved,
    obtToggle_bypass_feed_enables_value_in_OEM_DRO_122,
    obtToggle_current_tool_is_in_front_toolpost,
    obtCode_for_OEMTriggers_runs_the_macro_in_SetTriggerMacro, obtCycle_MPG_jogging_mode,
    obtSet_MPG_jogging_mode_2_Velocity, obtSet_MPG_jogging_mode_2_Velocity_per_Step,
    obtSet_MPG_jogging_mode_2_do_single_exact_steps,
    obtSet_MPG_jogging_mode_2_do_multiple_exact_steps, obtPush_to_jog_X_Plus,
    obtPush_to_jog_X_Minus, obtPush_to_jog_Y_Plus, obtPush_to_jog_Y_Minus, obtPush_to_jog_Z_Plus,
    obtPush_to_jog_Z_Minus, obtPush_to_jog_A_Plus, obtPush_to_jog_A_Minus, obtCalibrate_MPGs,
    obtSave_tool_table, obtSave_work_offset_table, obtDrag_on_toolpath_does_Zoom_Toggle,
    obtDrag_on_toolpath_does_Pan_Toggle, obtDisplay_Wizard_select_dialog, obtRun_Newfangled_Wizard,
    obtEmergency_bailout_4_tester_use_only, obtToggle_visibility_of_screen_50,
    obtTurn_mode_tool_touch_off_X_axis, obtToggle_use_of_spindle_step_line_to_control_Torch_volts,
    obtTurn_mode_tool_touch_off_Z_axis, obtSelect_MPG_jog_mode, obtCycle_start, obtPause,
    obtRewind, obtStop, obtSingle, obtResume, obtEdit_File, obtZero_All, obtZero_X, obtZero_Y,
    obtZero_Z, obtZero_A, obtZero_B, obtZero_C, obtFeedrate_reset, obtEstimate_Job,
    obtRun_from_here, obtGotoZs, obtCoord_System, obtVerify, obtReset, obtRef_X, obtRef_Y,
    obtRef_Z, obtRef_A, obtRef_B, obtRef_C, obtJoystick_Toggle, obtSoftlimits_Toggle,
    obtRadius_Tracking_Toggle, obtJog_Toggle,
};

inline constexpr int OEMDROKindCount = 249;
inline constexpr int OEMLEDKindCount = 173;
inline constexpr int OEMButtonKindCount = 265;

// The kinds map to host codes in runs of consecutive codes: ordinals firstOrdinal..lastOrdinal
// map to firstCode upwards, `ordinalsPerCode` ordinals sharing each code.
struct OEMCodeBlock
{
    int firstOrdinal;
    int lastOrdinal;
    int firstCode;
    int ordinalsPerCode = 1;
};

// The twelve fixture-offset readouts (ordinals 236..247) come in pairs that share a code.
inline constexpr OEMCodeBlock OEMDROCodeBlocks[] = {
    {0, 162, 0},     {163, 211, 175}, {212, 223, 800}, {224, 229, 813},
    {230, 230, 821}, {231, 235, 824}, {236, 247, 830, 2}, {248, 248, 836},
};
inline constexpr OEMCodeBlock OEMLEDCodeBlocks[] = {
    {0, 0, 0}, {1, 121, 10}, {122, 136, 800}, {137, 137, 816}, {138, 172, 821},
};
inline constexpr OEMCodeBlock OEMButtonCodeBlocks[] = {
    {0, 7, 0},         {8, 90, 100},      {91, 162, 184},
    {163, 233, 257},   {234, 252, 1000},  {253, 264, 1020},
};

// The code of `ordinal` in `blocks`; -1 when no block holds it.
template <std::size_t Blocks>
constexpr int OEMCodeInBlocks(const OEMCodeBlock (&blocks)[Blocks], int ordinal)
{
    for (const OEMCodeBlock& block : blocks) {
        if (ordinal >= block.firstOrdinal && ordinal <= block.lastOrdinal)
            return block.firstCode + (ordinal - block.firstOrdinal) / block.ordinalsPerCode;
    }
    return -1;
}

// The host code of a kind the program names in its own code, known when it is compiled
// (`OEMLEDCodeOf(oltReset)` is the lamp that shows the host in reset), so that no host code is
// written as a bare number. Every code fits the host's 16-bit argument. A kind read from a
// file goes through the range-checked OEM*Code lookups below instead.
constexpr int16_t OEMDROCodeOf(TmcOEMDROtype kind)
{
    return static_cast<int16_t>(OEMCodeInBlocks(OEMDROCodeBlocks, kind));
}
constexpr int16_t OEMLEDCodeOf(TmcOEMLEDtype kind)
{
    return static_cast<int16_t>(OEMCodeInBlocks(OEMLEDCodeBlocks, kind));
}
constexpr int16_t OEMButtonCodeOf(TmcOEMButtontype kind)
{
    return static_cast<int16_t>(OEMCodeInBlocks(OEMButtonCodeBlocks, kind));
}

// Host code of a kind. A kind whose ordinal lies outside its enumeration raises a ZentyrError.
int OEMDROCode(TmcOEMDROtype kind);
int OEMLEDCode(TmcOEMLEDtype kind);
int OEMButtonCode(TmcOEMButtontype kind);

// Display name of a kind: the enumerator without its prefix, underscores as blanks
// ("Flood Toggle"); odtJog_Inc_Inc displays as "Jog Amount".
QString OEMDROName(TmcOEMDROtype kind);
QString OEMLEDName(TmcOEMLEDtype kind);
QString OEMButtonName(TmcOEMButtontype kind);

// The kind whose display name equals `name` exactly (the first ordinal that matches).
std::optional<TmcOEMDROtype> OEMDROKindOfName(const QString& name);
std::optional<TmcOEMLEDtype> OEMLEDKindOfName(const QString& name);
std::optional<TmcOEMButtontype> OEMButtonKindOfName(const QString& name);

// Every display name of an enumeration, in ordinal order.
QStringList OEMDRONames();
QStringList OEMLEDNames();
QStringList OEMButtonNames();

// Enumerator names ("obtFlood_Toggle"), as stored window definitions name kinds.
QString OEMDROEnumName(TmcOEMDROtype kind);
QString OEMLEDEnumName(TmcOEMLEDtype kind);
QString OEMButtonEnumName(TmcOEMButtontype kind);
std::optional<TmcOEMDROtype> OEMDROKindOfEnumName(const QString& name);
std::optional<TmcOEMLEDtype> OEMLEDKindOfEnumName(const QString& name);
std::optional<TmcOEMButtontype> OEMButtonKindOfEnumName(const QString& name);

// A kind from its stored ordinal; an ordinal outside the enumeration raises a ZentyrError.
TmcOEMDROtype OEMDROKindOfOrdinal(int ordinal);
TmcOEMLEDtype OEMLEDKindOfOrdinal(int ordinal);
TmcOEMButtontype OEMButtonKindOfOrdinal(int ordinal);
