# The Win32 test programs. Read by both builds: the cross build compiles them, the
# native build registers them with ctest to run under Wine.
set(WINE_TESTS
  serial_line_test
  config_dialog_test
  folder_scan_test
  startup_test
  settings_file_test
)
