vrs_add_test(NAME tst_sensors SOURCES tst_sensors.cpp LIBS vrs_plm LABELS unit)
vrs_add_test(NAME tst_plm_config SOURCES tst_plm_config.cpp LIBS vrs_plm LABELS unit)
