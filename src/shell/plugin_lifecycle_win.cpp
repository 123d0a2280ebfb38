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
#include "protocol/transport_commands.h"
#include "res/resource_ids.h"
#include "serial/port_opener.h"
#include "serial/port_recovery.h"
#include "serial/serial_port.h"
#include "serial/serial_port_win.h"
#include "shell/plugin_descriptor_win.h"

namespace {

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
  // On the opener's helper, waited for a few seconds at most: the player's window must
  // not hang on a port that takes longer.
  if (!OpenPortWithin(static_cast<uint32_t>(ComPort), kPanelBaud, kWindowOpenWaitMs)) return Fail(kMsgSerialPort);
  WatchPanelPort(static_cast<uint32_t>(ComPort), kPanelBaud);
  ResetStatusBlock();
  HostLocatePlaylistWindow();
  RescanCurrentFolder();  // listing order; unsorted until the panel chooses the folder list
  // Only the last folder of each path is made; one that is there already will do.
  if (!MakeFolder(DumpDir)) return Fail(kMsgDumpDir);
  if (!MakeFolder(PlaylistDir)) return Fail(kMsgPlaylistDir);
  // The panel's volume steps start from the level the player is set to, also when the
  // plug-in is started again in the same process.
  VolumeLevel = kStartVolume;
  HostSetVolume(kStartVolume);
  AllowPollTimer();
  ArmPollTimer();
  return 0;
}

// The player may unload the DLL as soon as this returns: the cycle is over for good
// before the tables and the port it uses go.
void PluginQuit() {
  StopPollTimer();
  // An open that blocks holds neither quit nor the unload: its helper closes what it
  // produces.
  AbandonPortOpen();
  FreeSlotTables();
  CloseSerialPort(SerialHandle);
  SerialHandle = nullptr;
}
