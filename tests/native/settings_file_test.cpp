// The settings section of plugin.ini on real temporary files, and the settings path.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "config/settings.h"
#include "config/settings_file.h"
#include "res/resource_ids.h"

namespace {

const std::string kFresh = "\n[Quillbox]\nComPort=\nLibDir=\nPlSaveDir=\nDumpDir=\n";

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void Spill(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

void ResetSettings() {
  ComPort = -1;
  LibraryRoot[0] = CurrentFolder[0] = PlaylistDir[0] = DumpDir[0] = '\0';
}

void SetSettings(int32_t port, const std::string& music, const std::string& playlists, const std::string& dumped) {
  ComPort = port;
  std::snprintf(CurrentFolder, sizeof CurrentFolder, "%s", music.c_str());
  std::snprintf(PlaylistDir, sizeof PlaylistDir, "%s", playlists.c_str());
  std::snprintf(DumpDir, sizeof DumpDir, "%s", dumped.c_str());
}

std::string Section(int port, const std::string& music) {
  return "[Quillbox]\nComPort=" + std::to_string(port) + "\nLibDir=" + music + "\nPlSaveDir=" + music +
         "QB_Playlists\\\nDumpDir=" + music + "QB_Dumped\\\n";
}

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/qb_settings_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    path = dir + "/plugin.ini";
    ResetSettings();
  }
  void TearDown() override {
    std::remove(path.c_str());
    rmdir(dir.c_str());
  }
  std::string dir, path;
};

TEST(SettingsPath, FromTheProgramPathInTheCommandLine) {
  struct Case {
    const char* commandLine;
    const char* path;  // null: refused
  } cases[] = {
      // A blank in the program's folder must not end the path when it is quoted.
      {"\"C:\\Program Files\\Winamp\\winamp.exe\" /new", "C:\\Program Files\\Winamp\\Plugins\\plugin.ini"},
      {"\"C:\\Winamp\\winamp.exe\"", "C:\\Winamp\\Plugins\\plugin.ini"},
      // A parent process may start the player without quotes.
      {"C:\\Winamp\\winamp.exe", "C:\\Winamp\\Plugins\\plugin.ini"},
      {"C:\\Winamp\\winamp.exe C:\\Music\\song.mp3", "C:\\Winamp\\Plugins\\plugin.ini"},
      {"  \"D:\\W\\w.exe\"", "D:\\W\\Plugins\\plugin.ini"},       // leading blanks are not the path
      {"\"\\\\host\\share\\w.exe\"", "\\\\host\\share\\Plugins\\plugin.ini"},
      {"\"C:\\W\\w.exe", "C:\\W\\Plugins\\plugin.ini"},           // an unclosed quote ends at the end
      // A backslash in an argument must not be taken for the program's folder.
      {"\"winamp.exe\" C:\\Music\\", nullptr},
      {"winamp.exe C:\\Music\\", nullptr},
      {"winamp.exe", nullptr},
      {"\"\"", nullptr},
      {"", nullptr},
      {nullptr, nullptr},  // no command line at all
  };
  for (const Case& c : cases) {
    char path[kSettingsPathSize] = "junk";
    EXPECT_EQ(SettingsPathFromCommandLine(c.commandLine, path, sizeof path), c.path ? 1 : 0)
        << (c.commandLine ? c.commandLine : "(null)");
    EXPECT_STREQ(path, c.path ? c.path : "") << (c.commandLine ? c.commandLine : "(null)");
  }
}

TEST(SettingsPath, APathThatDoesNotFitIsRefusedNotCut) {
  // "C:\W\Plugins\plugin.ini" is 23 characters: a cut path would name another file.
  char exact[24];
  EXPECT_EQ(SettingsPathFromCommandLine("C:\\W\\w.exe", exact, sizeof exact), 1);
  EXPECT_STREQ(exact, "C:\\W\\Plugins\\plugin.ini");
  char small[23] = "junk";
  EXPECT_EQ(SettingsPathFromCommandLine("C:\\W\\w.exe", small, sizeof small), 0);
  EXPECT_STREQ(small, "");
  const std::string longFolder = "\"C:\\" + std::string(600, 'a') + "\\w.exe\"";
  char path[kSettingsPathSize];
  EXPECT_EQ(SettingsPathFromCommandLine(longFolder.c_str(), path, sizeof path), 0);
}

TEST_F(SettingsFile, AMissingSectionIsAppendedAndAMissingFileCreated) {
  struct Case {
    std::string before;  // file content; "<none>": no file
    std::string after;
  } cases[] = {
      {"<none>", kFresh},                                          // the first run creates exactly this
      {"", kFresh},
      {"[Other]\nkey=1\n", "[Other]\nkey=1\n" + kFresh},           // others' text stays in front
      {"[Other]\nkey=1", "[Other]\nkey=1" + kFresh},               // no final line break: the blank line gives one
      {"[quillbox]\nComPort=2\n", "[quillbox]\nComPort=2\n" + kFresh},  // case matters
      {"x[Quillbox]\nComPort=2\n", "x[Quillbox]\nComPort=2\n" + kFresh},  // the header must begin the token
      {"[Quillbo]\n", "[Quillbo]\n" + kFresh},                     // a shorter token is not the header
  };
  for (const Case& c : cases) {
    ResetSettings();
    std::remove(path.c_str());
    if (c.before != "<none>") Spill(path, c.before);
    EXPECT_EQ(ReadSettingsFile(path.c_str()), 0) << c.before;
    EXPECT_EQ(Slurp(path), c.after) << c.before;
    EXPECT_EQ(ComPort, -1) << c.before;
    EXPECT_STREQ(CurrentFolder, "") << c.before;
    // The appended section is found the next time: nothing more is appended.
    EXPECT_EQ(ReadSettingsFile(path.c_str()), 0);
    EXPECT_EQ(Slurp(path), c.after) << c.before;
  }
}

TEST_F(SettingsFile, EntriesAfterTheHeaderAreRead) {
  struct Case {
    std::string file;
    int32_t port;
    const char* music;
    const char* playlists;
    const char* dumped;
  } cases[] = {
      {Section(2, "C:\\Music\\"), 2, "C:\\Music\\", "C:\\Music\\QB_Playlists\\", "C:\\Music\\QB_Dumped\\"},
      // A folder with blanks must read back whole, not fail with message 14.
      {Section(1, "C:\\My Music\\"), 1, "C:\\My Music\\", "C:\\My Music\\QB_Playlists\\", "C:\\My Music\\QB_Dumped\\"},
      // A file written on Windows: the CR must not stay in the values.
      {"[Quillbox]\r\nComPort=3\r\nLibDir=C:\\M M\\\r\nPlSaveDir=P\\\r\nDumpDir=D\\\r\n", 3, "C:\\M M\\", "P\\", "D\\"},
      // Keys are recognised by prefix in any order.
      {"[Quillbox]\nDumpDir=D\\\nPlSaveDir=P\\\nLibDir=L\\\nComPort=1\n", 1, "L\\", "P\\", "D\\"},
      // A header with text behind it still counts, and so does one inside a line.
      {"[Quillbox]x\nComPort=2\n", 2, "", "", ""},
      {"junk [Quillbox]\nComPort=2\n", 2, "", "", ""},
      // An entry on the header's line, as a token reader would have found it.
      {"[Quillbox] ComPort=2\nLibDir=L\\\n", 2, "L\\", "", ""},
      // Blank lines and indentation are passed over and do not count among the four.
      {"[Quillbox]\n\n  ComPort=2\n\n\t\nLibDir=L\\\nPlSaveDir=P\\\n\nDumpDir=D\\\n", 2, "L\\", "P\\", "D\\"},
      // Trailing blanks are not part of a value.
      {"[Quillbox]\nComPort=2  \nLibDir=L\\ \t\n", 2, "L\\", "", ""},
      // A fifth entry is never read.
      {"[Quillbox]\nComPort=1\nLibDir=L\\\nPlSaveDir=P\\\nDumpDir=D\\\nComPort=3\n", 1, "L\\", "P\\", "D\\"},
      // An unknown key is passed over but counts as one of the four.
      {"[Quillbox]\nFoo=1\nComPort=2\nLibDir=L\\\nPlSaveDir=P\\\nDumpDir=D\\\n", 2, "L\\", "P\\", ""},
      // "ComPort=" alone changes nothing; letters read as 0 (no valid port).
      {"[Quillbox]\nComPort=\n", -1, "", "", ""},
      {"[Quillbox]\nComPort=abc\n", 0, "", "", ""},
      {"[Quillbox]\nComPort=+2x\n", 2, "", "", ""},
      {"[Quillbox]\nComPort=-3\n", -3, "", "", ""},
      // A huge number must saturate, not overflow into a valid port.
      {"[Quillbox]\nComPort=4294967298\n", INT32_MAX, "", "", ""},
      {"[Quillbox]\nComPort=-99999999999999999999\n", INT32_MIN, "", "", ""},
      // The first section wins; the file need not end with a line break.
      {Section(1, "L\\") + "[Quillbox]\nComPort=2\n", 1, "L\\", "L\\QB_Playlists\\", "L\\QB_Dumped\\"},
      {"[Quillbox]\nComPort=2", 2, "", "", ""},
      {"[Quillbox]", -1, "", "", ""},
  };
  for (const Case& c : cases) {
    ResetSettings();
    Spill(path, c.file);
    EXPECT_EQ(ReadSettingsFile(path.c_str()), 0) << c.file;
    EXPECT_EQ(ComPort, c.port) << c.file;
    EXPECT_STREQ(CurrentFolder, c.music) << c.file;
    EXPECT_STREQ(LibraryRoot, c.music) << c.file;
    EXPECT_STREQ(PlaylistDir, c.playlists) << c.file;
    EXPECT_STREQ(DumpDir, c.dumped) << c.file;
    EXPECT_EQ(Slurp(path), c.file) << "reading must not change a file with a section";
  }
}

TEST_F(SettingsFile, AnEntryWithoutEqualsStopsWithMessage14KeepingWhatCameBefore) {
  Spill(path, "[Quillbox]\nComPort=2\nbroken\nLibDir=L\\\n");
  EXPECT_EQ(ReadSettingsFile(path.c_str()), kMsgSettingsParse);
  EXPECT_EQ(ComPort, 2);
  EXPECT_STREQ(CurrentFolder, "");  // nothing after the broken entry is read
  ResetSettings();
  // An empty section followed by another one: its header is the first "entry".
  Spill(path, "[Quillbox]\n[Other]\nkey=1\n");
  EXPECT_EQ(ReadSettingsFile(path.c_str()), kMsgSettingsParse);
}

TEST_F(SettingsFile, OverlongTextIsCutWithoutWritingPastTheBuffers) {
  const std::string longFolder = "C:\\" + std::string(400, 'a') + "\\";
  const std::string file = "[Quillbox]" + std::string(600, 'x') + "\n" +
                           "LibDir=" + longFolder + "\nDumpDir=" + std::string(5000, 'd') + "\nComPort=" +
                           std::string(3000, '0') + "2\n";
  Spill(path, file);
  EXPECT_EQ(ReadSettingsFile(path.c_str()), 0);
  EXPECT_EQ(std::string(CurrentFolder), longFolder.substr(0, 255));
  EXPECT_EQ(std::string(LibraryRoot), longFolder.substr(0, 255));
  EXPECT_EQ(std::string(DumpDir), std::string(255, 'd'));
  // The entry line is cut, not split: a cut line must not become an extra entry.
  EXPECT_STREQ(PlaylistDir, "");
  EXPECT_EQ(ComPort, 0);  // only leading zeros fit the entry buffer
}

TEST_F(SettingsFile, AFileThatCannotBeOpenedGivesMessage13AndNothingIsCreated) {
  const std::string inMissingFolder = dir + "/missing/plugin.ini";
  EXPECT_EQ(ReadSettingsFile(inMissingFolder.c_str()), kMsgSettingsOpen);
  EXPECT_EQ(WriteSettingsFile(inMissingFolder.c_str()), kMsgSettingsOpen);
  // A folder where the file should be: neither opened nor replaced.
  const std::string folder = dir + "/folder.ini";
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  EXPECT_EQ(ReadSettingsFile(folder.c_str()), kMsgSettingsOpen);
  EXPECT_EQ(WriteSettingsFile(folder.c_str()), kMsgSettingsOpen);
  rmdir(folder.c_str());
  // Start on a file that has gone since the dialog opened: not created again.
  EXPECT_EQ(WriteSettingsFile(path.c_str()), kMsgSettingsOpen);
  EXPECT_NE(access(path.c_str(), F_OK), 0);
}

TEST_F(SettingsFile, TheRewriteReplacesOnlyTheOldEntries) {
  const std::string newEntries = "\nComPort=2\nLibDir=C:\\Music\\\nPlSaveDir=C:\\Music\\QB_Playlists\\\n"
                                 "DumpDir=C:\\Music\\QB_Dumped\\\n";
  struct Case {
    std::string before, after;
  } cases[] = {
      // The fresh section of the first run gets its values.
      {kFresh, "\n[Quillbox]" + newEntries},
      // Shorter new entries: no stray text of the old ones behind them.
      {"[A]\na=1\n" + Section(3, "C:\\A much longer music folder name\\") + "[B]\nb=2\n",
       "[A]\na=1\n[Quillbox]" + newEntries + "[B]\nb=2\n"},
      // Longer new entries: nothing after them overwritten.
      {"[A]\na=1\n[Quillbox]\nComPort=1\nLibDir=X\\\nPlSaveDir=Y\\\nDumpDir=Z\\\n[B]\nb=2\n",
       "[A]\na=1\n[Quillbox]" + newEntries + "[B]\nb=2\n"},
      // Text on the header's token and the line breaks of others' text stay as they were.
      {"[A]\r\na=1\r\n[Quillbox]x\r\nComPort=1\r\nLibDir=X\\\r\nPlSaveDir=Y\\\r\nDumpDir=Z\\\r\n\r\n[B]\r\nb=2",
       "[A]\r\na=1\r\n[Quillbox]x" + newEntries + "\r\n[B]\r\nb=2"},
      // Fewer than four old entries: the next section's header is not an entry and stays.
      {"[Quillbox]\nComPort=1\n[B]\nb=2\n", "[Quillbox]" + newEntries + "[B]\nb=2\n"},
      // A fifth line was never read, so it is not replaced either.
      {Section(1, "X\\") + "extra=1\n", "[Quillbox]" + newEntries + "extra=1\n"},
      // The old section at the end without a final line break.
      {"[Quillbox]\nComPort=1\nLibDir=X\\", "[Quillbox]" + newEntries},
      // Bytes a text-mode reader would stop at or drop pass through.
      {std::string("a\x1a\0b\r\r\n", 7) + Section(1, "X\\") + std::string("\x1a\0z", 3),
       std::string("a\x1a\0b\r\r\n", 7) + "[Quillbox]" + newEntries + std::string("\x1a\0z", 3)},
  };
  for (const Case& c : cases) {
    Spill(path, c.before);
    SetSettings(2, "C:\\Music\\", "C:\\Music\\QB_Playlists\\", "C:\\Music\\QB_Dumped\\");
    EXPECT_EQ(WriteSettingsFile(path.c_str()), 0) << c.before;
    EXPECT_EQ(Slurp(path), c.after) << c.before;
    // Writing again changes nothing: the entries written are exactly the ones replaced.
    EXPECT_EQ(WriteSettingsFile(path.c_str()), 0);
    EXPECT_EQ(Slurp(path), c.after) << c.before;
  }
}

TEST_F(SettingsFile, WrittenSettingsReadBackTheSame) {
  struct Case {
    int32_t port;
    std::string music;
  } cases[] = {
      {2, "C:\\Music\\"},
      {1, "C:\\My Music\\Old Stuff\\"},  // blanks in a folder must survive the round trip
      {3, "\\\\nas\\share\\a=b\\"},      // an "=" in a value is part of the value
      {1, ""},
  };
  for (const Case& c : cases) {
    Spill(path, "[Other]\nx=1\n" + kFresh + "[Next]\ny=2\n");
    SetSettings(c.port, c.music, c.music + "QB_Playlists\\", c.music + "QB_Dumped\\");
    ASSERT_EQ(WriteSettingsFile(path.c_str()), 0);
    ResetSettings();
    ASSERT_EQ(ReadSettingsFile(path.c_str()), 0) << c.music;
    EXPECT_EQ(ComPort, c.port);
    EXPECT_EQ(std::string(CurrentFolder), c.music);
    EXPECT_EQ(std::string(LibraryRoot), c.music);
    EXPECT_EQ(std::string(PlaylistDir), c.music + "QB_Playlists\\");
    EXPECT_EQ(std::string(DumpDir), c.music + "QB_Dumped\\");
    EXPECT_NE(Slurp(path).find("\n[Next]\ny=2\n"), std::string::npos);
  }
}

TEST_F(SettingsFile, AHeaderThatHasGoneGivesMessage18AndLeavesTheFileAlone) {
  for (const std::string& file : {std::string(""), std::string("[Other]\nComPort=2\n"), std::string("[quillbox]\n")}) {
    Spill(path, file);
    SetSettings(2, "C:\\Music\\", "P\\", "D\\");
    EXPECT_EQ(WriteSettingsFile(path.c_str()), kMsgNoSettingsHeading) << file;
    EXPECT_EQ(Slurp(path), file);
  }
}

TEST_F(SettingsFile, AFileTooLargeToHoldIsLeftUntouched) {
  const std::string atLimit = Section(1, "X\\") + std::string(kSettingsFileLimit - Section(1, "X\\").size(), '#');
  Spill(path, atLimit);
  SetSettings(2, "Y\\", "P\\", "D\\");
  EXPECT_EQ(WriteSettingsFile(path.c_str()), 0);  // exactly the limit is held whole
  const std::string written = Slurp(path);
  EXPECT_EQ(written.substr(written.size() - 5), "#####");

  const std::string tooLarge = std::string(kSettingsFileLimit, '#') + "\n" + Section(1, "X\\");
  Spill(path, tooLarge);
  EXPECT_EQ(WriteSettingsFile(path.c_str()), kMsgSettingsWrite);
  EXPECT_EQ(Slurp(path), tooLarge);
  // Reading has no such limit.
  ResetSettings();
  EXPECT_EQ(ReadSettingsFile(path.c_str()), 0);
  EXPECT_EQ(ComPort, 1);
}

}  // namespace
