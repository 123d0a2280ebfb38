# Source lists of the panel firmware that both builds read: the AVR build compiles them
# into the firmware, the native build into the tests, fuzzers and the terminal panel.
# Paths are absolute, so any CMakeLists may use them.
get_filename_component(FIRMWARE_DIR ${CMAKE_CURRENT_LIST_DIR} ABSOLUTE)

# The panel side of the wire, shared with the terminal panel (tools/panel): C++14, no heap.
set(PANEL_WIRE_SOURCES
  ${FIRMWARE_DIR}/wire/frame_hunt.cpp
  ${FIRMWARE_DIR}/wire/status_payload.cpp
  ${FIRMWARE_DIR}/wire/command_payload.cpp
  ${FIRMWARE_DIR}/wire/reply_form.cpp
)
