vrs_add_test(NAME tst_zmt_model
             SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_zmt_model.cpp
             LIBS vrs_zmt
             LABELS unit)
