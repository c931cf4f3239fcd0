# Host-bound buttons, their function dialogs and the shared lamp images.
target_sources(zentyr_controls PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/LampImages.h
  ${CMAKE_CURRENT_LIST_DIR}/LampImages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MachButtonBase.h
  ${CMAKE_CURRENT_LIST_DIR}/MachButtonBase.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MachButtonCodeRun.h
  ${CMAKE_CURRENT_LIST_DIR}/MachButtonCodeRun.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MachButton.h
  ${CMAKE_CURRENT_LIST_DIR}/MachButton.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MachButtonToggle.h
  ${CMAKE_CURRENT_LIST_DIR}/MachButtonToggle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MachCodeDlg.h
  ${CMAKE_CURRENT_LIST_DIR}/MachCodeDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MachButtonTypeDlg.h
  ${CMAKE_CURRENT_LIST_DIR}/MachButtonTypeDlg.cpp
)
