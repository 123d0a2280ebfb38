# Native build: unit tests under AddressSanitizer and UndefinedBehaviorSanitizer, fuzzers,
# and the panel side of the Wine and end-to-end tests.
set(SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
foreach(lib qb_portable qb_handlers)
  target_compile_options(${lib} PRIVATE ${SANITIZE})
endforeach()

find_package(GTest REQUIRED)
include(GoogleTest)
enable_testing()

add_subdirectory(tests/native)
add_subdirectory(tests/fuzz)
if(QB_CROSS_DIR)
  add_subdirectory(tests/panel)
  add_subdirectory(tests/e2e)
  add_subdirectory(tools/bench)
endif()
