#include "script_runner.h"

#include "panel_snapshot.h"

namespace {

// After a press the key stays up this long before the next command: a person's fingers
// are no faster, and a firmware takes a key as up only after a few readings of no key.
constexpr double kKeyUpMs = 60;

}  // namespace

bool ScriptRunner::Tick() {
  for (;;) {
    if (quit_) return false;
    if (active_ && Going()) return true;
    active_ = false;
    if (steps_.empty()) return !ended_;
    step_ = steps_.front();
    steps_.pop_front();
    active_ = !Begin(step_);
  }
}

bool ScriptRunner::Begin(const ScriptStep& step) {
  const double now = board_.NowMs();
  startMs_ = now;
  switch (step.kind) {
    case StepKind::Press:
    case StepKind::Hold:
      board_.SetKey(step.key);
      keyDown_ = true;
      untilMs_ = now + step.ms;
      return false;
    case StepKind::Turn:
    case StepKind::Push:
      if (step.kind == StepKind::Turn ? board_.Turn(step.detents, step.rate, step.pushed) : board_.Push(step.ms)) {
        keyDown_ = step.kind == StepKind::Push || step.pushed;
        return false;
      }
      out_.Print("problem " + Ms(now) + " no encoder on this panel (--encoder adds one to the shield)");
      anyTimeout_ = true;
      return true;
    case StepKind::Wait:
    case StepKind::Snapshot:
      return false;
    case StepKind::Sleep:
      untilMs_ = now + step.ms;
      return false;
    case StepKind::Unplug:
      board_.Unplug();
      return true;
    case StepKind::Plug:
      board_.Plug();
      return true;
    case StepKind::Reset:
      board_.ResetPin();
      return true;
    case StepKind::ResetInWrite:
      board_.ResetInWrite(step.count);
      return true;
    case StepKind::BrownOut:
      board_.BrownOut();
      return true;
    case StepKind::Stats:
      out_.Print(StatsLine(board_.Figures()));
      return true;
    case StepKind::Quit:
      quit_ = true;
      return true;
  }
  return true;
}

bool ScriptRunner::Going() {
  const double now = board_.NowMs();
  switch (step_.kind) {
    case StepKind::Press:
    case StepKind::Hold:
      if (now < untilMs_) return true;
      if (!keyDown_) return false;
      board_.SetKey(PanelKey::None);
      keyDown_ = false;
      untilMs_ = now + kKeyUpMs;
      return true;
    case StepKind::Turn:
    case StepKind::Push:
      // A push, or a turn with the knob pushed, lets the switch rest open before the next
      // command, as a thumb does.
      if (!board_.EncoderIdle()) return true;
      if (!keyDown_) return now < untilMs_;
      keyDown_ = false;
      untilMs_ = now + kKeyUpMs;
      return true;
    case StepKind::Wait:
      if (ShowsText(step_.text)) {
        out_.Print("waited " + Ms(now) + " " + step_.text);
        return false;
      }
      if (now - startMs_ < timeoutMs_) return true;
      out_.Print("timeout " + Ms(now) + " " + step_.text);
      anyTimeout_ = true;
      return false;
    case StepKind::Sleep:
      return now < untilMs_;
    case StepKind::Snapshot:
      return !TookSnapshot(now);
    default:
      return false;
  }
}

// A display at rest for kSettleMs, as a wait sees it: the snapshot is of a whole screen,
// not of one half-drawn.
bool ScriptRunner::TookSnapshot(double now) {
  const DisplayController& display = board_.Controller();
  if (now - display.LastChangeMs() >= kSettleMs) {
    const PanelSnapshot s = TakeSnapshot(display.Memory(), board_.Light(), board_.Size());
    out_.Print("snapshot " + Ms(now) + " " + SnapshotText(step_.text, s));
    return true;
  }
  if (now - startMs_ < timeoutMs_) return false;
  out_.Print("timeout " + Ms(now) + " snapshot " + step_.text);
  anyTimeout_ = true;
  return true;
}

bool ScriptRunner::ShowsText(const std::string& text) const {
  const DisplayWatch& d = board_.Display();
  if (!d.AnyShown()) return false;
  const Screen& s = d.Shown();
  for (int row = 0; row < s.size.rows; row++) {
    if (s.RowText(row).find(text) != std::string::npos) return true;
  }
  return false;
}
