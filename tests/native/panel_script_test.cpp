// The panel emulator's script language and runner, against a fake plug-in; and its keys.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "fakes/fake_plugin_line.h"
#include "keymap.h"
#include "script.h"
#include "script_runner.h"

namespace {

TEST(PanelScript, ChecksEveryLineBeforeRunning) {
  struct Case {
    const char* line;
    bool ok;
    std::vector<std::string> args;
  } cases[] = {
      {"browse root", true, {"root"}},
      {"enter Blue Train", true, {"Blue Train"}},  // the last argument takes the rest
      {"move 3 0", true, {"3", "0"}},
      {"info playlist 0", true, {"playlist", "0"}},
      {"raw 50 00 06", true, {"50", "00", "06"}},
      {"wait 0.5", true, {"0.5"}},
      {"fly away", false, {}},     // no such command
      {"volume loud", false, {}},  // not one of its words
      {"wait soon", false, {}},    // not a number
      {"raw 5G", false, {}},       // not hexadecimal
      {"move 3", false, {}},       // too few arguments
      {"stop now", false, {}},     // too many
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    std::vector<ScriptError> errors;
    const auto steps = ParseScript(std::string("# a comment\n\n") + c.line + "\n", &errors);
    EXPECT_EQ(errors.empty(), c.ok);
    if (!c.ok) {
      ASSERT_EQ(errors.size(), 1u);
      EXPECT_EQ(errors[0].line, 3);
      continue;
    }
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].args, c.args);
  }
}

std::string RunText(FakePluginLine& line, const std::string& script, int* status) {
  std::vector<ScriptError> errors;
  const auto steps = ParseScript(script, &errors);
  EXPECT_TRUE(errors.empty());
  char* text = nullptr;
  size_t size = 0;
  std::FILE* out = open_memstream(&text, &size);
  *status = RunScript(steps, line, out, ScriptOptions{5000});
  std::fclose(out);
  std::string printed(text, size);
  std::free(text);
  return printed;
}

TEST(PanelScript, RunsAgainstTheLineAndPrintsWhatHappens) {
  FakePluginLine line;
  line.plugin.lists[1] = {"\\Jazz", "Song A"};
  line.plugin.lists[0] = {"Song A"};
  line.plugin.status[4] = 2;  // stopped
  int status = 0;
  const std::string out = RunText(line,
                                  "browse root\n"
                                  "play Song A\n"
                                  "enter jazz\n"
                                  "playlist\n"
                                  "info 0\n"
                                  "delete 5\n"
                                  "delete 0\n",
                                  &status);
  const char* expected[] = {
      "> browse root\nstatus stopped 0:00 shuffle off pos 0/0 \"\" folder \"\"\n",
      "chosen: folder list\nlist folder 2\n  0 \\Jazz\n  1 Song A\n",
      "> enter jazz\nchosen: folder list\n",  // a folder by its bare name, letter case ignored
      "> playlist\nchosen: playlist\nlist playlist 1\n  0 Song A\n",
      "info artist \"Artist\" title \"Song\" length 4:05 bitrate 128 year 2005 type mp3\n",
      "> delete 5\nrefused: no entry 5 in the playlist list\n",
      "> delete 0\ndone delete 0\n",
      "end frames ",
  };
  for (const char* e : expected) EXPECT_NE(out.find(e), std::string::npos) << e << "\n---\n" << out;
  EXPECT_EQ(status, 1);  // the refused step
  // "play Song A" in the folder list is "P" 3 with index 1
  bool played = false;
  for (const auto& c : line.plugin.commands) played |= c.payload[0] == 'P' && c.payload[2] == 3 && c.payload[4] == 1;
  EXPECT_TRUE(played);
}

TEST(PanelScript, ReportsALineThatNeverSpeaks) {
  FakePluginLine line;
  line.silent = true;
  int status = 0;
  const std::string out = RunText(line, "stop\n", &status);
  EXPECT_NE(out.find("line quiet"), std::string::npos);
  EXPECT_NE(out.find("timeout: stop not done"), std::string::npos);
  EXPECT_EQ(status, 1);
}

TEST(PanelKeys, EveryActionHasOneHelpedKeyAndNoKeyTwoActions) {
  std::set<int> keys;
  std::set<KeyAction> helped;
  for (const KeyBinding& b : KeyBindings()) {
    EXPECT_TRUE(keys.insert(b.key).second) << b.name;
    if (b.help[0]) EXPECT_TRUE(helped.insert(b.action).second) << b.name;
  }
  for (int a = static_cast<int>(KeyAction::Play); a <= static_cast<int>(KeyAction::Quit); a++) {
    EXPECT_TRUE(helped.count(static_cast<KeyAction>(a))) << a;
  }
  EXPECT_EQ(ActionForKey('\r'), KeyAction::Open);  // terminals send either for Enter
  EXPECT_EQ(ActionForKey('q'), KeyAction::Quit);
  EXPECT_EQ(KeyHelpLines().size(), helped.size());
}

}  // namespace
