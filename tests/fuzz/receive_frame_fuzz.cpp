// Whatever arrives on the line, ReceiveFrame stays inside its 256 bytes and its waits.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fakes/fake_port.h"
#include "serial/frame.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ResetFakeLine();
  // The first byte of every 8 spreads the rest over time, so late and partial frames occur.
  uint32_t at = 0;
  for (size_t i = 0; i < size; i++) {
    if (i % 8 == 0) {
      at += data[i] % 8;
      continue;
    }
    Line.inbound.push_back({data[i], at});
  }
  uint8_t* buffer = static_cast<uint8_t*>(std::malloc(kFrameSize));
  for (int frame = 0; frame < 8 && !Line.inbound.empty(); frame++) {
    const uint32_t start = Line.nowMs;
    if (ReceiveFrame(buffer, 15) == 1) {
      if (buffer[3] > kMaxPayload || buffer[0] != 0x55 || buffer[255] != 0xCC) std::abort();
    }
    if (Line.nowMs - start > 15 + 60) std::abort();  // header wait plus two rest waits
  }
  std::free(buffer);
  return 0;
}
