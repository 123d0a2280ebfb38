// The panel's half of the conversation, alone: when a command may go, how a reply finds
// the command that asked for it, and what happens to one that never comes.
#include "logic/link.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "fake_board.h"

namespace {

std::deque<LinkRequest> Wanted;  // what the panel would send next
std::string Heard;               // what the link reported, as text

// What the link reports, recorded.
void OnStatus() {}
void OnLinkChange(bool up) { Heard += up ? "up; " : "down; "; }
bool NextRequest(LinkRequest* request) {
  if (Wanted.empty()) return false;
  *request = Wanted.front();
  Wanted.pop_front();
  return true;
}
void OnReply(const LinkRequest& request, const uint8_t* payload, uint8_t) {
  Heard += std::string("reply ") + static_cast<char>(request.purpose) + " " + static_cast<char>(payload[0]) + "; ";
}
void OnNoReply(const LinkRequest& request) {
  Heard += std::string("no reply ") + static_cast<char>(request.purpose) + "; ";
}
void OnUnasked(const uint8_t* payload, uint8_t) {
  Heard += std::string("unasked ") + static_cast<char>(payload[0]) + "; ";
}

const LinkListener kRecorder = {OnStatus, OnLinkChange, NextRequest, OnReply, OnNoReply, OnUnasked};

LinkRequest Ask(char letter, uint8_t sub, ReplyForm expect, uint8_t retries = 0, uint8_t freeTicks = 0) {
  LinkRequest r = {};
  r.length = BuildCommand(r.payload, letter, sub);
  r.expect = expect;
  r.retries = retries;
  r.freeTicksAfter = freeTicks;
  r.purpose = static_cast<uint8_t>(letter);
  return r;
}

struct LinkRun {
  LinkRun() {
    ResetBoard();
    LinkReset(&kRecorder);
    Wanted.clear();
    Heard.clear();
  }
  void Bytes_(const Bytes& bytes) {
    for (uint8_t b : bytes) LinkTakeByte(b, Board.nowMs);
  }
  void Status() {
    Board.statusFramesIn++;
    Bytes_(FrameOf(StatusBytes({})));
    Board.nowMs += 50;
    LinkCheck(Board.nowMs);
  }
  void Reply(Bytes payload) { Bytes_(FrameOf(payload)); }
  // The tag of the last command sent, to stamp into a reply.
  uint8_t Tag() const { return Board.sent.back().bytes[4 + kTagAt]; }
  // Status frames after which each command went out, and its letter and sub-command.
  std::string Sent() const {
    std::string all;
    for (const SentFrame& f : Board.sent) {
      all +=
          std::to_string(f.afterStatusFrames) + ":" + static_cast<char>(f.bytes[4]) + std::to_string(f.bytes[6]) + " ";
    }
    return all;
  }
};

TEST(Link, OneCommandPerStatusFrameAndAFreeTickForEachReply) {
  LinkRun run;
  Wanted = {Ask('P', kNext, ReplyForm::None), Ask('S', kLouder, ReplyForm::None),
            Ask('Q', kPlaylistTitles, ReplyForm::ListChosen), Ask('P', kStop, ReplyForm::None)};
  run.Bytes_({0x55, 0xAA, 0x00});  // half a frame at start-up gives no tick
  for (int tick = 0; tick < 3; tick++) run.Status();
  EXPECT_EQ(run.Sent(), "1:P7 2:S0 3:Q3 ");
  run.Status();  // the tick that brings the reply: no command
  run.Reply({'L', run.Tag(), 5, 0, 0, 0});
  run.Status();
  EXPECT_EQ(run.Sent(), "1:P7 2:S0 3:Q3 5:P6 ");
  EXPECT_EQ(Heard, "up; reply Q L; ");
}

TEST(Link, AReplyIsPairedByFormAndTagAndALostOneAskedAgainOnlyWhileItHasTries) {
  struct Case {
    const char* what;
    LinkRequest asked;
    std::function<Bytes(uint8_t tag)> reply;  // empty: none comes
    std::string heard;
    std::string sent;
  } cases[] = {
      {"the answer", Ask('I', 1, ReplyForm::SongInfo),
       [](uint8_t t) {
         Bytes p(100, 0);
         p[0] = 'I';
         p[1] = t;
         return p;
       },
       "up; reply I I; ", "1:I1 "},
      {"an end of list answers a chunk request", Ask('L', kNextChunk, ReplyForm::ListChunk),
       [](uint8_t t) { return Bytes{'L', t, 3, 0, 0, 0}; }, "up; reply L L; ", "1:L0 "},
      {"another command's tag is no answer", Ask('E', kSave, ReplyForm::Edited),
       [](uint8_t t) { return Bytes{'E', static_cast<uint8_t>(t + 1), 6, 0, 0, 0, 0, 0, 0, 0}; },
       "up; unasked E; no reply E; ", "1:E4 "},
      // the plug-in's own "Q" after the player's playlist changed carries tag 0
      {"the plug-in's own list choice is no answer", Ask('Q', kRoot, ReplyForm::ListChosen),
       [](uint8_t) { return Bytes{'L', 0, 5, 0, 0, 0}; }, "up; unasked L; no reply Q; ", "1:Q2 "},
      {"a lost reply is asked again once",
       Ask('Q', kRoot, ReplyForm::ListChosen, 1),
       {},
       "up; no reply Q; ",
       "1:Q2 3:Q2 "},
      {"no tries: given up at once", Ask('F', 0, ReplyForm::Dumped), {}, "up; no reply F; ", "1:F0 "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LinkRun run;
    Wanted = {c.asked};
    run.Status();
    run.Status();
    if (c.reply) run.Reply(c.reply(run.Tag()));
    for (int tick = 0; tick < 4; tick++) run.Status();
    EXPECT_EQ(Heard, c.heard);
    EXPECT_EQ(run.Sent(), c.sent);
  }
}

TEST(Link, AChangeOfThePlaylistGetsAFreeTickForThePluginsOwnReply) {
  LinkRun run;
  Wanted = {Ask('P', kPlayBrowsed, ReplyForm::None, 0, 2), Ask('P', kNext, ReplyForm::None)};
  for (int tick = 0; tick < 4; tick++) run.Status();
  EXPECT_EQ(run.Sent(), "1:P3 4:P7 ");
}

TEST(Link, AQuietLineIsNoLinkAndTakesWhatWasInFlight) {
  LinkRun run;
  Wanted = {Ask('I', 0, ReplyForm::SongInfo, 1)};
  run.Status();
  Board.nowMs += kNoLinkMs;
  LinkCheck(Board.nowMs);
  EXPECT_EQ(Heard, "up; no reply I; down; ");
  run.Status();
  EXPECT_EQ(Heard, "up; no reply I; down; up; ");
}

TEST(Link, AStatusFrameFoundBehindABrokenOneGivesNoTick) {
  LinkRun run;
  Wanted = {Ask('P', kNext, ReplyForm::None)};
  Board.statusFramesIn++;
  // A false start promising 200 bytes swallows a status frame; when it fails, the status
  // frame is found, but more of the line came after it already.
  Bytes line = {0x55, 0xAA, 0, 200};
  const Bytes status = FrameOf(StatusBytes({}));
  line.insert(line.end(), status.begin(), status.end());
  line.insert(line.end(), 110, 0x13);
  run.Bytes_(line);
  EXPECT_EQ(Heard, "up; ");
  EXPECT_EQ(run.Sent(), "");
  run.Status();
  EXPECT_EQ(run.Sent(), "2:P7 ");
}

}  // namespace
