// Start-up and shut-down inside the player.
//
// Init runs on the player's window thread, each step depending on the ones before it. A
// failed step is reported once and ends start-up; what was built stays until quit, which
// therefore tolerates whatever init did not get to.
#include <windows.h>

#include <cstring>

#include "browse/extension_list.h"
#include "browse/folder_browser.h"
#include "browse/slot_tables.h"
#include "config/config_dialog.h"
#include "config/settings.h"
#include "files/file_system.h"
#include "host/host_catalogue.h"
#include "host/host_windows_win.h"
#include "host/report_failure.h"
#include "protocol/poll_tick.h"
#include "protocol/poll_timer_win.h"
#include "protocol/reply_buffer.h"
#include "protocol/status_frame.h"
#include "res/resource_ids.h"
#include "serial/serial_port.h"
#include "serial/serial_port_win.h"
#include "shell/plugin_descriptor_win.h"

namespace {

// The panel's volume steps start from here; the player is set to it at start-up.
constexpr int32_t kStartVolume = 125;

int Fail(int messageId) {
  ReportStartupFailure(messageId);
  return -1;
}

}  // namespace

int PluginInit() {
  SetHostWindows(Plugin.hostMainWindow, Plugin.libraryWindow, Plugin.instance);
  if (!CreateSlotTables()) return Fail(kMsgNoMemory);
  std::memset(ReplyBuffer, 0, sizeof ReplyBuffer);
  if (const int id = LoadExtensionList()) return Fail(id);
  const int dialog = ConfigDialog();
  // A dialog that could not be shown is no choice of the user's: it is reported.
  if (dialog == kDialogNotShown) return Fail(kMsgNoDialog);
  if (dialog == kDialogQuit) return 0;
  SerialHandle = OpenSerialPort(static_cast<uint32_t>(ComPort), kPanelBaud);
  if (SerialHandle == nullptr) return Fail(kMsgSerialPort);
  ResetStatusBlock();
  HostLocatePlaylistWindow();
  BrowseCount = 0;
  ScanFolder(CurrentFolder, ExtensionTable, ExtensionCount, BrowseNames, BrowseTitles, &BrowseCount);
  // Only the last folder of each path is made; one that is there already will do.
  if (!MakeFolder(DumpDir)) return Fail(kMsgDumpDir);
  if (!MakeFolder(PlaylistDir)) return Fail(kMsgPlaylistDir);
  HostSetVolume(kStartVolume);
  AllowPollTimer();
  ArmPollTimer();
  return 0;
}

void PluginQuit() {
  StopPollTimer();
  FreeSlotTables();
  CloseSerialPort(SerialHandle);
  SerialHandle = nullptr;
}
