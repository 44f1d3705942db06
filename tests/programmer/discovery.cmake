vrs_add_test(NAME tst_port_list
             SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_port_list.cpp
             LIBS vrs_programmer
             LABELS unit)

vrs_add_test(NAME tst_port_discovery
             SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_port_discovery.cpp
             LIBS vrs_programmer
             LABELS unit)
