# Source lists of the panel firmware that both builds read: the AVR build compiles them
# into the firmware, the native build into the tests, fuzzers and the terminal panel.
# The sources live in the Arduino sketch (quillbox_panel/: the IDE compiles the sketch
# folder and its src/, nothing else); PANEL_SRC_DIR is also the include root of the
# tests and tools. Paths are absolute, so any CMakeLists may use them.
get_filename_component(PANEL_SRC_DIR ${CMAKE_CURRENT_LIST_DIR}/quillbox_panel/src ABSOLUTE)

# The panel side of the wire, shared with the terminal panel (tools/panel): C++11, no heap.
set(PANEL_WIRE_SOURCES
  ${PANEL_SRC_DIR}/wire/frame_hunt.cpp
  ${PANEL_SRC_DIR}/wire/status_payload.cpp
  ${PANEL_SRC_DIR}/wire/command_payload.cpp
  ${PANEL_SRC_DIR}/wire/reply_form.cpp
)

# The panel's logic: portable, tested natively against fakes of the board (board_io.h).
set(PANEL_LOGIC_SOURCES
  ${PANEL_SRC_DIR}/logic/keys.cpp
  ${PANEL_SRC_DIR}/logic/encoder.cpp
  ${PANEL_SRC_DIR}/logic/stored_record.cpp
  ${PANEL_SRC_DIR}/logic/key_ladder.cpp
  ${PANEL_SRC_DIR}/logic/key_check_view.cpp
  ${PANEL_SRC_DIR}/logic/key_setup_view.cpp
  ${PANEL_SRC_DIR}/logic/panel_setup.cpp
  ${PANEL_SRC_DIR}/logic/setup_view.cpp
  ${PANEL_SRC_DIR}/logic/text_fold.cpp
  ${PANEL_SRC_DIR}/logic/screen.cpp
  ${PANEL_SRC_DIR}/logic/lcd_core.cpp
  ${PANEL_SRC_DIR}/logic/backpack.cpp
  ${PANEL_SRC_DIR}/logic/title_scroll.cpp
  ${PANEL_SRC_DIR}/logic/status_view.cpp
  ${PANEL_SRC_DIR}/logic/notice.cpp
  ${PANEL_SRC_DIR}/logic/link.cpp
  ${PANEL_SRC_DIR}/logic/requests.cpp
  ${PANEL_SRC_DIR}/logic/transport_keys.cpp
  ${PANEL_SRC_DIR}/logic/list_window.cpp
  ${PANEL_SRC_DIR}/logic/list_transfer.cpp
  ${PANEL_SRC_DIR}/logic/list_view.cpp
  ${PANEL_SRC_DIR}/logic/menu.cpp
  ${PANEL_SRC_DIR}/logic/actions.cpp
  ${PANEL_SRC_DIR}/logic/text_entry.cpp
  ${PANEL_SRC_DIR}/logic/search_view.cpp
  ${PANEL_SRC_DIR}/logic/info_view.cpp
  ${PANEL_SRC_DIR}/logic/confirm_view.cpp
  ${PANEL_SRC_DIR}/logic/move_view.cpp
  ${PANEL_SRC_DIR}/logic/panel.cpp
)

# The board's hardware: registers, interrupts, delays. AVR only.
set(PANEL_AVR_SOURCES
  ${PANEL_SRC_DIR}/avr/main_avr.cpp
  ${PANEL_SRC_DIR}/avr/clock_avr.cpp
  ${PANEL_SRC_DIR}/avr/uart_avr.cpp
  ${PANEL_SRC_DIR}/avr/display_avr.cpp
  ${PANEL_SRC_DIR}/avr/lcd_pins_avr.cpp
  ${PANEL_SRC_DIR}/avr/lcd_i2c_avr.cpp
  ${PANEL_SRC_DIR}/avr/store_avr.cpp
  ${PANEL_SRC_DIR}/avr/encoder_avr.cpp
)
