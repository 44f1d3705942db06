vrs_add_test(NAME tst_ntrv_device
             SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_ntrv_device.cpp
             LIBS vrs_ntrv
             LABELS unit)
vrs_add_test(NAME tst_ntrv_model
             SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_ntrv_model.cpp
             LIBS vrs_ntrv
             LABELS unit)
