#include "host_log.h"

namespace {
bool g_logOn = true;

// Window messages carry 32-bit values; tests read them as signed numbers.
int64_t Signed32(uintptr_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }
}  // namespace

void SetHostLog(bool on) { g_logOn = on; }

void LogHostMessage(const char* window, uint32_t message, uintptr_t wParam, intptr_t lParam,
                    intptr_t result, const TextLine& details) {
  if (!g_logOn) return;
  TextLine line;
  LineBegin(line, "host");
  LineTab(line, window);
  LineNumber(line, message);
  LineNumber(line, Signed32(wParam));
  LineNumber(line, Signed32(static_cast<uintptr_t>(lParam)));
  LineNumber(line, Signed32(static_cast<uintptr_t>(result)));
  LineAppendLine(line, details);
  EmitLine(line);
}
