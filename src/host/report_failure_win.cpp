// Tells the user why the plug-in stopped: a beep, then the message box.
#include "host/report_failure.h"

#include "host/host_windows_win.h"

void ReportStartupFailure(int messageId) {
  Beep(1000, 1000);
  char text[200] = "";
  LoadStringA(PluginInstance(), static_cast<UINT>(messageId), text, sizeof text);
  // A box owned by something that is not a window is never shown: then it has no owner.
  HWND owner = IsWindow(HostMainWindow()) ? HostMainWindow() : nullptr;
  MessageBoxA(owner, text, "Quillbox", MB_OK);
}
