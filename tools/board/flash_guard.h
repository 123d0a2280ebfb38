// The application's flash as it was loaded, page by page: a checksum of each page, so
// that a page the bootloader erased or wrote is found and named. Nothing on the board
// should ever change it; the board looks after every SPM.
#pragma once
#include <cstdint>
#include <vector>

constexpr uint32_t kFlashPageBytes = 128;  // the ATmega328P's SPM page

class FlashGuard {
 public:
  // Takes the checksums of the first `bytes` of flash (whole pages; the application
  // section below the boot section).
  void Take(const uint8_t* flash, uint32_t bytes);
  // The pages that differ from what was taken or last reported, in order; each change
  // is reported once.
  std::vector<uint32_t> Changed(const uint8_t* flash);
  uint32_t Pages() const { return static_cast<uint32_t>(sums_.size()); }

 private:
  std::vector<uint32_t> sums_;
};
