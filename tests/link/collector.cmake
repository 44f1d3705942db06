# Link object, serial provider and task collector.
vrs_add_test(NAME tst_dao
             SOURCES tst_dao.cpp ../transport/line_probe.cpp
                     tst_collector_device.h tst_dao_fake_port.h
             LIBS vrs_link util
             LABELS unit
             TIMEOUT 60)

vrs_add_test(NAME tst_collector
             SOURCES tst_collector.cpp tst_collector_rig.h tst_collector_device.h tst_dao_fake_port.h
             LIBS vrs_link util
             LABELS unit
             TIMEOUT 60)

# The real port, link and collector against the simulated device.
if(TARGET vrs_devsim AND TARGET vrs5-devsim)
  vrs_add_test(NAME tst_collector_devsim
               SOURCES tst_collector_devsim.cpp
               LIBS vrs_link vrs_devsim
               LABELS integration
               TIMEOUT 120)
  target_compile_definitions(tst_collector_devsim PRIVATE
                             VRS5_DEVSIM_EXE="$<TARGET_FILE:vrs5-devsim>")
  add_dependencies(tst_collector_devsim vrs5-devsim)
endif()
