#include "transport_keys.h"

#include "link.h"
#include "notice.h"
#include "requests.h"

namespace {

bool TimeLeft = false;

void Send(char letter, uint8_t sub, FlashText said, uint32_t nowMs) {
  const bool queued = QueueRequest(MakeRequest(letter, sub, 0, ReplyForm::None, kForTransport));
  ShowNotice(queued ? said : FLASH_TEXT("Busy, try again"), nowMs);
}

// Play from a stopped player; otherwise pause, or resume a paused one.
void PlayOrPause(uint32_t nowMs) {
  const uint8_t state = PanelLink.status.playState;
  if (state == kStopped) return Send('P', kPlay, FLASH_TEXT("Play"), nowMs);
  Send('P', kPause, state == kPaused ? FLASH_TEXT("Resume") : FLASH_TEXT("Pause"), nowMs);
}

StatusKeyResult Short(Key key, uint32_t nowMs) {
  switch (key) {
    case Key::Select: PlayOrPause(nowMs); break;
    case Key::Left: Send('P', kPrevious, FLASH_TEXT("Previous song"), nowMs); break;
    case Key::Right: Send('P', kNext, FLASH_TEXT("Next song"), nowMs); break;
    case Key::Up: StepVolume(true, nowMs); break;
    case Key::Down: StepVolume(false, nowMs); break;
    case Key::None: return StatusKeyResult::Ignored;
  }
  return StatusKeyResult::Done;
}

StatusKeyResult Long(Key key, uint32_t nowMs) {
  switch (key) {
    case Key::Select: return StatusKeyResult::OpenMenu;
    case Key::Down: return StatusKeyResult::OpenPlaylist;
    case Key::Left: StopPlayback(nowMs); break;
    case Key::Right: SwitchShuffle(nowMs); break;
    case Key::Up: SwitchTime(nowMs); break;
    case Key::None: return StatusKeyResult::Ignored;
  }
  return StatusKeyResult::Done;
}

}  // namespace

void SwitchShuffle(uint32_t nowMs) {
  if (PanelLink.status.shuffle != 0) return Send('O', kShuffleOff, FLASH_TEXT("Shuffle off"), nowMs);
  Send('O', kShuffleOn, FLASH_TEXT("Shuffle on"), nowMs);
}

void SwitchTime(uint32_t nowMs) {
  TimeLeft = !TimeLeft;
  Send('O', kTimeMode, TimeLeft ? FLASH_TEXT("Time left") : FLASH_TEXT("Time played"), nowMs);
}

void StopPlayback(uint32_t nowMs) { Send('P', kStop, FLASH_TEXT("Stop"), nowMs); }

void StepVolume(bool louder, uint32_t nowMs) {
  if (louder) return Send('S', kLouder, FLASH_TEXT("Volume up"), nowMs);
  Send('S', kSofter, FLASH_TEXT("Volume down"), nowMs);
}

StatusKeyResult StatusScreenKey(const KeyEvent& event, uint32_t nowMs) {
  if (event.action == KeyAction::Short) return Short(event.key, nowMs);
  if (event.action == KeyAction::Long) return Long(event.key, nowMs);
  return StatusKeyResult::Ignored;
}

bool TimeLeftAsked() { return TimeLeft; }

void NoteTimeShown(int8_t minutes, int8_t seconds) {
  (void)minutes;  // whole minutes left (seconds 0) cannot be told from a long song played
  if (seconds < 0) TimeLeft = true;
}
