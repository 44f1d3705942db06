vrs_add_test(NAME tst_programmer_controller
             SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_programmer_controller.cpp
                     ${CMAKE_CURRENT_LIST_DIR}/scripted_prompt.h
             LIBS vrs_programmer vrs_devsim LABELS integration TIMEOUT 300)
