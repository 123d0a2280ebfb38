# The Uno's bootloader, optiboot 4.4, for the simulated board (tools/board loads it beside
# the firmware): built from the source that Debian's arduino-core-avr installs, with the
# atmega328 flags of its Makefile. Debian's gcc-avr makes it 532 bytes, 20
# more than the 512-byte boot section at 0x7E00 that the Makefile links it for (the
# package's own hex spills past the end of flash): linked at 0x7C00 instead, the 1 KB
# boot section of high fuse 0xDC, it is the same code with the same behaviour, and
# leaves the application 31,744 bytes.
set(OPTIBOOT_DIR /usr/share/arduino/hardware/arduino/avr/bootloaders/optiboot)
set(OPTIBOOT_BOOT_START 0x7c00)
set(OPTIBOOT_FLAGS -g -Wall -Os -fno-inline-small-functions -fno-split-wide-types -mshort-calls
  -mmcu=atmega328p -DF_CPU=16000000L -DLED_START_FLASHES=3 -DBAUD_RATE=115200)
set(OPTIBOOT_LINK -Wl,--section-start=.text=${OPTIBOOT_BOOT_START} -Wl,--section-start=.version=0x7ffe
  -Wl,--relax -Wl,--gc-sections -nostartfiles -nostdlib)

# The hex as the Makefile makes it, but for the start record, which simavr's reader refuses.
add_custom_command(OUTPUT optiboot_atmega328.hex
  COMMAND ${CMAKE_C_COMPILER} ${OPTIBOOT_FLAGS} ${OPTIBOOT_LINK} -o optiboot_atmega328.elf ${OPTIBOOT_DIR}/optiboot.c
  COMMAND ${CMAKE_OBJCOPY} -j .text -j .data -j .version --set-section-flags .version=alloc,load --set-start 0 -O ihex
    optiboot_atmega328.elf optiboot_atmega328.hex
  COMMAND ${CMAKE_SIZE} --format=berkeley optiboot_atmega328.elf
  DEPENDS ${OPTIBOOT_DIR}/optiboot.c
  COMMENT "optiboot_atmega328.hex: optiboot 4.4 in the 1 KB boot section (at most 1024 bytes)"
  VERBATIM)
add_custom_target(optiboot ALL DEPENDS optiboot_atmega328.hex)
