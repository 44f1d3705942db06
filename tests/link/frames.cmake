# Frames, checksums and programmer tasks of the device link.
vrs_add_test(NAME tst_crc SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_crc.cpp
             LIBS vrs_link LABELS unit)
vrs_add_test(NAME tst_frame SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_frame.cpp
             LIBS vrs_link LABELS unit)
vrs_add_test(NAME tst_frame_receiver SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_frame_receiver.cpp
             LIBS vrs_link LABELS unit)
vrs_add_test(NAME tst_task SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_task.cpp
             LIBS vrs_link LABELS unit)
vrs_add_test(NAME tst_task_transfer SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_task_transfer.cpp
             LIBS vrs_link LABELS unit)
