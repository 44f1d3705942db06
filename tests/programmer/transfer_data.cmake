vrs_add_test(NAME tst_firmware_image SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_firmware_image.cpp
             LIBS vrs_programmer LABELS unit)
vrs_add_test(NAME tst_config_image SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_config_image.cpp
             LIBS vrs_programmer LABELS unit)
