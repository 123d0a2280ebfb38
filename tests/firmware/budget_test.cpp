// The firmware's sizes, read from the ELF the AVR build made, against the Uno's budgets:
// 30 KB of flash (the bootloader needs the rest of the 32) and 1,400 bytes of static RAM,
// leaving 600 of the 2,048 for the stack. QB_PANEL_ELF in the environment names another
// build's ELF (the Arduino-style build's, tests/firmware/CMakeLists.txt).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "elf_sections.h"

namespace {

TEST(FirmwareBudget, FlashAndStaticRamFitTheUno) {
  const char* chosen = std::getenv("QB_PANEL_ELF");
  const char* elf = chosen != nullptr && *chosen != '\0' ? chosen : QB_PANEL_ELF;
  const FirmwareSizes sizes = FirmwareSizesOf(elf);
  ASSERT_GT(sizes.flash, 0u) << "no firmware at " << elf;
  std::printf("%s: flash %zu of %zu bytes, static RAM %zu of %zu (stack room %zu)\n", elf, sizes.flash, kFlashBudget,
              sizes.staticRam, kStaticRamBudget, kRamBytes - sizes.staticRam);
  EXPECT_LE(sizes.flash, kFlashBudget);
  EXPECT_LE(sizes.staticRam, kStaticRamBudget);
}

}  // namespace
