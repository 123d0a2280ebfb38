// The start-up dialog's rules: derived folders, port choice, placement, countdown.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "config/dialog_rules.h"
#include "config/settings.h"
#include "config/settings_file.h"
#include "fakes/fake_files.h"

namespace {

TEST(DialogRules, FoldersAreDerivedFromTheMusicFolderText) {
  struct Case {
    std::string text, music;
  } cases[] = {
      {"C:\\Music", "C:\\Music\\"},          // a backslash is added...
      {"C:\\Music\\", "C:\\Music\\"},        // ...but never a second one
      {"C:\\My Music", "C:\\My Music\\"},
      {"", ""},                              // nothing to add a backslash to
      // The edit gives at most 199 characters, which leaves room for "QB_Playlists\".
      {std::string(300, 'm'), std::string(199, 'm') + "\\"},
  };
  for (const Case& c : cases) {
    std::memset(PlaylistDir, 'x', sizeof PlaylistDir - 1);
    SetMusicFolder(c.text.c_str());
    EXPECT_EQ(std::string(CurrentFolder), c.music) << c.text;
    EXPECT_EQ(std::string(PlaylistDir), c.music + "QB_Playlists\\") << c.text;
    EXPECT_EQ(std::string(DumpDir), c.music + "QB_Dumped\\") << c.text;
  }
}

TEST(DialogRules, BackslashIsAddedOnlyWhereItFits) {
  char path[6] = "abcd";
  AddBackslash(path, sizeof path);
  EXPECT_STREQ(path, "abcd\\");
  AddBackslash(path, sizeof path);
  EXPECT_STREQ(path, "abcd\\");
  char full[5] = "abcd";
  AddBackslash(full, sizeof full);  // no room for the terminator after a backslash
  EXPECT_STREQ(full, "abcd");
  // In the Japanese code page "\x95\x5C" is one character, which ends no folder.
  ResetFakeFiles();
  Files.codePage = 932;
  char table[8] = "C:\\\x95\x5C";
  AddBackslash(table, sizeof table);
  EXPECT_STREQ(table, "C:\\\x95\x5C\\");
  ResetFakeFiles();
}

// A text of length characters, ending with a backslash or not.
std::string Folder(size_t length, bool backslash) {
  std::string text = "C:\\" + std::string(length - 3, 'm');
  if (backslash) text.back() = '\\';
  return text;
}

// A music folder that Start accepted was stored with its backslash as 200 characters and
// then refused as missing at every later start: what Start stores must read back whole
// and pass the check the dialog makes when it opens.
TEST(DialogRules, WhatStartStoresReadsBackWholeAndPassesTheSameLimit) {
  const char* path = "C:\\Player\\Plugins\\plugin.ini";
  for (size_t length : {4, 150, 198, 199, 200, 201, 255, 300}) {
    for (bool backslash : {false, true}) {
      const std::string text = Folder(length, backslash);
      SCOPED_TRACE(std::to_string(length) + (backslash ? " with" : " without") + " a backslash");
      ResetFakeFiles();
      Files.AddFile(path, "[Quillbox]\r\n");
      SetMusicFolder(text.c_str());  // the edit's change notification
      std::snprintf(LibraryRoot, sizeof LibraryRoot, "%s", "C:\\Before\\");
      const bool accepted = TakeMusicFolder(text.c_str());
      EXPECT_EQ(accepted, length + (backslash ? 0 : 1) <= kMusicFolderLimit);
      EXPECT_EQ(MusicFolderFits(text.c_str()), accepted);
      if (!accepted) {
        EXPECT_STREQ(LibraryRoot, "C:\\Before\\") << "a cut folder kept";
        continue;
      }
      const std::string stored = CurrentFolder;
      EXPECT_EQ(stored, backslash ? text : text + "\\");
      ASSERT_EQ(WriteSettingsFile(path), 0);
      ComPort = -1;
      LibraryRoot[0] = CurrentFolder[0] = PlaylistDir[0] = DumpDir[0] = '\0';
      ASSERT_EQ(ReadSettingsFile(path), 0);
      EXPECT_EQ(std::string(CurrentFolder), stored);
      EXPECT_EQ(std::string(PlaylistDir), stored + "QB_Playlists\\");
      EXPECT_EQ(std::string(DumpDir), stored + "QB_Dumped\\");
      EXPECT_TRUE(MusicFolderFits(CurrentFolder));  // the check when the dialog opens
      SetMusicFolder(CurrentFolder);                // shown in the edit: it comes back whole
      EXPECT_EQ(std::string(CurrentFolder), stored);
    }
  }
}

TEST(DialogRules, PlacementBesideTheHostAndOnTheWorkArea) {
  const ScreenRect work = {0, 0, 1280, 1000};
  const ScreenRect dialog = {100, 50, 450, 400};  // 350 x 350
  struct Case {
    ScreenRect host;
    ScreenRect expected;
  } cases[] = {
      // Room on the left: right edge 20 px before the host, at the dialog's own height.
      {{800, 200, 1200, 700}, {430, 50, 780, 400}},
      {{370, 0, 900, 500}, {0, 50, 350, 400}},  // exactly fits
      // Host at the left screen edge: moved right just enough to be wholly visible.
      {{0, 0, 900, 500}, {0, 50, 350, 400}},
      {{200, 0, 900, 500}, {0, 50, 350, 400}},
      // A minimised host far off screen must not take the dialog with it.
      {{-32000, -32000, -31840, -31970}, {0, 50, 350, 400}},
      {{5000, 0, 5200, 100}, {930, 50, 1280, 400}},
  };
  for (const Case& c : cases) {
    const ScreenRect at = KeepOnWorkArea(BesideHost(dialog, c.host), work);
    EXPECT_EQ(at.left, c.expected.left) << c.host.left;
    EXPECT_EQ(at.top, c.expected.top) << c.host.left;
    EXPECT_EQ(at.right, c.expected.right) << c.host.left;
    EXPECT_EQ(at.bottom, c.expected.bottom) << c.host.left;
  }
}

TEST(DialogRules, TheWorkAreaKeepsTheWholeDialogInside) {
  const ScreenRect work = {-1280, 40, 0, 1024};  // a second monitor left of the first, a bar on top
  struct Case {
    ScreenRect rect, expected;
  } cases[] = {
      {{-400, 0, -50, 350}, {-400, 40, -50, 390}},        // above the work area: moved down only
      {{-200, 900, 150, 1250}, {-350, 674, 0, 1024}},     // off two edges: moved the least on both
      {{-2000, 100, -1650, 450}, {-1280, 100, -930, 450}},
      // Larger than the work area: the caption (top left) stays reachable.
      {{-300, 0, 1000, 2000}, {-1280, 40, 20, 2040}},
  };
  for (const Case& c : cases) {
    const ScreenRect at = KeepOnWorkArea(c.rect, work);
    EXPECT_EQ(at.left, c.expected.left) << c.rect.left << "," << c.rect.top;
    EXPECT_EQ(at.top, c.expected.top) << c.rect.left << "," << c.rect.top;
    EXPECT_EQ(at.right - at.left, c.rect.right - c.rect.left);
    EXPECT_EQ(at.bottom - at.top, c.rect.bottom - c.rect.top);
  }
}

TEST(DialogRules, TheCountdownShowsFourToZeroThenCloses) {
  Countdown = 2;  // left over from an earlier dialog whose countdown was stopped
  StartCountdown();
  std::string shown = std::to_string(Countdown);
  while (CountdownTick()) shown += std::to_string(Countdown);
  EXPECT_EQ(shown, "43210");
  EXPECT_EQ(Countdown, kCountdownStart);  // ready for the next start
  Countdown = -5;  // a value that never reaches 0 counting down must still close
  EXPECT_EQ(CountdownTick(), 0);
}

TEST(DialogRules, TheCountdownMessageIsFilledInWithoutUsingItAsAFormat) {
  const char* message =
      "This dialog will disappear in %i second(s).  Click 'Configure' to stop countdown and change settings aboves.";
  char text[200];
  FormatCountdown(message, 3, text, sizeof text);
  EXPECT_STREQ(text,
               "This dialog will disappear in 3 second(s).  Click 'Configure' to stop countdown and change "
               "settings aboves.");
  FormatCountdown("%s %n %i%%", 0, text, sizeof text);  // stray conversions are plain text
  EXPECT_STREQ(text, "%s %n 0%%");
  char small[10];
  FormatCountdown(message, 4, small, sizeof small);
  EXPECT_STREQ(small, "This dial");
}

}  // namespace
