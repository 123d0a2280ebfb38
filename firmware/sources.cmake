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

# The panel's logic: portable, tested natively against fakes of the board (board_io.h).
set(PANEL_LOGIC_SOURCES
  ${FIRMWARE_DIR}/logic/keys.cpp
  ${FIRMWARE_DIR}/logic/key_ladder.cpp
  ${FIRMWARE_DIR}/logic/key_check_view.cpp
  ${FIRMWARE_DIR}/logic/key_setup_view.cpp
  ${FIRMWARE_DIR}/logic/text_fold.cpp
  ${FIRMWARE_DIR}/logic/screen.cpp
  ${FIRMWARE_DIR}/logic/title_scroll.cpp
  ${FIRMWARE_DIR}/logic/status_view.cpp
  ${FIRMWARE_DIR}/logic/notice.cpp
  ${FIRMWARE_DIR}/logic/link.cpp
  ${FIRMWARE_DIR}/logic/requests.cpp
  ${FIRMWARE_DIR}/logic/transport_keys.cpp
  ${FIRMWARE_DIR}/logic/list_window.cpp
  ${FIRMWARE_DIR}/logic/list_transfer.cpp
  ${FIRMWARE_DIR}/logic/list_view.cpp
  ${FIRMWARE_DIR}/logic/menu.cpp
  ${FIRMWARE_DIR}/logic/actions.cpp
  ${FIRMWARE_DIR}/logic/text_entry.cpp
  ${FIRMWARE_DIR}/logic/search_view.cpp
  ${FIRMWARE_DIR}/logic/info_view.cpp
  ${FIRMWARE_DIR}/logic/confirm_view.cpp
  ${FIRMWARE_DIR}/logic/move_view.cpp
  ${FIRMWARE_DIR}/logic/panel.cpp
)

# The board's hardware: registers, interrupts, delays. AVR only.
set(PANEL_AVR_SOURCES
  ${FIRMWARE_DIR}/avr/main_avr.cpp
  ${FIRMWARE_DIR}/avr/clock_avr.cpp
  ${FIRMWARE_DIR}/avr/uart_avr.cpp
  ${FIRMWARE_DIR}/avr/lcd_avr.cpp
  ${FIRMWARE_DIR}/avr/store_avr.cpp
)
