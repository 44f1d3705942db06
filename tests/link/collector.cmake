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
