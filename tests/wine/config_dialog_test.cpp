// The start-up dialog driven as a user would: ConfigDialog runs on the main thread, as
// in the player, owned by a host window of the test; a second thread finds the dialog,
// reads its controls and status line, types and clicks. The settings file is the one
// beside this program: "<program folder>\Plugins\plugin.ini", made and removed here.
// COM2 is one end of the null-modem line and opens; COM3, COM7 and COM12 are mapped to
// paths nobody links here (listed, but they do not open); COM14 is not mapped at all.
#include <windows.h>
#include <shlobj.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "config/config_dialog.h"
#include "config/dialog_rules.h"
#include "config/settings.h"
#include "config/settings_file.h"
#include "res/resource_ids.h"
#include "host/host_windows_win.h"

namespace {

using Strings = std::vector<std::string>;

constexpr DWORD kWaitMs = 5000;
constexpr char kPrompt[] = "Enter the music library directory.";
constexpr char kPortFailed[] =
    "Could not open the selected serial port.  Ensure that the selected port is available in your system.";
constexpr char kSelectPort[] = "Select an available serial port from the list.";
constexpr char kPathNotFound[] = "The path entered was not found.";
constexpr char kTooLong[] =
    "The path of this folder is too long.  Choose a music folder whose path has at most 199 characters.";
constexpr char kCannotOpen[] = "Could not open plugin.ini file.  Click OK to terminate Quillbox plugin.";
constexpr char kCannotParse[] = "Could not parse plugin.ini parameter string.  Click OK to terminate Quillbox plugin.";
constexpr char kNoHeading[] = "Could not locate parameter list heading in plugin ini file.";
constexpr char kFresh[] = "\r\n[Quillbox]\r\nComPort=\r\nLibDir=\r\nPlSaveDir=\r\nDumpDir=\r\n";

std::string CountdownText(int seconds) {
  return "This dialog will disappear in " + std::to_string(seconds) +
         " second(s).  Click 'Configure' to stop countdown and change settings aboves.";
}

// Polls every 10 ms until the condition holds or the time is up.
bool WaitFor(const std::function<bool()>& condition, DWORD ms = kWaitMs) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > ms) return false;
    Sleep(10);
  }
  return true;
}

std::string ProgramFolder() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder = path;
  return folder.substr(0, folder.rfind('\\') + 1);
}

std::string SettingsFolder() { return ProgramFolder() + "Plugins\\"; }
std::string SettingsPath() { return SettingsFolder() + "plugin.ini"; }

std::string Slurp(const std::string& path) {
  std::string bytes;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return "<none>";
  char chunk[4096];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) bytes.append(chunk, n);
  std::fclose(file);
  return bytes;
}

void Spill(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

// ---- What the user sees and does ----

// A top-level window of this process: a test of another program in the same Wine
// session may have a window with the same title open.
HWND FindOwnWindow(const char* className, const char* title) {
  for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, className, title)) != nullptr;) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) return window;
  }
  return nullptr;
}

HWND FindDialog() {
  HWND dialog = FindOwnWindow(nullptr, "Quillbox Plugin");
  return dialog != nullptr && IsWindowVisible(dialog) ? dialog : nullptr;
}

// The dialog once its opening has finished (it is shown only after WM_INITDIALOG).
HWND WaitForDialog() {
  HWND dialog = nullptr;
  WaitFor([&] { return (dialog = FindDialog()) != nullptr; });
  return dialog;
}

HWND FindMessageBox() { return FindOwnWindow("#32770", "Quillbox"); }

std::string Text(HWND window) {
  char text[1024] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string Text(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }

// The text of a port-list entry ("COM255" at the longest); empty for no entry.
std::string ListText(HWND dialog, LRESULT index) {
  char text[16] = "";
  SendDlgItemMessageA(dialog, kCtlPortList, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
  return text;
}

// A control's text read while the dialog may be closing: empty unless the dialog was
// still shown after the read. The dialog is hidden (EndDialog) before its controls go,
// and Wine reads a window destroyed meanwhile as stray bytes, not as an error.
std::string TextWhileShown(HWND dialog, int id) {
  const std::string text = Text(dialog, id);
  return IsWindowVisible(dialog) ? text : "";
}

// Returns once the dialog's thread has handled everything it was busy with: a message
// sent to it is handled only when its own message loop asks for the next one.
void WaitUntilIdle(HWND dialog) { SendMessageA(dialog, WM_NULL, 0, 0); }

BOOL CALLBACK CollectStatic(HWND child, LPARAM texts) {
  char name[32] = "";
  GetClassNameA(child, name, sizeof name);
  if (lstrcmpiA(name, "Static") == 0 && !Text(child).empty()) reinterpret_cast<Strings*>(texts)->push_back(Text(child));
  return TRUE;
}

Strings StaticTexts(HWND window);

// Waits for a message box captioned "Quillbox", reads its text and presses OK.
std::string ReadAndCloseMessageBox() {
  HWND box = nullptr;
  if (!WaitFor([&] { return (box = FindMessageBox()) != nullptr && IsWindowVisible(box); })) return "<no box>";
  const Strings texts = StaticTexts(box);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  WaitFor([] { return FindMessageBox() == nullptr; });
  return texts.empty() ? "<no text>" : texts.back();
}

struct OwnedSearch {
  HWND owner;
  HWND found;
};

BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM search) {
  OwnedSearch* s = reinterpret_cast<OwnedSearch*>(search);
  char name[32] = "";
  GetClassNameA(window, name, sizeof name);
  if (lstrcmpA(name, "#32770") != 0 || GetWindow(window, GW_OWNER) != s->owner || !IsWindowVisible(window)) return TRUE;
  s->found = window;
  return FALSE;
}

// The system folder browser that the dialog opened.
HWND WaitForFolderBrowser(HWND dialog) {
  OwnedSearch search = {dialog, nullptr};
  WaitFor([&] {
    EnumWindows(FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
  });
  return search.found;
}

std::string ItemText(HWND tree, HTREEITEM item) {
  char text[MAX_PATH] = "";
  TVITEMA data = {};
  data.mask = TVIF_TEXT;
  data.hItem = item;
  data.pszText = text;
  data.cchTextMax = sizeof text;
  if (item == nullptr || !SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data))) return "";
  return text;
}

// Selects folder in the browser, as clicking through its tree would. The browser does
// not always take a selection at the first attempt (under Wine, a folder on the way
// whose times changed since it was listed is not recognised), so the selection is sent
// until the tree shows the folder selected.
bool SelectInBrowser(HWND browser, const std::string& folder) {
  HWND tree = FindWindowExA(browser, nullptr, WC_TREEVIEWA, nullptr);
  const std::string name = folder.substr(folder.rfind('\\') + 1);
  return tree != nullptr && WaitFor([&] {
    SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
    return ItemText(tree, TreeView_GetSelection(tree)) == name;
  });
}

Strings StaticTexts(HWND window) {
  Strings texts;
  EnumChildWindows(window, CollectStatic, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != 0; }

bool ReadOnly(HWND dialog, int id) { return (GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & ES_READONLY) != 0; }

// Typing into an edit: WM_SETTEXT, which raises the edit's change notifications.
void Type(HWND dialog, int id, const std::string& text) { SetDlgItemTextA(dialog, id, text.c_str()); }

// A click only where a user could click: Wine delivers BM_CLICK to a disabled button
// too. Posted, so that a message box opened by the click does not block this thread.
bool Click(HWND dialog, int id) {
  if (!Enabled(dialog, id)) return false;
  PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
  return true;
}

// Picking an entry of the port list, which notifies the dialog as a mouse click does.
void SelectPort(HWND dialog, int index) {
  HWND list = GetDlgItem(dialog, kCtlPortList);
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kCtlPortList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

bool StatusBecomes(HWND dialog, const std::string& text) {
  return WaitFor([&] { return Text(dialog, kCtlStatus) == text; });
}

struct FieldStates {
  bool portList, browse, musicEditable, configure, start;
  bool operator==(const FieldStates&) const = default;
};
constexpr FieldStates kUnlocked = {true, true, true, false, true};
constexpr FieldStates kLocked = {false, false, false, true, false};

FieldStates States(HWND dialog) {
  return {Enabled(dialog, kCtlPortList), Enabled(dialog, kCtlBrowse), !ReadOnly(dialog, kCtlMusicFolder),
          Enabled(dialog, kCtlConfigure), Enabled(dialog, kCtlStart)};
}

void PrintTo(const FieldStates& s, std::ostream* os) {
  *os << "{list " << s.portList << ", browse " << s.browse << ", music editable " << s.musicEditable
      << ", configure " << s.configure << ", start " << s.start << "}";
}

// ---- Running the dialog ----

// Runs ConfigDialog here while `user` acts from another thread; returns the dialog's
// result. Whatever the user leaves open is closed afterwards, so no case can hang.
int RunDialog(const std::function<void()>& user) {
  std::atomic<bool> returned{false};
  std::thread driver([&] {
    user();
    WaitFor([&] {
      if (HWND box = FindMessageBox()) PostMessageA(box, WM_COMMAND, IDOK, 0);
      if (HWND dialog = FindOwnWindow(nullptr, "Quillbox Plugin")) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      return returned.load();
    }, 2 * kWaitMs);
  });
  const int result = ConfigDialog();
  returned = true;
  driver.join();
  return result;
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeHostWindow(int x, int y) {
  static ATOM registered = 0;
  if (registered == 0) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QuillboxDialogTestHost";
    registered = RegisterClassA(&windowClass);
  }
  return CreateWindowExA(0, "QuillboxDialogTestHost", "Player", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, 300, 200,
                         nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

class ConfigDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveSettings();
    ASSERT_TRUE(CreateDirectoryA(SettingsFolder().c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    // A music folder with a blank in its name, and its two working folders.
    music = ProgramFolder() + "qb dialog music\\";
    for (const std::string& folder : {music, music + "QB_Playlists\\", music + "QB_Dumped\\"}) {
      CreateDirectoryA(folder.c_str(), nullptr);
    }
    ComPort = -1;
    LibraryRoot[0] = CurrentFolder[0] = PlaylistDir[0] = DumpDir[0] = '\0';
    Countdown = kCountdownStart;
    PlaceHost(900, 300);
  }
  void TearDown() override {
    if (HostMainWindow() != nullptr) DestroyWindow(HostMainWindow());
    SetHostWindows(nullptr, nullptr, PluginInstance());
    RemoveSettings();
    RemoveDirectoryA(SettingsFolder().c_str());
    for (const std::string& folder : {music + "QB_Playlists\\", music + "QB_Dumped\\", music}) {
      RemoveDirectoryA(folder.c_str());
    }
  }
  static void RemoveSettings() {
    DeleteFileA(SettingsPath().c_str());
    RemoveDirectoryA(SettingsPath().c_str());  // the case that makes it a folder
  }
  void PlaceHost(int x, int y) {
    if (HostMainWindow() != nullptr) DestroyWindow(HostMainWindow());
    SetHostWindows(MakeHostWindow(x, y), nullptr, PluginInstance());
  }
  // Settings that let the dialog count down: COM2, and folders that exist.
  std::string CompleteSection(int port) const {
    return "[Quillbox]\r\nComPort=" + std::to_string(port) + "\r\nLibDir=" + music + "\r\nPlSaveDir=" + music +
           "QB_Playlists\\\r\nDumpDir=" + music + "QB_Dumped\\\r\n";
  }
  std::string music;
};

TEST_F(ConfigDialogTest, TheSettingsFileIsBesideThisProgram) {
  char path[kSettingsPathSize] = "";
  ASSERT_EQ(SettingsFilePath(path, sizeof path), 1) << GetCommandLineA();
  EXPECT_STRCASEEQ(path, SettingsPath().c_str());
}

TEST_F(ConfigDialogTest, FirstRunOpensUnlockedWithThePromptAndNoCountdown) {
  FieldStates states = {};
  Strings seen, ports;
  LRESULT selection = 0;
  std::vector<LRESULT> itemData;
  const int result = RunDialog([&] {
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    states = States(dialog);
    HWND list = GetDlgItem(dialog, kCtlPortList);
    for (int i = 0; i < SendMessageA(list, LB_GETCOUNT, 0, 0); i++) {
      ports.push_back(ListText(dialog, i));
      itemData.push_back(SendMessageA(list, LB_GETITEMDATA, i, 0));
    }
    selection = SendMessageA(list, LB_GETCURSEL, 0, 0);
    // A countdown shows its first second as the dialog opens: an empty status means none.
    seen = {Text(dialog, kCtlMusicFolder), Text(dialog, kCtlPlaylistFolder), Text(dialog, kCtlDumpFolder),
            Text(dialog, kCtlStatus)};
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(states, kUnlocked);
  // COM1 to COM3 first, then every other port of the session in number order: COM7 and
  // COM12, and whatever Wine adds of the machine's own. An entry's data is its number.
  ASSERT_GE(ports.size(), 5u);
  EXPECT_EQ(Strings(ports.begin(), ports.begin() + 3), (Strings{"COM1", "COM2", "COM3"}));
  for (size_t i = 0; i < ports.size(); i++) {
    EXPECT_EQ(ports[i], "COM" + std::to_string(itemData[i])) << i;
    if (i > 0) {
      EXPECT_LT(itemData[i - 1], itemData[i]) << ports[i];
    }
  }
  for (const char* mapped : {"COM7", "COM12"}) EXPECT_NE(std::find(ports.begin(), ports.end(), mapped), ports.end());
  EXPECT_EQ(selection, LB_ERR);
  EXPECT_EQ(seen, (Strings{kPrompt, "", "", ""}));
  EXPECT_EQ(Slurp(SettingsPath()), kFresh);  // created with exactly the fresh section
}

TEST_F(ConfigDialogTest, CompleteSettingsCountDownAndCloseWithoutWriting) {
  // LibDir without its backslash, as a hand-edited file may have it.
  const std::string file = "[Other]\r\nx=1\r\n[Quillbox]\r\nComPort=2\r\nLibDir=" + music.substr(0, music.size() - 1) +
                           "\r\nPlSaveDir=" + music + "QB_Playlists\\\r\nDumpDir=" + music + "QB_Dumped\\\r\n";
  Spill(SettingsPath(), file);
  FieldStates states = {};
  Strings statuses, fields;
  LRESULT selection = 0;
  const int result = RunDialog([&] {
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    states = States(dialog);
    selection = SendDlgItemMessageA(dialog, kCtlPortList, LB_GETCURSEL, 0, 0);
    fields = {Text(dialog, kCtlMusicFolder), Text(dialog, kCtlPlaylistFolder), Text(dialog, kCtlDumpFolder)};
    WaitFor([&] {
      if (!IsWindowVisible(dialog)) return true;
      const std::string status = TextWhileShown(dialog, kCtlStatus);
      if (!status.empty() && (statuses.empty() || statuses.back() != status)) statuses.push_back(status);
      return false;
    }, 4 * kWaitMs);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(states, kLocked);
  EXPECT_EQ(selection, 1);  // COM2
  EXPECT_EQ(fields, (Strings{music.substr(0, music.size() - 1), music + "QB_Playlists\\", music + "QB_Dumped\\"}));
  EXPECT_EQ(statuses, (Strings{CountdownText(4), CountdownText(3), CountdownText(2), CountdownText(1),
                               CountdownText(0)}));
  EXPECT_EQ(Slurp(SettingsPath()), file);  // not written
  EXPECT_EQ(Countdown, kCountdownStart);
  EXPECT_EQ(ComPort, 2);
  EXPECT_EQ(std::string(CurrentFolder), music);
  EXPECT_EQ(std::string(LibraryRoot), music);  // browsing must not climb above the music folder
  EXPECT_EQ(std::string(PlaylistDir), music + "QB_Playlists\\");
  EXPECT_EQ(std::string(DumpDir), music + "QB_Dumped\\");
}

TEST_F(ConfigDialogTest, ConfigureStopsTheCountdownAndUnlocks) {
  Spill(SettingsPath(), CompleteSection(2));
  FieldStates locked = {}, unlocked = {};
  Strings statuses;
  const int result = RunDialog([&] {
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(StatusBecomes(dialog, CountdownText(4)));
    locked = States(dialog);
    ASSERT_TRUE(Click(dialog, kCtlConfigure));
    ASSERT_TRUE(StatusBecomes(dialog, ""));
    unlocked = States(dialog);
    Sleep(1300);  // past the next second of the countdown
    statuses.push_back(Text(dialog, kCtlStatus));
    ASSERT_TRUE(IsWindowVisible(dialog));
    ASSERT_TRUE(Click(dialog, kCtlQuit));
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(locked, kLocked);
  EXPECT_EQ(unlocked, kUnlocked);
  EXPECT_EQ(statuses, Strings{""});
  EXPECT_EQ(Slurp(SettingsPath()), CompleteSection(2));
}

TEST_F(ConfigDialogTest, EscDuringTheCountdownQuits) {
  Spill(SettingsPath(), CompleteSection(2));
  const int result = RunDialog([&] {
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(StatusBecomes(dialog, CountdownText(4)));
    PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  EXPECT_EQ(result, 0);  // the countdown running out would have closed with 1
  EXPECT_EQ(Slurp(SettingsPath()), CompleteSection(2));
}

TEST_F(ConfigDialogTest, AStoredPortThatCannotBeOpenedIsSelectedAndReported) {
  struct Case {
    int port;
    const char* why;
  } cases[] = {
      {3, "listed always, mapped to a path nobody links"},
      {14, "not mapped at all: the list shows it all the same"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.port) + ", " + c.why);
    Spill(SettingsPath(), CompleteSection(c.port));
    FieldStates states = {};
    std::string status, selected;
    LRESULT data = 0;
    const int result = RunDialog([&] {
      HWND dialog = WaitForDialog();
      ASSERT_NE(dialog, nullptr);
      states = States(dialog);
      status = Text(dialog, kCtlStatus);
      const LRESULT at = SendDlgItemMessageA(dialog, kCtlPortList, LB_GETCURSEL, 0, 0);
      selected = ListText(dialog, at);
      data = SendDlgItemMessageA(dialog, kCtlPortList, LB_GETITEMDATA, static_cast<WPARAM>(at), 0);
      ASSERT_TRUE(Click(dialog, kCtlQuit));
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(states, kUnlocked);  // no countdown
    EXPECT_EQ(status, kPortFailed);
    EXPECT_EQ(selected, "COM" + std::to_string(c.port));
    EXPECT_EQ(data, c.port);
  }
}

TEST_F(ConfigDialogTest, TypingAFolderShowsTheDerivedFoldersAtOnce) {
  Strings fields;
  const int result = RunDialog([&] {
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    Type(dialog, kCtlMusicFolder, "C:\\Music");
    fields = {Text(dialog, kCtlMusicFolder), Text(dialog, kCtlPlaylistFolder), Text(dialog, kCtlDumpFolder)};
    Type(dialog, kCtlMusicFolder, "D:\\My Music\\");
    fields.push_back(Text(dialog, kCtlPlaylistFolder));
    ASSERT_TRUE(Click(dialog, kCtlQuit));
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(fields, (Strings{"C:\\Music", "C:\\Music\\QB_Playlists\\", "C:\\Music\\QB_Dumped\\",
                             "D:\\My Music\\QB_Playlists\\"}));
}

TEST_F(ConfigDialogTest, CancellingTheFolderBrowserChangesNothing) {
  Strings prompt, fields;
  const int result = RunDialog([&] {
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    Type(dialog, kCtlMusicFolder, "C:\\Music");
    ASSERT_TRUE(Click(dialog, kCtlBrowse));
    HWND browser = WaitForFolderBrowser(dialog);
    ASSERT_NE(browser, nullptr);
    prompt = StaticTexts(browser);
    PostMessageA(browser, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(browser); }));
    fields = {Text(dialog, kCtlMusicFolder), Text(dialog, kCtlPlaylistFolder), Text(dialog, kCtlDumpFolder)};
    ASSERT_TRUE(Click(dialog, kCtlQuit));
  });
  EXPECT_EQ(result, 0);
  EXPECT_NE(std::find(prompt.begin(), prompt.end(), "Browse for the folder where your music files are stored."),
            prompt.end());
  EXPECT_EQ(fields, (Strings{"C:\\Music", "C:\\Music\\QB_Playlists\\", "C:\\Music\\QB_Dumped\\"}));
}

TEST_F(ConfigDialogTest, AFolderChosenInTheBrowserIsShownWithItsBackslash) {
  // On drive C: (the browser cannot walk Wine's Z: drive); it gives the path without a backslash.
  char temp[MAX_PATH] = "";
  GetTempPathA(sizeof temp, temp);
  const std::string chosen = std::string(temp) + "qb chosen music";
  ASSERT_TRUE(CreateDirectoryA(chosen.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  Strings fields;
  const int result = RunDialog([&] {
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    Type(dialog, kCtlMusicFolder, "C:\\no such folder");
    ASSERT_TRUE(Click(dialog, kCtlStart));
    ASSERT_TRUE(StatusBecomes(dialog, kPathNotFound));
    ASSERT_TRUE(Click(dialog, kCtlBrowse));
    HWND browser = WaitForFolderBrowser(dialog);
    ASSERT_NE(browser, nullptr);
    ASSERT_TRUE(SelectInBrowser(browser, chosen));
    PostMessageA(browser, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(browser); }));
    fields = {Text(dialog, kCtlMusicFolder), Text(dialog, kCtlPlaylistFolder), Text(dialog, kCtlDumpFolder),
              Text(dialog, kCtlStatus)};
    ASSERT_TRUE(Click(dialog, kCtlQuit));
  });
  EXPECT_EQ(result, 0);
  RemoveDirectoryA(chosen.c_str());
  const std::string shown = chosen + "\\";
  EXPECT_EQ(fields, (Strings{shown, shown + "QB_Playlists\\", shown + "QB_Dumped\\", ""}));
  EXPECT_STREQ(LibraryRoot, "C:\\no such folder\\");  // browsing alone does not change it: Start set it
}

// Too long to keep whole with its two folders, whether browsed to or typed: refused
// with its reason, and nothing of it shown, kept or stored.
TEST_F(ConfigDialogTest, AMusicFolderLongerThan199CharactersIsRefusedAsTooLong) {
  char temp[MAX_PATH] = "";
  GetTempPathA(sizeof temp, temp);
  const std::string top = std::string(temp) + "qb long";
  const std::string middle = top + "\\" + std::string(100, 'a');
  std::string deep = middle + "\\";
  deep.append(200 - deep.size(), 'b');  // 200 characters, with the backslash 201
  for (const std::string& folder : {top, middle, deep}) {
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) << folder;
  }
  Strings fields;
  const int result = RunDialog([&] {
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    Type(dialog, kCtlMusicFolder, music);
    ASSERT_TRUE(Click(dialog, kCtlBrowse));
    HWND browser = WaitForFolderBrowser(dialog);
    ASSERT_NE(browser, nullptr);
    ASSERT_TRUE(SelectInBrowser(browser, deep));
    PostMessageA(browser, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(browser); }));
    EXPECT_TRUE(StatusBecomes(dialog, kTooLong)) << Text(dialog, kCtlStatus);
    fields = {Text(dialog, kCtlMusicFolder), Text(dialog, kCtlPlaylistFolder)};
    Type(dialog, kCtlMusicFolder, deep);
    SetDlgItemTextA(dialog, kCtlStatus, "");
    ASSERT_TRUE(Click(dialog, kCtlStart));
    EXPECT_TRUE(StatusBecomes(dialog, kTooLong)) << Text(dialog, kCtlStatus);
    ASSERT_TRUE(Click(dialog, kCtlQuit));
  });
  RemoveDirectoryA(deep.c_str());
  RemoveDirectoryA(middle.c_str());
  RemoveDirectoryA(top.c_str());
  EXPECT_EQ(result, 0);
  EXPECT_EQ(fields, (Strings{music, music + "QB_Playlists\\"}));
  EXPECT_EQ(Slurp(SettingsPath()), kFresh);
}

TEST_F(ConfigDialogTest, StartStoresTheFourLinesAndClosesWithOne) {
  Spill(SettingsPath(), "[Other]\r\nx=1\r\n");
  const std::string typed = music.substr(0, music.size() - 1);  // without its backslash
  const int result = RunDialog([&] {
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    Type(dialog, kCtlMusicFolder, typed);
    SelectPort(dialog, 1);
    ASSERT_TRUE(Click(dialog, kCtlStart));
    WaitFor([&] { return !IsWindow(dialog); });
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(Slurp(SettingsPath()), "[Other]\r\nx=1\r\n\r\n[Quillbox]\r\nComPort=2\r\nLibDir=" + music +
                                       "\r\nPlSaveDir=" + music + "QB_Playlists\\\r\nDumpDir=" + music +
                                       "QB_Dumped\\\r\n");
  EXPECT_EQ(ComPort, 2);
  EXPECT_EQ(std::string(LibraryRoot), music);
  EXPECT_EQ(std::string(CurrentFolder), music);
}

TEST_F(ConfigDialogTest, StartRefusesUntilFolderAndPortAreUsable) {
  struct Step {
    const char* what;
    std::function<void(HWND)> act;
    const char* status;
  };
  const Step steps[] = {
      {"missing folder", [](HWND d) { Type(d, kCtlMusicFolder, "C:\\no such folder"); }, kPathNotFound},
      {"no port", [&](HWND d) { Type(d, kCtlMusicFolder, music); }, kSelectPort},
      {"COM3 unavailable", [](HWND d) { SelectPort(d, 2); }, kPortFailed},
      // Both wrong: the folder is checked first.
      {"missing folder again", [](HWND d) { Type(d, kCtlMusicFolder, "C:\\gone\\"); }, kPathNotFound},
  };
  const int result = RunDialog([&] {
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    for (const Step& step : steps) {
      step.act(dialog);
      ASSERT_TRUE(Click(dialog, kCtlStart)) << step.what;
      EXPECT_TRUE(StatusBecomes(dialog, step.status)) << step.what << ": " << Text(dialog, kCtlStatus);
      EXPECT_TRUE(IsWindowVisible(dialog)) << step.what;
      EXPECT_EQ(States(dialog), kUnlocked) << step.what;
    }
    ASSERT_TRUE(Click(dialog, kCtlQuit));
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(ComPort, 3);
  EXPECT_EQ(Slurp(SettingsPath()), kFresh);  // nothing stored
}

TEST_F(ConfigDialogTest, SettingsFailuresShowAMessageBoxAndLeaveTheDialogOpen) {
  struct Case {
    const char* what;
    std::function<void()> prepare;
    const char* message;
  } cases[] = {
      {"plugin.ini is a folder", [] { CreateDirectoryA(SettingsPath().c_str(), nullptr); }, kCannotOpen},
      {"an entry without =", [] { Spill(SettingsPath(), "[Quillbox]\r\nComPort=2\r\nbroken\r\n"); }, kCannotParse},
  };
  for (const Case& c : cases) {
    RemoveSettings();
    c.prepare();
    std::string message;
    FieldStates states = {};
    Strings fields;
    LRESULT ports = -1;
    const int result = RunDialog([&] {
      message = ReadAndCloseMessageBox();
      HWND dialog = WaitForDialog();
      ASSERT_NE(dialog, nullptr);
      states = States(dialog);
      ports = SendDlgItemMessageA(dialog, kCtlPortList, LB_GETCOUNT, 0, 0);
      fields = {Text(dialog, kCtlMusicFolder), Text(dialog, kCtlPlaylistFolder), Text(dialog, kCtlDumpFolder),
                Text(dialog, kCtlStatus)};
      ASSERT_TRUE(Click(dialog, kCtlQuit));
    });
    EXPECT_EQ(result, 0) << c.what;
    EXPECT_EQ(message, c.message) << c.what;
    EXPECT_EQ(states, kUnlocked) << c.what;
    EXPECT_EQ(ports, 0) << c.what;
    EXPECT_EQ(fields, (Strings{"", "", "", ""})) << c.what;
  }
}

TEST_F(ConfigDialogTest, AHeaderGoneBeforeStartIsReportedAndTheDialogStaysOpen) {
  std::string message;
  bool stillOpen = false;
  const int result = RunDialog([&] {
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    Spill(SettingsPath(), "[Other]\r\n");  // another program rewrote the file meanwhile
    Type(dialog, kCtlMusicFolder, music);
    SelectPort(dialog, 1);
    ASSERT_TRUE(Click(dialog, kCtlStart));
    message = ReadAndCloseMessageBox();
    WaitUntilIdle(dialog);  // Start's handler has returned
    stillOpen = IsWindowVisible(dialog) && Enabled(dialog, kCtlStart);
    ASSERT_TRUE(Click(dialog, kCtlQuit));
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(message, kNoHeading);
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(Slurp(SettingsPath()), "[Other]\r\n");
}

TEST_F(ConfigDialogTest, TheDialogOpensBesideTheHostAndAlwaysOnTheScreen) {
  struct Case {
    const char* where;
    int hostX, hostY;
  } cases[] = {
      {"far right", 900, 300},
      {"at the left screen edge", 0, 300},
      {"in the bottom left corner", 0, 950},
  };
  for (const Case& c : cases) {
    PlaceHost(c.hostX, c.hostY);
    RemoveSettings();
    RECT dialogRect = {}, hostRect = {};
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetWindowRect(HostMainWindow(), &hostRect);
    RunDialog([&] {
      HWND dialog = WaitForDialog();
      ASSERT_NE(dialog, nullptr);
      GetWindowRect(dialog, &dialogRect);
      GetMonitorInfoA(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor);
      ASSERT_TRUE(Click(dialog, kCtlQuit));
    });
    const RECT& work = monitor.rcWork;
    EXPECT_GE(dialogRect.left, work.left) << c.where;
    EXPECT_GE(dialogRect.top, work.top) << c.where;
    EXPECT_LE(dialogRect.right, work.right) << c.where;
    EXPECT_LE(dialogRect.bottom, work.bottom) << c.where;
    if (c.hostX == 900) {
      EXPECT_EQ(dialogRect.right, hostRect.left - 20) << c.where;
    } else {
      EXPECT_EQ(dialogRect.left, work.left) << c.where;  // moved no further than needed
    }
  }
}

}  // namespace
