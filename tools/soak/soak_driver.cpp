#include "soak_driver.h"

#include <unistd.h>

#include "soak_setup.h"

namespace {

constexpr int kHangMs = 5000;         // no status frame for this long: the plug-in hangs
constexpr double kFreshMs = 8;        // a status frame older than this: its tick has stopped listening
constexpr int kAwaitTicks = 5;        // an awaited answer comes within two ticks
constexpr double kSyncEveryMs = 3000;
constexpr double kChangeEveryMs = 40000;
constexpr int kRestockBelow = 12;     // playable files of ours still in place
constexpr size_t kChunkLength = 244;
constexpr size_t kChunkEntryBytes = 239;
const std::string kDumpFolderName = std::string("\\") + kDumpFolder + "\\";

bool IsAck(const Frame& f, char letter, size_t length, uint8_t status) {
  return f.payload.size() == length && f.payload[0] == letter && f.payload[2] == status;
}

// A chunk holds back-to-back titles, each ending with a NUL within its used length, and
// zeros behind it.
bool WellFormedChunk(const Bytes& p) {
  const size_t used = p[3];
  if (used < 1 || used > kChunkEntryBytes || p[1] != 0 || p[2] != 0 || p[4 + used - 1] != 0) return false;
  for (size_t i = 4 + used; i < p.size(); i++) {
    if (p[i] != 0) return false;
  }
  return true;
}

}  // namespace

SoakDriver::SoakDriver(PanelLine& line, PlayerProcess& player, FileLedger& ledger, uint32_t seed)
    : line_(line), player_(player), ledger_(ledger), traffic_(seed) {
  ledger_.DumpArrivals();  // what is there now is not a dump
}

void SoakDriver::Run(double minutes) {
  seen_ = line_.FrameCount();
  const double end = NowMs() + minutes * 60000;
  nextSyncMs_ = NowMs() + kSyncEveryMs;
  nextChangeMs_ = NowMs() + kChangeEveryMs;
  while (NowMs() < end && f_.failures.empty() && NextTick()) {
    if (await_ == Await::kNothing && NowMs() >= nextSyncMs_) {
      Sync();
    } else if (await_ == Await::kNothing && NowMs() >= nextChangeMs_) {
      ChangeFromOutside();
    } else {
      Act();
    }
  }
}

void SoakDriver::Drain() {
  for (int i = 0; i < 2 * kAwaitTicks && await_ != Await::kNothing && f_.failures.empty(); i++) NextTick();
}

// Observes everything up to a status frame that is still fresh. False when none came.
bool SoakDriver::NextTick() {
  for (;;) {
    if (!line_.WaitFor(seen_, [](const Frame& f) { return DecodeStatus(f.payload).has_value(); }, kHangMs)) {
      Fail("no status frame for " + std::to_string(kHangMs / 1000) + " s: the plug-in hangs");
      return false;
    }
    const std::vector<Frame> frames = line_.FramesFrom(seen_);
    seen_ += frames.size();
    for (const Frame& frame : frames) Observe(frame);
    if (NowMs() - lastStatusMs_ <= kFreshMs) return true;
  }
}

void SoakDriver::Observe(const Frame& frame) {
  f_.frames++;
  if (DecodeStatus(frame.payload)) {
    OnStatus(frame);
  } else {
    OnReply(frame);
  }
}

void SoakDriver::OnStatus(const Frame& frame) {
  const Status status = *DecodeStatus(frame.payload);
  if (!status.titleTerminated || !status.folderTerminated) Fail("a status frame with an unterminated text field");
  if (ticks_ > 0) {
    const double period = frame.atMs - lastStatusMs_;
    f_.periods.push_back(period);
    if (period > kTickBoundMs) Fail("a tick of " + std::to_string(static_cast<int>(period)) + " ms");
  }
  ticks_++;
  lastStatusMs_ = frame.atMs;
  view_.playlistLength = status.length;
  folder_ = status.folder;
  // Each tick takes at least four bytes off the line when there are any.
  backlog_ = backlog_ > 4 ? backlog_ - 4 : 0;
  quietTicks_ = backlog_ == 0 ? quietTicks_ + 1 : 0;
  if (await_ != Await::kNothing && ticks_ - awaitSince_ > kAwaitTicks) Settle(false);
}

void SoakDriver::OnReply(const Frame& frame) {
  const Bytes& p = frame.payload;
  std::string kind;
  if (IsAck(frame, 'L', 6, 5)) {
    kind = "\"Q\" list chosen";
  } else if (IsAck(frame, 'L', 6, 1)) {
    kind = "\"L\" restarted";
    if (await_ == Await::kProbe && p[1] == tag_) Settle(true);
  } else if (IsAck(frame, 'L', 6, 3)) {
    kind = "\"L\" end of list";
  } else if (p.size() == kChunkLength && p[0] == 'D') {
    kind = "\"L\" chunk";
    if (!WellFormedChunk(p)) Fail("a malformed chunk");
  } else if (p.size() == 100 && p[0] == 'I') {
    kind = "\"I\" song information";
  } else if (IsAck(frame, 'E', 10, 6)) {
    kind = "\"E\" done";
  } else if (IsAck(frame, 'F', 6, 2)) {
    kind = "\"F\" dumped";
    if (await_ == Await::kDump && p[1] == tag_) {
      Settle(true);
    } else {
      Fail("a dump acknowledged that the soak was not waiting for");
    }
  } else {
    Fail("an unexpected frame of " + std::to_string(p.size()) + " bytes");
    return;
  }
  f_.replies[kind]++;
}

void SoakDriver::Act() {
  if (await_ != Await::kNothing) return;  // nothing on the line until the answer
  if (skip_ > 0) {
    skip_--;
    return;
  }
  if (probeDue_) {
    if (Clean()) {
      probeDue_ = false;
      Expect(Await::kProbe, tag_);
      Send(Traffic::Probe(tag_), false);
      f_.probes++;
      return;
    }
    if (traffic_.Percent() < 85) return;  // mostly let the garbage drain; sometimes add to it
  }
  const int r = traffic_.Percent();
  if (r < 15) return;  // an idle tick now and then, besides those after each command
  if (r < 22) {
    const Outgoing out = traffic_.Broken(view_);
    f_.broken[out.kind]++;
    Send(out, true);
    probeDue_ = true;
    return;
  }
  if (r < 34 && Clean()) {
    Expect(Await::kDump, tag_);
    const Outgoing out = traffic_.Dump(view_, tag_);
    // The browsed list of the dump folder, or a playlist entry, may name a file that is
    // there already: moving it onto itself succeeds and moves nothing.
    dumpMayStay_ = out.first[6] == 1 || folder_ == kDumpFolderName;
    f_.sent["F"]++;
    Send(out, false);
    return;
  }
  const Outgoing out = traffic_.Command(view_);
  f_.sent[out.kind]++;
  Send(out, false);
}

void SoakDriver::Send(const Outgoing& out, bool dirty) {
  const size_t bytes = out.first.size() + out.second.size();
  if (dirty || backlog_ > 0) backlog_ += bytes;
  line_.SendRaw(out.first);
  if (!out.second.empty()) {
    usleep(static_cast<useconds_t>(5000 + (out.second.size() % 36) * 1000));  // 5 to 40 ms
    line_.SendRaw(out.second);
  }
  skip_ = 1;
}

void SoakDriver::Expect(Await what, uint8_t tag) {
  await_ = what;
  tag_ = tag;
  awaitSince_ = ticks_;
}

void SoakDriver::Settle(bool answered) {
  const Await was = await_;
  await_ = Await::kNothing;
  tag_ = static_cast<uint8_t>(tag_ == 0xFE ? 0x80 : tag_ + 1);
  if (was == Await::kProbe) {
    f_.probesAnswered += answered;
    if (!answered) Fail("the line did not recover: \"L\" 6 unanswered after broken frames");
    return;
  }
  const int arrived = ledger_.DumpArrivals();
  if (!answered) {
    f_.dumpsRefused++;
    if (arrived != 0) Fail("a file reached the dump folder without an acknowledgement");
  } else if (arrived == 1) {
    f_.dumpsMoved++;
  } else if (arrived == 0 && dumpMayStay_) {
    f_.dumpsInPlace++;
  } else {
    Fail("a dump acknowledged with " + std::to_string(arrived) + " files arriving in the dump folder");
  }
}

void SoakDriver::Sync() {
  const double start = NowMs();
  const std::string answer = player_.Command({"sync"}, kSyncBoundMs);
  const double took = NowMs() - start;
  f_.syncs++;
  if (took > f_.slowestSyncMs) f_.slowestSyncMs = took;
  if (answer != "ok\tsync") Fail("the player did not answer \"sync\" within " + std::to_string(kSyncBoundMs) + " ms");
  if (!player_.WaitForLine("fault", 0).empty()) Fail("the player reported a fault");
  if (ledger_.DumpArrivals() != 0) Fail("a file reached the dump folder while no dump was under way");
  if (ledger_.PlayableInPlace() < kRestockBelow) Restock(ledger_, ++f_.restocked);
  nextSyncMs_ = NowMs() + kSyncEveryMs;
}

void SoakDriver::ChangeFromOutside() {
  const std::string refused = ChangePlayerSide(player_, f_.outsideChanges++, kSyncBoundMs);
  if (!refused.empty()) Fail(refused);
  nextChangeMs_ = NowMs() + kChangeEveryMs;
}
