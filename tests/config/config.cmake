# The configuration file codec, JSON conventions and the vrs5ctl tool.
vrs_add_test(NAME tst_config_codec SOURCES tst_config_codec.cpp LIBS vrs_config LABELS unit)
vrs_add_test(NAME tst_config_json_print SOURCES tst_config_json_print.cpp LIBS vrs_config LABELS unit)
vrs_add_test(NAME tst_config_json_parse SOURCES tst_config_json_parse.cpp LIBS vrs_config LABELS unit)
vrs_add_test(NAME tst_config_file SOURCES tst_config_file.cpp LIBS vrs_config LABELS unit)
vrs_add_test(NAME tst_vrs5ctl SOURCES tst_vrs5ctl.cpp LIBS vrs_config LABELS integration)
target_compile_definitions(tst_vrs5ctl PRIVATE VRS5CTL_PATH="$<TARGET_FILE:vrs5ctl>")
add_dependencies(tst_vrs5ctl vrs5ctl)
