// The settings section of plugin.ini on the in-memory file system, and the settings path.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "config/settings.h"
#include "config/settings_file.h"
#include "fakes/fake_files.h"
#include "res/resource_ids.h"

namespace {

constexpr char kPath[] = "C:\\Player\\Plugins\\plugin.ini";
constexpr char kTemporary[] = "C:\\Player\\Plugins\\plugin.ini.qbnew";
constexpr char kBackup[] = "C:\\Player\\Plugins\\plugin.ini.qbold";
const std::string kFresh = "\r\n[Quillbox]\r\nComPort=\r\nLibDir=\r\nPlSaveDir=\r\nDumpDir=\r\n";
const std::string kNone = "<none>";  // no file

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
  return "[Quillbox]\r\nComPort=" + std::to_string(port) + "\r\nLibDir=" + music + "\r\nPlSaveDir=" + music +
         "QB_Playlists\\\r\nDumpDir=" + music + "QB_Dumped\\\r\n";
}

// The entries as the rewrite writes them for port 2 and C:\Music\.
const std::string kNewEntries =
    "\r\nComPort=2\r\nLibDir=C:\\Music\\\r\nPlSaveDir=C:\\Music\\QB_Playlists\\\r\nDumpDir=C:\\Music\\QB_Dumped\\\r\n";

void SetMusicSettings() { SetSettings(2, "C:\\Music\\", "C:\\Music\\QB_Playlists\\", "C:\\Music\\QB_Dumped\\"); }

// What is at kPath: its bytes, or kNone.
std::string Content() { return Files.Exists(kPath) ? Files.Content(kPath) : kNone; }

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override { Reset(kNone); }
  // An empty tree with the Plugins folder, and plugin.ini holding content unless kNone.
  static void Reset(const std::string& content) {
    ResetFakeFiles();
    Files.AddFolder("C:\\Player\\Plugins");
    if (content != kNone) Files.AddFile(kPath, content);
    ResetSettings();
  }
};

TEST(SettingsPath, FromTheProgramPath) {
  const char* player = "C:\\Program Files\\Player\\player.exe";
  struct Case {
    const char* commandLine;
    const char* module;  // the process's module file name
    const char* path;    // null: refused
  } cases[] = {
      // A blank in the program's folder must not end the path when it is quoted.
      {"\"C:\\Program Files\\Winamp\\winamp.exe\" /new", player, "C:\\Program Files\\Winamp\\Plugins\\plugin.ini"},
      {"\"C:\\Winamp\\winamp.exe\"", nullptr, "C:\\Winamp\\Plugins\\plugin.ini"},
      {"  \"D:\\W\\w.exe\"", nullptr, "D:\\W\\Plugins\\plugin.ini"},  // leading blanks are not the path
      {"\"\\\\host\\share\\w.exe\"", nullptr, "\\\\host\\share\\Plugins\\plugin.ini"},
      {"\"C:\\W\\w.exe", nullptr, "C:\\W\\Plugins\\plugin.ini"},  // an unclosed quote ends at the end
      // Without quotes the command line cannot tell where a path with blanks ends
      // (it gave C:\Plugins\plugin.ini): the module file name says.
      {player, player, "C:\\Program Files\\Player\\Plugins\\plugin.ini"},
      {"C:\\Program Files\\Player\\player.exe C:\\Music\\a b.mp3", player,
       "C:\\Program Files\\Player\\Plugins\\plugin.ini"},
      {"player.exe C:\\Music\\", player, "C:\\Program Files\\Player\\Plugins\\plugin.ini"},
      {"", player, "C:\\Program Files\\Player\\Plugins\\plugin.ini"},
      {"C:\\Winamp\\winamp.exe", nullptr, nullptr},  // no module name: nothing to go by
      {"C:\\Winamp\\winamp.exe", "winamp.exe", nullptr},
      // A backslash in an argument must not be taken for the program's folder.
      {"\"winamp.exe\" C:\\Music\\", player, nullptr},
      {"\"\"", player, nullptr},
      {nullptr, player, nullptr},  // no command line at all
      // In the Japanese code page "\x95\x5C" is one character, not a folder's end.
      {"\"C:\\W\\\x95\x5C.exe\"", nullptr, "C:\\W\\Plugins\\plugin.ini"},
  };
  ResetFakeFiles();
  Files.codePage = 932;
  for (const Case& c : cases) {
    const char* shown = c.commandLine ? c.commandLine : "(null)";
    char path[kSettingsPathSize] = "junk";
    EXPECT_EQ(SettingsPathFromCommandLine(c.commandLine, c.module, path, sizeof path), c.path ? 1 : 0) << shown;
    EXPECT_STREQ(path, c.path ? c.path : "") << shown;
  }
  ResetFakeFiles();
}

TEST(SettingsPath, APathThatDoesNotFitIsRefusedNotCut) {
  // "C:\W\Plugins\plugin.ini" is 23 characters: a cut path would name another file.
  char exact[24];
  EXPECT_EQ(SettingsPathFromCommandLine("\"C:\\W\\w.exe\"", nullptr, exact, sizeof exact), 1);
  EXPECT_STREQ(exact, "C:\\W\\Plugins\\plugin.ini");
  char small[23] = "junk";
  EXPECT_EQ(SettingsPathFromCommandLine("w.exe", "C:\\W\\w.exe", small, sizeof small), 0);
  EXPECT_STREQ(small, "");
  const std::string longFolder = "\"C:\\" + std::string(600, 'a') + "\\w.exe\"";
  char path[kSettingsPathSize];
  EXPECT_EQ(SettingsPathFromCommandLine(longFolder.c_str(), nullptr, path, sizeof path), 0);
}

TEST_F(SettingsFile, AMissingSectionIsAppendedAndAMissingFileCreated) {
  struct Case {
    std::string before;  // file content, or kNone
    std::string after;
  } cases[] = {
      {kNone, kFresh},  // the first run creates exactly this
      {"", kFresh},
      {"[Other]\r\nkey=1\r\n", "[Other]\r\nkey=1\r\n" + kFresh},  // others' text stays in front
      {"[Other]\r\nkey=1", "[Other]\r\nkey=1" + kFresh},          // no final line break: the blank line gives one
      {"[quillbox]\r\nComPort=2\r\n", "[quillbox]\r\nComPort=2\r\n" + kFresh},  // case matters
      {"x[Quillbox]\r\nComPort=2\r\n", "x[Quillbox]\r\nComPort=2\r\n" + kFresh},  // the header must begin the token
      {"[Quillbo]\r\n", "[Quillbo]\r\n" + kFresh},  // a shorter token is not the header
      // Another plug-in's line that mentions the header is not our section: reading it
      // stopped at message 14, and Start overwrote that plug-in's next lines.
      {"[A]\r\nnote = [Quillbox] settings below\r\nb=1\r\n",
       "[A]\r\nnote = [Quillbox] settings below\r\nb=1\r\n" + kFresh},
  };
  for (const Case& c : cases) {
    Reset(c.before);
    EXPECT_EQ(ReadSettingsFile(kPath), 0) << c.before;
    EXPECT_EQ(Content(), c.after) << c.before;
    EXPECT_FALSE(Files.Exists(kTemporary)) << c.before;
    EXPECT_EQ(ComPort, -1) << c.before;
    EXPECT_STREQ(CurrentFolder, "") << c.before;
    // The appended section is found the next time: nothing more is appended.
    EXPECT_EQ(ReadSettingsFile(kPath), 0);
    EXPECT_EQ(Content(), c.after) << c.before;
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
      // Lone LF line breaks, as an editor may leave them.
      {"[Quillbox]\nComPort=3\nLibDir=C:\\M M\\\nPlSaveDir=P\\\nDumpDir=D\\\n", 3, "C:\\M M\\", "P\\", "D\\"},
      // Keys are recognised by prefix in any order.
      {"[Quillbox]\r\nDumpDir=D\\\r\nPlSaveDir=P\\\r\nLibDir=L\\\r\nComPort=1\r\n", 1, "L\\", "P\\", "D\\"},
      // A header with text behind it still counts, and so does an indented one.
      {"[Quillbox]x\r\nComPort=2\r\n", 2, "", "", ""},
      {"  \t[Quillbox]\r\nComPort=2\r\n", 2, "", "", ""},
      // Our header only at a line's start: the line of another plug-in before it is not it.
      {"[A]\r\nnote = [Quillbox] settings below\r\na=1\r\nb=2\r\nc=3\r\nd=4\r\n" + Section(2, "C:\\Music\\"), 2,
       "C:\\Music\\", "C:\\Music\\QB_Playlists\\", "C:\\Music\\QB_Dumped\\"},
      // An entry on the header's line, as a token reader would have found it.
      {"[Quillbox] ComPort=2\r\nLibDir=L\\\r\n", 2, "L\\", "", ""},
      // Blank lines and indentation are passed over and do not count among the four.
      {"[Quillbox]\r\n\r\n  ComPort=2\r\n\r\n\t\r\nLibDir=L\\\r\nPlSaveDir=P\\\r\n\r\nDumpDir=D\\\r\n", 2, "L\\", "P\\",
       "D\\"},
      // Trailing blanks are not part of a value.
      {"[Quillbox]\r\nComPort=2  \r\nLibDir=L\\ \t\r\n", 2, "L\\", "", ""},
      // A fifth entry is never read.
      {"[Quillbox]\r\nComPort=1\r\nLibDir=L\\\r\nPlSaveDir=P\\\r\nDumpDir=D\\\r\nComPort=3\r\n", 1, "L\\", "P\\", "D\\"},
      // An unknown key is passed over but counts as one of the four.
      {"[Quillbox]\r\nFoo=1\r\nComPort=2\r\nLibDir=L\\\r\nPlSaveDir=P\\\r\nDumpDir=D\\\r\n", 2, "L\\", "P\\", ""},
      // "ComPort=" alone changes nothing; letters read as 0 (no valid port).
      {"[Quillbox]\r\nComPort=\r\n", -1, "", "", ""},
      {"[Quillbox]\r\nComPort=abc\r\n", 0, "", "", ""},
      {"[Quillbox]\r\nComPort=+2x\r\n", 2, "", "", ""},
      {"[Quillbox]\r\nComPort=-3\r\n", -3, "", "", ""},
      // A huge number must saturate, not overflow into a valid port.
      {"[Quillbox]\r\nComPort=4294967298\r\n", INT32_MAX, "", "", ""},
      {"[Quillbox]\r\nComPort=-99999999999999999999\r\n", INT32_MIN, "", "", ""},
      // The first section wins; the file need not end with a line break.
      {Section(1, "L\\") + "[Quillbox]\r\nComPort=2\r\n", 1, "L\\", "L\\QB_Playlists\\", "L\\QB_Dumped\\"},
      {"[Quillbox]\r\nComPort=2", 2, "", "", ""},
      {"[Quillbox]", -1, "", "", ""},
  };
  for (const Case& c : cases) {
    Reset(c.file);
    EXPECT_EQ(ReadSettingsFile(kPath), 0) << c.file;
    EXPECT_EQ(ComPort, c.port) << c.file;
    EXPECT_STREQ(CurrentFolder, c.music) << c.file;
    EXPECT_STREQ(LibraryRoot, c.music) << c.file;
    EXPECT_STREQ(PlaylistDir, c.playlists) << c.file;
    EXPECT_STREQ(DumpDir, c.dumped) << c.file;
    EXPECT_EQ(Content(), c.file) << "reading must not change a file with a section";
    EXPECT_EQ(Files.calls, (std::vector<std::string>{std::string("stamp ") + kPath, std::string("read ") + kPath,
                                                      std::string("kind ") + kBackup}))
        << c.file;
  }
}

TEST_F(SettingsFile, AnEntryWithoutEqualsStopsWithMessage14KeepingWhatCameBefore) {
  Reset("[Quillbox]\r\nComPort=2\r\nbroken\r\nLibDir=L\\\r\n");
  EXPECT_EQ(ReadSettingsFile(kPath), kMsgSettingsParse);
  EXPECT_EQ(ComPort, 2);
  EXPECT_STREQ(CurrentFolder, "");  // nothing after the broken entry is read
  // An empty section followed by another one: its header is the first "entry".
  Reset("[Quillbox]\r\n[Other]\r\nkey=1\r\n");
  EXPECT_EQ(ReadSettingsFile(kPath), kMsgSettingsParse);
}

TEST_F(SettingsFile, OverlongTextIsCutWithoutWritingPastTheBuffers) {
  const std::string longFolder = "C:\\" + std::string(400, 'a') + "\\";
  Reset("[Quillbox]" + std::string(600, 'x') + "\r\n" + "LibDir=" + longFolder + "\r\nDumpDir=" +
        std::string(5000, 'd') + "\r\nComPort=" + std::string(3000, '0') + "2\r\n");
  EXPECT_EQ(ReadSettingsFile(kPath), 0);
  EXPECT_EQ(std::string(CurrentFolder), longFolder.substr(0, 255));
  EXPECT_EQ(std::string(LibraryRoot), longFolder.substr(0, 255));
  EXPECT_EQ(std::string(DumpDir), std::string(255, 'd'));
  // The entry line is cut, not split: a cut line must not become an extra entry.
  EXPECT_STREQ(PlaylistDir, "");
  EXPECT_EQ(ComPort, 0);  // only leading zeros fit the entry buffer
}

TEST_F(SettingsFile, AFileThatCannotBeReadGivesMessage13AndNothingIsCreated) {
  const char* inMissingFolder = "C:\\Player\\Missing\\plugin.ini";
  EXPECT_EQ(ReadSettingsFile(inMissingFolder), kMsgSettingsOpen);
  EXPECT_EQ(WriteSettingsFile(inMissingFolder), kMsgSettingsOpen);
  EXPECT_FALSE(Files.Exists("C:\\Player\\Missing"));
  // A folder where the file should be: neither read nor replaced.
  Files.AddFolder(kPath);
  EXPECT_EQ(ReadSettingsFile(kPath), kMsgSettingsOpen);
  EXPECT_EQ(WriteSettingsFile(kPath), kMsgSettingsOpen);
  EXPECT_EQ(Files.Names("C:\\Player\\Plugins"), std::vector<std::string>{"plugin.ini"});
  // Start on a file that has gone since the dialog opened: not created again.
  Reset(kNone);
  EXPECT_EQ(WriteSettingsFile(kPath), kMsgSettingsOpen);
  EXPECT_EQ(Content(), kNone);
}

TEST_F(SettingsFile, TheRewriteReplacesOnlyTheOldEntries) {
  struct Case {
    std::string before, after;
  } cases[] = {
      // The fresh section of the first run gets its values.
      {kFresh, "\r\n[Quillbox]" + kNewEntries},
      // Shorter new entries: no stray text of the old ones behind them.
      {"[A]\r\na=1\r\n" + Section(3, "C:\\A much longer music folder name\\") + "[B]\r\nb=2\r\n",
       "[A]\r\na=1\r\n[Quillbox]" + kNewEntries + "[B]\r\nb=2\r\n"},
      // Longer new entries: nothing after them overwritten.
      {"[A]\r\na=1\r\n[Quillbox]\r\nComPort=1\r\nLibDir=X\\\r\nPlSaveDir=Y\\\r\nDumpDir=Z\\\r\n[B]\r\nb=2\r\n",
       "[A]\r\na=1\r\n[Quillbox]" + kNewEntries + "[B]\r\nb=2\r\n"},
      // Text on the header's token and the line breaks of others' text stay as they were.
      {"[A]\na=1\n[Quillbox]x\nComPort=1\nLibDir=X\\\nPlSaveDir=Y\\\nDumpDir=Z\\\n\n[B]\nb=2",
       "[A]\na=1\n[Quillbox]x" + kNewEntries + "\n[B]\nb=2"},
      // Another plug-in's line naming our header, and its next four lines, stay as they were.
      {"[A]\r\nnote = [Quillbox] here\r\na=1\r\nb=2\r\nc=3\r\nd=4\r\n" + Section(1, "X\\"),
       "[A]\r\nnote = [Quillbox] here\r\na=1\r\nb=2\r\nc=3\r\nd=4\r\n[Quillbox]" + kNewEntries},
      // Fewer than four old entries: the next section's header is not an entry and stays.
      {"[Quillbox]\r\nComPort=1\r\n[B]\r\nb=2\r\n", "[Quillbox]" + kNewEntries + "[B]\r\nb=2\r\n"},
      // A fifth line was never read, so it is not replaced either.
      {Section(1, "X\\") + "extra=1\r\n", "[Quillbox]" + kNewEntries + "extra=1\r\n"},
      // The old section at the end without a final line break.
      {"[Quillbox]\r\nComPort=1\r\nLibDir=X\\", "[Quillbox]" + kNewEntries},
      // Bytes a text-mode reader would stop at or drop pass through.
      {std::string("a\x1a\0b\r\r\n", 7) + Section(1, "X\\") + std::string("\x1a\0z", 3),
       std::string("a\x1a\0b\r\r\n", 7) + "[Quillbox]" + kNewEntries + std::string("\x1a\0z", 3)},
  };
  for (const Case& c : cases) {
    Reset(c.before);
    SetMusicSettings();
    EXPECT_EQ(WriteSettingsFile(kPath), 0) << c.before;
    EXPECT_EQ(Content(), c.after) << c.before;
    EXPECT_FALSE(Files.Exists(kTemporary));
    EXPECT_FALSE(Files.Exists(kBackup));
    // Writing again changes nothing: the entries written are exactly the ones replaced.
    EXPECT_EQ(WriteSettingsFile(kPath), 0);
    EXPECT_EQ(Content(), c.after) << c.before;
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
    Reset("[Other]\r\nx=1\r\n" + kFresh + "[Next]\r\ny=2\r\n");
    SetSettings(c.port, c.music, c.music + "QB_Playlists\\", c.music + "QB_Dumped\\");
    ASSERT_EQ(WriteSettingsFile(kPath), 0);
    ResetSettings();
    ASSERT_EQ(ReadSettingsFile(kPath), 0) << c.music;
    EXPECT_EQ(ComPort, c.port);
    EXPECT_EQ(std::string(CurrentFolder), c.music);
    EXPECT_EQ(std::string(LibraryRoot), c.music);
    EXPECT_EQ(std::string(PlaylistDir), c.music + "QB_Playlists\\");
    EXPECT_EQ(std::string(DumpDir), c.music + "QB_Dumped\\");
    EXPECT_NE(Content().find("\r\n[Next]\r\ny=2\r\n"), std::string::npos);
  }
}

TEST_F(SettingsFile, AHeaderThatHasGoneGivesMessage18AndLeavesTheFileAlone) {
  for (const std::string file : {"", "[Other]\r\nComPort=2\r\n", "[quillbox]\r\n", "a = [Quillbox]\r\nComPort=2\r\n"}) {
    Reset(file);
    SetSettings(2, "C:\\Music\\", "P\\", "D\\");
    EXPECT_EQ(WriteSettingsFile(kPath), kMsgNoSettingsHeading) << file;
    EXPECT_EQ(Content(), file);
  }
}

// Whatever is written must be read again: nothing beyond the limit is held or written.
TEST_F(SettingsFile, AFileTooLargeToHoldIsLeftUntouched) {
  const std::string section = Section(1, "X\\");
  const std::string atLimit = section + std::string(kSettingsFileLimit - section.size(), '#');
  Reset(atLimit);
  SetSettings(1, "Y\\", "Y\\QB_Playlists\\", "Y\\QB_Dumped\\");  // as long as the old entries
  EXPECT_EQ(WriteSettingsFile(kPath), 0);  // exactly the limit is held whole
  EXPECT_TRUE(Content() == Section(1, "Y\\") + std::string(kSettingsFileLimit - section.size(), '#'));
  struct Case {
    std::string file;
    int (*run)(const char*);
    int message;
  } cases[] = {
      {std::string(kSettingsFileLimit, '#') + "\r\n" + section, WriteSettingsFile, kMsgSettingsWrite},
      {std::string(kSettingsFileLimit, '#') + "\r\n" + section, ReadSettingsFile, kMsgSettingsOpen},
      // Entries longer than the old ones would take the file past the limit.
      {atLimit, [](const char* path) {
         SetMusicSettings();
         return WriteSettingsFile(path);
       }, kMsgSettingsWrite},
      // At the limit without the section: the fresh section does not fit beside it.
      {std::string(kSettingsFileLimit, '#'), ReadSettingsFile, kMsgSettingsWrite},
  };
  for (const Case& c : cases) {
    Reset(c.file);
    EXPECT_EQ(c.run(kPath), c.message) << c.file.size();
    EXPECT_TRUE(Content() == c.file) << c.file.size();
  }
}

// A failed write used to leave plugin.ini emptied or cut short, other plug-ins'
// sections gone: the old file must stay whole, and no temporary file behind. A first run
// leaves at most the empty file that took the name, which reads as none.
TEST_F(SettingsFile, AFailedWriteLeavesTheOldFileWholeAndNoTemporaryFile) {
  const std::string others = "[A]\r\na=1\r\n";
  struct Operation {
    const char* what;
    std::string before;
    int (*run)(const char*);
    int message;
  } operations[] = {
      {"rewrite", others + Section(1, "X\\") + "[B]\r\nb=2\r\n", WriteSettingsFile, kMsgSettingsWrite},
      {"append the fresh section", others, ReadSettingsFile, kMsgSettingsWrite},
      {"create the file", "", ReadSettingsFile, kMsgSettingsOpen},
  };
  struct Failure {
    const char* what;
    void (*arrange)();
  } failures[] = {
      {"no file made or rewritten", [] { Files.refuseCreate.push_back(kTemporary), Files.refuseRewrite = true; }},
      {"first write", [] { Files.failWriteNumber = 0; }},
      {"second write", [] { Files.failWriteNumber = 1; }},
      {"third write", [] { Files.failWriteNumber = 2; }},
      {"flush and close", [] { Files.failClose = true; }},
      {"replace", [] { Files.failReplace = true; }},
  };
  for (const Operation& op : operations) {
    for (const Failure& failure : failures) {
      SCOPED_TRACE(std::string(op.what) + ", " + failure.what);
      Reset(op.run == ReadSettingsFile && op.before.empty() ? kNone : op.before);
      SetMusicSettings();
      failure.arrange();
      const int result = op.run(kPath);
      // A write past the last piece cannot fail: that operation then succeeds.
      if (Files.failWriteNumber >= Files.writes) {
        EXPECT_EQ(result, 0);
        continue;
      }
      EXPECT_EQ(result, op.message);
      EXPECT_EQ(Content(), op.before);
      EXPECT_FALSE(Files.Exists(kTemporary));
    }
  }
}

TEST_F(SettingsFile, TheNewContentReplacesTheOldAndATemporaryFileLeftByACrash) {
  Reset("[A]\r\n" + Section(1, "X\\"));
  Files.AddFile(kTemporary, "left by a crash");
  SetMusicSettings();
  ASSERT_EQ(WriteSettingsFile(kPath), 0);
  EXPECT_EQ(Content(), "[A]\r\n[Quillbox]" + kNewEntries);
  EXPECT_FALSE(Files.Exists(kTemporary));
}

// Windows can fail a replace when a scanner or a sync client holds either file; with a
// backup name it leaves the old file whole, under its own name (1175, 1176) or the
// backup's (1177), which is moved back. Without one, 1176 removed the old file.
TEST_F(SettingsFile, AFailedReplaceLeavesTheOldFileWholeUnderItsOwnName) {
  const std::string before = "[A]\r\na=1\r\n" + Section(1, "X\\");
  struct Case {
    int error;
    bool moveBackFails;
  } cases[] = {{1175, false}, {1176, false}, {1177, false}, {1177, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.error) + (c.moveBackFails ? ", cannot be moved back" : ""));
    Reset(before);
    SetMusicSettings();
    Files.replaceError = c.error;
    Files.failMove = c.moveBackFails;
    EXPECT_EQ(WriteSettingsFile(kPath), kMsgSettingsWrite);
    EXPECT_EQ(Content(), c.moveBackFails ? kNone : before);
    EXPECT_EQ(Files.Exists(kBackup), c.moveBackFails);
    EXPECT_FALSE(Files.Exists(kTemporary));
    // The next start takes the backup, which is whole, rather than make a fresh file.
    Files.replaceError = 0;
    Files.failMove = false;
    ResetSettings();
    EXPECT_EQ(ReadSettingsFile(kPath), 0);
    EXPECT_EQ(Content(), before);
    EXPECT_FALSE(Files.Exists(kBackup));
    EXPECT_EQ(ComPort, 1);
  }
}

// A replace that fails twice over leaves the old file only under the backup name; should
// another plug-in then make a new plugin.ini with its own section alone, the next start
// takes back what the backup has and the file lacks, and the backup goes only once a
// save has stored it.
TEST_F(SettingsFile, ABackupBesideANewFileGivesBackTheSectionsItLacks) {
  const std::string before = "[A]\r\na=1\r\n" + Section(1, "X\\");
  const std::string other = "[b]\r\nb=2";  // no line break at its end
  for (int saveError : {0, 1175}) {
    SCOPED_TRACE(saveError);
    Reset(before);
    SetMusicSettings();
    Files.replaceError = 1177;
    Files.failMove = true;
    EXPECT_EQ(WriteSettingsFile(kPath), kMsgSettingsWrite);
    Files.failMove = false;
    Files.replaceError = 0;
    Files.AddFile(kPath, other);
    ResetSettings();
    EXPECT_EQ(ReadSettingsFile(kPath), 0);
    EXPECT_EQ(ComPort, 1);
    EXPECT_EQ(Content(), other);
    SetMusicSettings();
    Files.replaceError = saveError;
    EXPECT_EQ(WriteSettingsFile(kPath), saveError == 0 ? 0 : kMsgSettingsWrite);
    const std::string merged = other + "\r\n[A]\r\na=1\r\n[Quillbox]" + kNewEntries;
    // Stored, or kept whole under the backup name for the next try.
    EXPECT_EQ(Content(), saveError == 0 ? merged : other);
    EXPECT_EQ(Files.Exists(kBackup) ? Files.Content(kBackup) : kNone, saveError == 0 ? kNone : merged);
  }
}

// A temporary file left by a crash may have been cut halfway: it never becomes the file.
TEST_F(SettingsFile, ATemporaryFileIsNeverTakenForAMissingSettingsFile) {
  Files.AddFile(kTemporary, "[A]\r\na=1\r\n[Quillbox]\r\nComPort=2\r\nLibD");
  EXPECT_EQ(ReadSettingsFile(kPath), 0);
  EXPECT_EQ(Content(), kFresh);
  EXPECT_EQ(ComPort, -1);
  EXPECT_FALSE(Files.Exists(kTemporary));
}

// A file rewritten in place, before and after: the new entries longer than the old ones
// or shorter.
const std::string kInPlaceLonger = "[A]\r\n" + Section(1, "X\\") + "[B]\r\nb=2\r\n";
const std::string kInPlaceShorter = "[A]\r\n" + Section(1, std::string(30, 'X') + "\\") + "[B]\r\nb=2\r\n";
const std::string kInPlaceRewritten = "[A]\r\n[Quillbox]" + kNewEntries + "[B]\r\nb=2\r\n";

// In place, only where the folder refuses new files, and never cut: a file that cannot
// grow to its new size is left as it was, and one whose writing fails keeps its length.
TEST_F(SettingsFile, ARewriteInPlaceNeverCutsTheFile) {
  struct Case {
    const char* what;
    std::string before;
    void (*arrange)();
    int message;
  } cases[] = {
      {"a temporary file in the way, not the folder", kInPlaceLonger, [] { Files.AddFile(kTemporary, "held"); },
       kMsgSettingsWrite},
      // Its name answers "access denied" until the holder lets go: it is not free.
      {"a temporary file being deleted, not the folder", kInPlaceLonger,
       [] { Files.deletePending.push_back(kTemporary); }, kMsgSettingsWrite},
      {"a full disk and a file that must grow", kInPlaceLonger, [] { Files.freeBytes = 0; }, kMsgSettingsWrite},
      {"a full disk and a file that shrinks", kInPlaceShorter, [] { Files.freeBytes = 0; }, 0},
      {"a write that fails after the room was made", kInPlaceLonger, [] { Files.failWriteNumber = 1; },
       kMsgSettingsWrite},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reset(c.before);
    Files.refuseCreate.push_back(kTemporary);
    SetMusicSettings();
    c.arrange();
    EXPECT_EQ(WriteSettingsFile(kPath), c.message);
    EXPECT_FALSE(Files.Exists(kTemporary) && Files.Content(kTemporary) != "held");
    if (c.message == 0) {
      EXPECT_EQ(Content(), kInPlaceRewritten);
    } else if (Files.failWriteNumber < 0) {
      EXPECT_EQ(Content(), c.before);
    } else {
      EXPECT_EQ(Content().size(), kInPlaceRewritten.size()) << "grown, then never cut";
    }
  }
}

// The first run with plugin.ini a link that leads nowhere (a shared file not there yet):
// the link is refused, never replaced by a file of its own.
TEST_F(SettingsFile, ALinkThatLeadsNowhereIsNeverReplacedByAFile) {
  const std::string shared = "D:\\Shared\\plugin.ini";
  Files.AddFolder("D:\\Shared");
  Files.AddLink(kPath, shared);
  EXPECT_EQ(ReadSettingsFile(kPath), kMsgSettingsOpen);
  EXPECT_EQ(Files.links.size(), 1u);
  EXPECT_FALSE(Files.Exists(kPath));
  EXPECT_FALSE(Files.Exists(shared));
  // Once the shared file is there, the settings go into it through the link.
  Files.AddFile(shared, "[A]\r\n");
  EXPECT_EQ(ReadSettingsFile(kPath), 0);
  EXPECT_EQ(Files.Content(shared), "[A]\r\n" + kFresh);
  EXPECT_EQ(Files.links.size(), 1u);
  EXPECT_FALSE(Files.Exists(kPath));
}

// A folder where the user may write plugin.ini but make no file: the settings still reach
// it, written in place.
TEST_F(SettingsFile, AFolderThatTakesNoNewFileGetsTheFileRewrittenInPlace) {
  Reset("[A]\r\n" + Section(1, "X\\") + "[B]\r\n");
  Files.refuseCreate.push_back(kTemporary);
  SetMusicSettings();
  ASSERT_EQ(WriteSettingsFile(kPath), 0);
  EXPECT_EQ(Content(), "[A]\r\n[Quillbox]" + kNewEntries + "[B]\r\n");
  EXPECT_EQ(Files.CallsStartingWith("rewrite"), (std::vector<std::string>{std::string("rewrite ") + kPath}));
  EXPECT_FALSE(Files.Exists(kTemporary));
}

// A crash while the file is rewritten in place leaves no NULs and no piece of an old
// line: the file grows by line breaks, and the old text past a shorter new one becomes
// line breaks before it is cut. Blank lines are all the next start finds extra.
TEST_F(SettingsFile, ACrashDuringARewriteInPlaceLeavesOnlyBlankLines) {
  struct Case {
    const char* what;
    std::string before;
    const char* crashAfter;  // the call after which the process dies
    std::string left;        // what the crash leaves
    int port;                // what the next start reads
  } cases[] = {
      {"grown", kInPlaceLonger, "reserve",
       kInPlaceLonger + std::string(kInPlaceRewritten.size() - kInPlaceLonger.size(), '\n'), 1},
      {"written, not yet cut", kInPlaceShorter, "close",
       kInPlaceRewritten + std::string(kInPlaceShorter.size() - kInPlaceRewritten.size(), '\n'), 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reset(c.before);
    Files.refuseCreate.push_back(kTemporary);
    SetMusicSettings();
    ASSERT_EQ(WriteSettingsFile(kPath), 0);
    ASSERT_EQ(Content(), kInPlaceRewritten);
    std::vector<std::string> calls = Files.calls;
    size_t at = 0;
    while (at < calls.size() && calls[at].rfind(c.crashAfter, 0) != 0) at++;
    ASSERT_LT(at, calls.size());
    Reset(c.before);
    Files.refuseCreate.push_back(kTemporary);
    SetMusicSettings();
    Files.crashAfterCalls = static_cast<int>(at + 1);
    WriteSettingsFile(kPath);
    EXPECT_EQ(Content(), c.left);
    Files.crashAfterCalls = -1;
    ResetSettings();
    EXPECT_EQ(ReadSettingsFile(kPath), 0);
    EXPECT_EQ(ComPort, c.port);
  }
}

// Another plug-in saving its section between our read and our replace keeps it: the file
// is read again and the change made once more. A file that keeps changing is left alone.
TEST_F(SettingsFile, ASectionWrittenByAnotherProgramMeanwhileIsKept) {
  const std::string before = "[A]\r\na=1\r\n" + Section(1, "X\\");
  const std::string theirs = "[B]\r\nb=2\r\n";
  for (const bool inPlace : {false, true}) {
    for (const int writesByThem : {1, 2}) {
      SCOPED_TRACE(std::string(inPlace ? "in place" : "replaced") + ", written " + std::to_string(writesByThem));
      Reset(before);
      if (inPlace) Files.refuseCreate.push_back(kTemporary);
      SetMusicSettings();
      int left = writesByThem;
      Files.onPath = [&left, &theirs](const char* call, const char* path) {
        if (left > 0 && std::string(call) == "create" && std::string(path) == kTemporary) {
          left--;
          Files.AddFile(kPath, Files.Content(kPath) + theirs);
        }
      };
      const int result = WriteSettingsFile(kPath);
      Files.onPath = nullptr;
      if (writesByThem == 1) {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(Content(), "[A]\r\na=1\r\n[Quillbox]" + kNewEntries + theirs);
      } else {
        EXPECT_EQ(result, kMsgSettingsWrite);
        EXPECT_EQ(Content(), before + theirs + theirs);
      }
      EXPECT_FALSE(Files.Exists(kTemporary));
    }
  }
}

// A UTF-8 mark in front of the header must not hide it (a second section was appended,
// the settings lost); UTF-16 text would be spoilt by 8-bit lines: refused, untouched.
TEST_F(SettingsFile, AUtf8MarkIsPassedOverAndKeptAndUtf16TextIsRefused) {
  const std::string mark = "\xEF\xBB\xBF";
  Reset(mark + Section(1, "X\\"));
  EXPECT_EQ(ReadSettingsFile(kPath), 0);
  EXPECT_EQ(ComPort, 1);
  EXPECT_EQ(Content(), mark + Section(1, "X\\"));
  SetMusicSettings();
  EXPECT_EQ(WriteSettingsFile(kPath), 0);
  EXPECT_EQ(Content(), mark + "[Quillbox]" + kNewEntries);
  Reset(mark + "[A]\r\n");
  EXPECT_EQ(ReadSettingsFile(kPath), 0);
  EXPECT_EQ(Content(), mark + "[A]\r\n" + kFresh);
  for (const std::string& wide : {std::string("\xFF\xFE[\0A\0]\0", 8), std::string("\xFE\xFF\0[\0A\0]", 8)}) {
    Reset(wide);
    EXPECT_EQ(ReadSettingsFile(kPath), kMsgSettingsOpen);
    SetMusicSettings();
    EXPECT_EQ(WriteSettingsFile(kPath), kMsgSettingsOpen);
    EXPECT_EQ(Content(), wide);
    EXPECT_TRUE(Files.CallsStartingWith("create").empty());
  }
}

}  // namespace
