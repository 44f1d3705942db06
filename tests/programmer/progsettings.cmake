vrs_add_test(NAME tst_progsettings
             SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_progsettings.cpp
             LIBS vrs_programmer LABELS unit)
vrs_add_test(NAME tst_proglog
             SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_proglog.cpp
             LIBS vrs_programmer LABELS unit)
