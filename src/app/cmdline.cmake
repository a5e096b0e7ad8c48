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
  ${CMAKE_CURRENT_LIST_DIR}/PreparedJob.h ${CMAKE_CURRENT_LIST_DIR}/PreparedJob.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BatchLines.h ${CMAKE_CURRENT_LIST_DIR}/BatchLines.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BatchShard.h ${CMAKE_CURRENT_LIST_DIR}/BatchShard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BatchTargets.h ${CMAKE_CURRENT_LIST_DIR}/BatchTargets.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BatchOptions.h ${CMAKE_CURRENT_LIST_DIR}/BatchOptions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BatchOutcome.h
  ${CMAKE_CURRENT_LIST_DIR}/BatchReport.h ${CMAKE_CURRENT_LIST_DIR}/BatchReport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BatchResume.h ${CMAKE_CURRENT_LIST_DIR}/BatchResume.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BatchBudget.h ${CMAKE_CURRENT_LIST_DIR}/BatchBudget.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Usage.h ${CMAKE_CURRENT_LIST_DIR}/Usage.cpp)
