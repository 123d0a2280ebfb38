// The soak's panel. It answers each fresh status frame with one decision: nothing, a
// whole command, a broken frame or a burst. After a command it leaves the next tick idle,
// so that the reply can come; after a broken frame it waits until the garbage must have
// been read off the line and then asks "L" 6, which is always answered: the line has
// recovered. An "F" goes out only on a clean line and nothing follows it until its
// acknowledgement or five ticks, so that each dump is told to the soak and only one can
// be under way: at its acknowledgement exactly one file has reached the dump folder
// (none when the file was in the dump folder already), and none without one.
//
// Every few seconds the player must answer "sync", every minute or so the playlist
// changes from the player's side, and once dumps have taken most songs new ones come.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "file_ledger.h"
#include "panel_line.h"
#include "player_process.h"
#include "traffic.h"

// Bounds the soak holds the plug-in and the player to.
constexpr double kTickBoundMs = 2000;  // from one status frame to the next
constexpr int kSyncBoundMs = 5000;     // the player's answer to "sync"

struct SoakFigures {
  std::map<std::string, int> sent;     // whole commands by letter, and probes
  std::map<std::string, int> broken;   // broken frames and bursts by kind
  std::map<std::string, int> replies;  // by kind
  int frames = 0;                      // everything the plug-in sent
  std::vector<double> periods;         // between status frames, on the panel's clock
  int syncs = 0;
  double slowestSyncMs = 0;
  int dumpsMoved = 0;       // acknowledged, one file moved
  int dumpsInPlace = 0;     // acknowledged, the file already in the dump folder
  int dumpsRefused = 0;     // no acknowledgement, nothing moved
  int probes = 0;          // "L" 6 sent once the line was clean again after broken frames
  int probesAnswered = 0;
  int restocked = 0;
  int outsideChanges = 0;
  std::vector<std::string> failures;
};

class SoakDriver {
 public:
  SoakDriver(PanelLine& line, PlayerProcess& player, FileLedger& ledger, uint32_t seed);
  // Until the time is up or a check fails.
  void Run(double minutes);
  // Lets an awaited answer come in, sending nothing more.
  void Drain();
  SoakFigures& Figures() { return f_; }

 private:
  enum class Await { kNothing, kDump, kProbe };
  bool NextTick();
  void Observe(const Frame& frame);
  void OnStatus(const Frame& frame);
  void OnReply(const Frame& frame);
  void Act();
  void Send(const Outgoing& out, bool dirty);
  void Expect(Await what, uint8_t tag);
  void Settle(bool answered);
  void Sync();
  void ChangeFromOutside();
  bool Clean() const { return backlog_ == 0 && quietTicks_ >= 2; }
  void Fail(const std::string& what) { f_.failures.push_back(what); }

  PanelLine& line_;
  PlayerProcess& player_;
  FileLedger& ledger_;
  Traffic traffic_;
  SoakFigures f_;
  size_t seen_ = 0;            // frames observed
  int ticks_ = 0;              // status frames observed
  double lastStatusMs_ = 0;
  PanelView view_;
  std::string folder_;         // as the last status frame names it
  int skip_ = 0;               // ticks to leave idle
  size_t backlog_ = 0;         // bytes that may still wait on the line, at most
  int quietTicks_ = 0;         // ticks since the backlog ran out
  bool probeDue_ = false;
  Await await_ = Await::kNothing;
  uint8_t tag_ = 0x80;         // byte 1 of the awaited command
  int awaitSince_ = 0;         // ticks_ when it went out
  bool dumpMayStay_ = false;   // the awaited dump may name a file in the dump folder
  double nextSyncMs_ = 0;
  double nextChangeMs_ = 0;
};
