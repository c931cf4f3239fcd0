# LED indicators, axis DRO displays, value adjust frames, MDI line and message log.
target_sources(zentyr_controls PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TILed.h ${CMAKE_CURRENT_LIST_DIR}/TILed.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MachLed.h ${CMAKE_CURRENT_LIST_DIR}/MachLed.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MachDro.h ${CMAKE_CURRENT_LIST_DIR}/MachDro.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AxisReadout.h ${CMAKE_CURRENT_LIST_DIR}/AxisReadout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DROframe.h ${CMAKE_CURRENT_LIST_DIR}/DROframe.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DROMultiBtn.h ${CMAKE_CURRENT_LIST_DIR}/DROMultiBtn.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FrameSlider.h ${CMAKE_CURRENT_LIST_DIR}/FrameSlider.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DroAmountFrame.h ${CMAKE_CURRENT_LIST_DIR}/DroAmountFrame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DroSpeedFrame.h ${CMAKE_CURRENT_LIST_DIR}/DroSpeedFrame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MachMDIframe.h ${CMAKE_CURRENT_LIST_DIR}/MachMDIframe.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MachMsgLogFrame.h ${CMAKE_CURRENT_LIST_DIR}/MachMsgLogFrame.cpp
)
