// The start-up dialog: copies values between its controls and the settings and shows
// status text. The checks and computations are in dialog_rules.cpp, the file handling in
// settings_file.cpp.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstring>

#include "config/config_dialog.h"
#include "config/dialog_rules.h"
#include "config/port_list.h"
#include "config/settings.h"
#include "config/settings_file.h"
#include "res/resource_ids.h"
#include "serial/port_io.h"
#include "serial/port_opener.h"
#include "serial/present_ports.h"
#include "serial/serial_port.h"
#include "serial/serial_port_win.h"
#include "host/host_windows_win.h"
#include "host/report_failure.h"

#ifndef BIF_NONEWFOLDERBUTTON
#define BIF_NONEWFOLDERBUTTON 0x200
#endif

namespace {

constexpr UINT_PTR kCountdownTimer = 1000;
constexpr UINT kCountdownPeriodMs = 1000;
constexpr int kStatusSize = 256;         // status texts: 255 characters and the terminator
constexpr size_t kCountdownTextSize = 200;
constexpr char kBrowsePrompt[] = "Browse for the folder where your music files are stored.";

// Set when the dialog opens: a result of 0 without it is no user's Quit (an owner that is
// not a window makes DialogBoxParamA answer 0 on Windows).
bool Opened = false;

void ShowStatus(HWND dialog, const char* text) { SetDlgItemTextA(dialog, kCtlStatus, text); }

void LoadMessage(int id, char* text, int size) {
  text[0] = '\0';
  LoadStringA(PluginInstance(), static_cast<UINT>(id), text, size);
}

void ShowMessage(HWND dialog, int id) {
  char text[kStatusSize];
  LoadMessage(id, text, sizeof text);
  ShowStatus(dialog, text);
}

void ShowCountdown(HWND dialog) {
  char message[kStatusSize];
  LoadMessage(kMsgCountdown, message, sizeof message);
  char text[kCountdownTextSize];
  FormatCountdown(message, Countdown, text, sizeof text);
  ShowStatus(dialog, text);
}

void ShowDerivedFolders(HWND dialog) {
  SetDlgItemTextA(dialog, kCtlPlaylistFolder, PlaylistDir);
  SetDlgItemTextA(dialog, kCtlDumpFolder, DumpDir);
}

// Start is left alone: the callers decide about it.
void SetFieldsLocked(HWND dialog, bool locked) {
  EnableWindow(GetDlgItem(dialog, kCtlPortList), !locked);
  EnableWindow(GetDlgItem(dialog, kCtlBrowse), !locked);
  SendDlgItemMessageA(dialog, kCtlMusicFolder, EM_SETREADONLY, locked, 0);
  EnableWindow(GetDlgItem(dialog, kCtlConfigure), locked);
}

bool FolderExists(const char* path) { return path[0] != '\0' && PathFileExistsA(path); }

ScreenRect FromRect(const RECT& r) { return ScreenRect{r.left, r.top, r.right, r.bottom}; }

// Beside the host window when the whole dialog fits there, otherwise as near to that as
// the work area of the nearest monitor allows: a host window at the left screen edge
// must not put the dialog off the screen.
void PlaceDialog(HWND dialog) {
  WINDOWINFO mine = {};
  mine.cbSize = sizeof mine;
  if (!GetWindowInfo(dialog, &mine)) return;
  ScreenRect target = FromRect(mine.rcWindow);
  WINDOWINFO host = {};
  host.cbSize = sizeof host;
  if (GetWindowInfo(HostMainWindow(), &host)) target = BesideHost(target, FromRect(host.rcWindow));
  const RECT wanted = {target.left, target.top, target.right, target.bottom};
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoA(MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor)) {
    target = KeepOnWorkArea(target, FromRect(monitor.rcWork));
  }
  MoveWindow(dialog, target.left, target.top, target.right - target.left, target.bottom - target.top, FALSE);
}

void AddPortEntry(HWND dialog, uint32_t port) {
  char label[kPortLabelSize];
  PortLabel(port, label);
  const LRESULT at = SendDlgItemMessageA(dialog, kCtlPortList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label));
  SendDlgItemMessageA(dialog, kCtlPortList, LB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(port));
}

// The ports present now, and the configured one even when it is missing.
void FillPortList(HWND dialog) {
  PresentPorts present = {};
  ReadPresentPorts(&present);
  const PortList list = ListedPorts(present, ComPort);
  for (size_t i = 0; i < list.count; i++) AddPortEntry(dialog, list.ports[i]);
}

void SelectPort(HWND dialog, int32_t port) {
  char label[kPortLabelSize];
  PortLabel(static_cast<uint32_t>(port), label);
  const LRESULT at = SendDlgItemMessageA(dialog, kCtlPortList, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(label));
  SendDlgItemMessageA(dialog, kCtlPortList, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
}

// On the opener's helper, so that a port that takes seconds to open (Bluetooth, its
// panel off) holds the dialog for at most a few: then it counts as not there.
bool PortOpens(int32_t port) {
  if (!OpenPortWithin(static_cast<uint32_t>(port), kPanelBaud, kWindowOpenWaitMs)) return false;
  PortClose();
  return true;
}

// The folders from the file count only when they exist; a music folder too long for the
// edit to give back whole is treated as missing, so it is never stored cut. Start keeps
// to the same limit, so that what it stores passes here at the next start.
bool SettingsFoldersExist() {
  return MusicFolderFits(CurrentFolder) && FolderExists(CurrentFolder) && FolderExists(PlaylistDir) &&
         FolderExists(DumpDir);
}

void StartCountdownTimer(HWND dialog) {
  StartCountdown();
  SetTimer(dialog, kCountdownTimer, kCountdownPeriodMs, nullptr);
  ShowCountdown(dialog);
}

void OnMusicFolderEdited(HWND dialog) {
  char text[kMusicFolderChars + 1];
  GetDlgItemTextA(dialog, kCtlMusicFolder, text, sizeof text);
  SetMusicFolder(text);
  ShowDerivedFolders(dialog);
}

void OnInitDialog(HWND dialog) {
  Opened = true;
  PlaceDialog(dialog);
  SetFieldsLocked(dialog, false);
  const int failure = ReadSettings();
  if (failure != 0) {
    ReportStartupFailure(failure);
    return;
  }
  FillPortList(dialog);
  if (!SettingsFoldersExist()) {
    char prompt[kStatusSize];
    LoadMessage(kMsgEnterMusicFolder, prompt, sizeof prompt);
    SetDlgItemTextA(dialog, kCtlMusicFolder, prompt);
    PlaylistDir[0] = '\0';
    DumpDir[0] = '\0';
    ShowDerivedFolders(dialog);
    return;
  }
  // PlaylistDir and DumpDir are derived from the music folder, as its edit's change
  // notification does: the values from the file served only the existence test.
  SetDlgItemTextA(dialog, kCtlMusicFolder, CurrentFolder);
  OnMusicFolderEdited(dialog);
  if (!ValidComPort(ComPort)) return;
  SelectPort(dialog, ComPort);
  if (!PortOpens(ComPort)) {
    ShowMessage(dialog, kMsgSerialPort);
    return;
  }
  SelectPort(dialog, ComPort);
  SetFieldsLocked(dialog, true);
  StartCountdownTimer(dialog);
  EnableWindow(GetDlgItem(dialog, kCtlStart), FALSE);
}

void OnCountdownTimer(HWND dialog) {
  if (CountdownTick()) {
    SetTimer(dialog, kCountdownTimer, kCountdownPeriodMs, nullptr);
    ShowCountdown(dialog);
    return;
  }
  KillTimer(dialog, kCountdownTimer);
  // The browse root must equal the folder browsing starts in, also when the file's
  // LibDir lacked its backslash, so that browsing never climbs above the music folder.
  std::memcpy(LibraryRoot, CurrentFolder, sizeof LibraryRoot);
  EndDialog(dialog, 1);
}

void OnConfigure(HWND dialog) {
  SetFieldsLocked(dialog, false);
  EnableWindow(GetDlgItem(dialog, kCtlStart), TRUE);
  ShowStatus(dialog, "");
  KillTimer(dialog, kCountdownTimer);
}

// Each entry's item data is its port number.
void OnPortSelected(HWND dialog) {
  const LRESULT index = SendDlgItemMessageA(dialog, kCtlPortList, LB_GETCURSEL, 0, 0);
  if (index == LB_ERR) return;
  const LRESULT port = SendDlgItemMessageA(dialog, kCtlPortList, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
  if (ValidComPort(static_cast<int32_t>(port))) ComPort = static_cast<int32_t>(port);
}

// The folder the user picked, with its backslash; false when none was picked or the
// item has no file-system path.
bool BrowseForMusicFolder(HWND dialog, char* path) {
  // Keep COM's count balanced on the host's thread.
  const HRESULT com = CoInitialize(nullptr);
  BROWSEINFOA info = {};
  info.hwndOwner = dialog;
  info.pszDisplayName = path;
  info.lpszTitle = kBrowsePrompt;
  info.ulFlags = BIF_NONEWFOLDERBUTTON;
  LPITEMIDLIST item = SHBrowseForFolderA(&info);
  bool chosen = false;
  if (item != nullptr) {
    // The buffer holds the display name until this succeeds: never take that for a path.
    chosen = SHGetPathFromIDListA(item, path) && path[0] != '\0';
    CoTaskMemFree(item);
  }
  if (SUCCEEDED(com)) CoUninitialize();
  if (chosen) AddBackslash(path, MAX_PATH);
  return chosen;
}

// A folder too long to keep whole is refused here, rather than shown whole over folders
// derived from a cut copy.
void OnBrowse(HWND dialog) {
  char path[MAX_PATH] = "";
  if (!BrowseForMusicFolder(dialog, path)) return;
  if (!MusicFolderFits(path)) {
    ShowMessage(dialog, kMsgFolderTooLong);
    return;
  }
  SetMusicFolder(path);
  SetDlgItemTextA(dialog, kCtlMusicFolder, path);
  ShowDerivedFolders(dialog);
  ShowStatus(dialog, "");
}

void ReadEdit(HWND dialog, int id, char* text, int size) {
  text[0] = '\0';
  GetDlgItemTextA(dialog, id, text, size);
}

void OnStart(HWND dialog) {
  // Longer than any music folder that fits: a text cut here is refused all the same.
  char music[kPathSize];
  ReadEdit(dialog, kCtlMusicFolder, music, sizeof music);
  // Read whole: a derived folder may be longer than the music folder's 199 characters.
  ReadEdit(dialog, kCtlPlaylistFolder, PlaylistDir, sizeof PlaylistDir);
  ReadEdit(dialog, kCtlDumpFolder, DumpDir, sizeof DumpDir);
  if (!TakeMusicFolder(music)) {
    ShowMessage(dialog, kMsgFolderTooLong);
    return;
  }
  if (!FolderExists(CurrentFolder)) {
    ShowMessage(dialog, kMsgPathNotFound);
    return;
  }
  if (!ValidComPort(ComPort)) {
    ShowMessage(dialog, kMsgSelectPort);
    return;
  }
  if (!PortOpens(ComPort)) {
    ShowMessage(dialog, kMsgSerialPort);
    return;
  }
  const int failure = WriteSettings();
  if (failure != 0) {
    ReportStartupFailure(failure);
    return;
  }
  EndDialog(dialog, 1);
}

void OnCommand(HWND dialog, int id, int code) {
  switch (id) {
    case IDCANCEL:
    case kCtlQuit: EndDialog(dialog, 0); break;
    case kCtlConfigure: OnConfigure(dialog); break;
    case kCtlPortList:
      if (code == LBN_SELCHANGE) OnPortSelected(dialog);
      break;
    case kCtlMusicFolder: OnMusicFolderEdited(dialog); break;  // every notification
    case kCtlBrowse: OnBrowse(dialog); break;
    case kCtlStart: OnStart(dialog); break;
    default: break;
  }
}

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: OnInitDialog(dialog); return TRUE;
    case WM_TIMER:
      if (wParam == kCountdownTimer) OnCountdownTimer(dialog);
      return TRUE;
    case WM_COMMAND: OnCommand(dialog, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    default: return FALSE;
  }
}

}  // namespace

int ConfigDialog() {
  Opened = false;
  const INT_PTR result = DialogBoxParamA(PluginInstance(), MAKEINTRESOURCEA(IDD_CONFIG), HostMainWindow(),
                                         ConfigDialogProc, 0);
  if (result == 1) return kDialogStart;
  // -1: the dialog could not be made; the user never had the choice.
  return Opened && result != -1 ? kDialogQuit : kDialogNotShown;
}
