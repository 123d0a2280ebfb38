// The firmware's sizes, read from the ELF the AVR build made, against the Uno's budgets:
// 30 KB of flash (the bootloader needs the rest of the 32) and 1,400 bytes of static RAM,
// leaving 600 of the 2,048 for the stack.
#include <gtest/gtest.h>

#include <cstdio>

#include "elf_sections.h"

namespace {

TEST(FirmwareBudget, FlashAndStaticRamFitTheUno) {
  const FirmwareSizes sizes = FirmwareSizesOf(QB_PANEL_ELF);
  ASSERT_GT(sizes.flash, 0u) << "no firmware at " << QB_PANEL_ELF;
  std::printf("firmware: flash %zu of %zu bytes, static RAM %zu of %zu (stack room %zu)\n", sizes.flash, kFlashBudget,
              sizes.staticRam, kStaticRamBudget, kRamBytes - sizes.staticRam);
  EXPECT_LE(sizes.flash, kFlashBudget);
  EXPECT_LE(sizes.staticRam, kStaticRamBudget);
}

}  // namespace
