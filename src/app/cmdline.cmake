# The command-line reader: no widgets, so it lives in the core library.
include_guard(GLOBAL)
target_sources(vistrel_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CommandLineSplit.h ${CMAKE_CURRENT_LIST_DIR}/CommandLineSplit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandLineSwitch.h ${CMAKE_CURRENT_LIST_DIR}/CommandLineSwitch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandLineValues.h ${CMAKE_CURRENT_LIST_DIR}/CommandLineValues.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandLineNames.h ${CMAKE_CURRENT_LIST_DIR}/CommandLineNames.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandLinePaths.h ${CMAKE_CURRENT_LIST_DIR}/CommandLinePaths.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandLineMode.h ${CMAKE_CURRENT_LIST_DIR}/CommandLineMode.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandLineMessage.h ${CMAKE_CURRENT_LIST_DIR}/CommandLineMessage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StoredSettings.h ${CMAKE_CURRENT_LIST_DIR}/StoredSettings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandLineJob.h ${CMAKE_CURRENT_LIST_DIR}/CommandLineJob.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExitCodes.h
  ${CMAKE_CURRENT_LIST_DIR}/Usage.h ${CMAKE_CURRENT_LIST_DIR}/Usage.cpp)
