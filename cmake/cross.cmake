# Cross build: the product DLL, the emulated player and the Win32 tests (run under Wine).
set(WIN32_SYSTEM_LIBS winmm shlwapi shell32 ole32 comdlg32 user32 gdi32 advapi32 kernel32)
# Only Windows system DLLs may be imported: the C++ runtime and winpthread go in statically.
set(STATIC_RUNTIME -static -static-libgcc -static-libstdc++)

target_compile_options(qb_portable PRIVATE -fno-exceptions -fno-rtti)
target_compile_options(qb_handlers PRIVATE -fno-exceptions -fno-rtti)

# The version resource reads its numbers from a header made from VERSION; every target
# that compiles quillbox.rc finds it here.
configure_file(src/res/quillbox_version.h.in ${CMAKE_BINARY_DIR}/generated/quillbox_version.h @ONLY)
include_directories(${CMAKE_BINARY_DIR}/generated)
# The resource compiler reports no header dependencies: a new version must still rebuild.
set_source_files_properties(src/res/quillbox.rc PROPERTIES
  OBJECT_DEPENDS ${CMAKE_BINARY_DIR}/generated/quillbox_version.h)

add_library(ml_quillbox SHARED ${WIN32_SOURCES} src/res/quillbox.rc)
target_include_directories(ml_quillbox PRIVATE src)
target_compile_options(ml_quillbox PRIVATE -fno-exceptions -fno-rtti)
# The dispatch table (portable) names the handlers, and the handlers use the portable code.
target_link_libraries(ml_quillbox PRIVATE "$<LINK_GROUP:RESCAN,qb_portable,qb_handlers>" ${WIN32_SYSTEM_LIBS})
target_link_options(ml_quillbox PRIVATE ${STATIC_RUNTIME})
# The player looks for plug-ins in a Plugins folder beside its executable.
set_target_properties(ml_quillbox PROPERTIES PREFIX "" OUTPUT_NAME ml_quillbox
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/player/Plugins)

add_subdirectory(tools/emu_player)
add_subdirectory(tests/wine)
# Needs qb_win32 from tests/wine.
add_subdirectory(tools/dialog_shot)
