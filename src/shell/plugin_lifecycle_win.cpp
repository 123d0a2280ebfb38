// Start-up and shut-down inside the player.
#include <cstring>

#include "protocol/poll_tick.h"
#include "protocol/poll_timer_win.h"
#include "protocol/reply_buffer.h"
#include "protocol/status_frame.h"
#include "res/resource_ids.h"
#include "serial/serial_port.h"
#include "serial/serial_port_win.h"
#include "shell/host_catalogue.h"
#include "shell/plugin_descriptor_win.h"
#include "shell/report_failure.h"

namespace {

constexpr uint32_t kPanelPort = 1;
constexpr int32_t kStartVolume = 125;

}  // namespace

int PluginInit() {
  std::memset(ReplyBuffer, 0, sizeof ReplyBuffer);
  SerialHandle = OpenSerialPort(kPanelPort, kPanelBaud);
  if (SerialHandle == nullptr) {
    ReportStartupFailure(kMsgSerialPort);
    return -1;
  }
  ResetStatusBlock();
  HostLocatePlaylistWindow();
  HostSetVolume(kStartVolume);
  AllowPollTimer();
  ArmPollTimer();
  return 0;
}

void PluginQuit() {
  StopPollTimer();
  CloseSerialPort(SerialHandle);
  SerialHandle = nullptr;
}
