# The command-line reader's tests: no window needed.
include_guard(GLOBAL)
vistrel_add_test(tst_commandline SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_commandline.cpp
  LIBS vistrel_core LABEL core)
vistrel_add_test(tst_batch SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_batch.cpp
  LIBS vistrel_core LABEL core)
