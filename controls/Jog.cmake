# Jog direction buttons and the jog mode frame.
target_sources(zentyr_controls PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/MachJogDirButton.h ${CMAKE_CURRENT_LIST_DIR}/MachJogDirButton.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MachJogPctFrame.h ${CMAKE_CURRENT_LIST_DIR}/MachJogPctFrame.cpp
)
