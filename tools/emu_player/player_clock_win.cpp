// "clock 0|1": the playing clock off or on, and its timer.
#include <windows.h>

#include <cstring>

#include "clock_timer.h"
#include "command_table.h"
#include "output_line.h"
#include "player_clock.h"
#include "player_windows.h"

namespace {

constexpr UINT_PTR kClockTimer = 0x51B0;
// Often enough that the panel's seconds never skip one.
constexpr UINT kClockPeriodMs = 100;

DWORD g_lastTick = 0;

}  // namespace

bool OnClockTimer(uintptr_t timerId) {
  if (timerId != kClockTimer) return false;
  const DWORD now = GetTickCount();
  const DWORD passed = now - g_lastTick;  // unsigned: right across the counter's wrap
  g_lastTick = now;
  ClockAdvance(Model(), static_cast<int32_t>(passed < 60000 ? passed : 60000));
  return true;
}

void CommandClock(char** fields, int) {
  if (std::strcmp(fields[1], "0") != 0 && std::strcmp(fields[1], "1") != 0) {
    EmitError("clock expects 0 or 1");
    return;
  }
  const bool on = fields[1][0] == '1';
  HWND main = PlayerMainWindow();
  if (on) {
    g_lastTick = GetTickCount();
    if (SetTimer(main, kClockTimer, kClockPeriodMs, nullptr) == 0) {
      EmitError("clock SetTimer error %lu", GetLastError());
      return;
    }
  } else {
    KillTimer(main, kClockTimer);
  }
  ClockEnable(Model(), on);
  EmitOk("clock");
}
