# Native build: unit tests under AddressSanitizer and UndefinedBehaviorSanitizer, fuzzers,
# and the panel side of the Wine and end-to-end tests.
set(SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
foreach(lib qb_portable qb_handlers)
  target_compile_options(${lib} PRIVATE ${SANITIZE})
endforeach()

# Where the ctest entry arduino.build puts the sketch built as the Arduino IDE builds it.
set(QB_ARDUINO_DIR ${CMAKE_BINARY_DIR}/arduino)

find_package(GTest REQUIRED)
include(GoogleTest)
enable_testing()

add_subdirectory(tools/panel)
add_subdirectory(tests/support)
add_subdirectory(tools/board)
add_subdirectory(tools/panel_picture)
add_subdirectory(tests/board)
add_subdirectory(tests/native)
add_subdirectory(tests/firmware)
add_subdirectory(tests/fuzz)
if(QB_CROSS_DIR)
  add_subdirectory(tests/panel)
  add_subdirectory(tests/e2e)
  add_subdirectory(tools/live_plugin)
  add_subdirectory(tools/bench)
  add_subdirectory(tools/soak)
endif()

# The Win32 tests run from here, under Wine, each with a null-modem pty pair as COM1/COM2.
if(QB_CROSS_DIR)
  add_executable(nullmodem tests/support/nullmodem.cpp)
  target_link_libraries(nullmodem PRIVATE util)
  include(tests/wine/tests.cmake)
  foreach(name ${WINE_TESTS})
    add_test(NAME wine.${name}
      COMMAND ${CMAKE_SOURCE_DIR}/tests/support/wine-run.sh $<TARGET_FILE:nullmodem>
              ${QB_CROSS_DIR}/tests/wine/${name}.exe)
    set_tests_properties(wine.${name} PROPERTIES TIMEOUT 180 RESOURCE_LOCK serial_line)
  endforeach()
endif()
