#include "logic/panel.h"

#include "logic/board_io.h"
#include "logic/keys.h"
#include "logic/link.h"
#include "logic/notice.h"
#include "logic/requests.h"
#include "logic/status_view.h"
#include "logic/title_scroll.h"
#include "logic/transport_keys.h"

namespace {


Screen Shown;
KeyFilter Keys;
TitleScroll Title;
bool Dirty = true;

void DrawNoLink() {
  PutFlash(&Shown, 0, 0, FLASH_TEXT("No link"));
  PutFlash(&Shown, 1, 0, FLASH_TEXT("Quillbox panel"));
}

void DrawStatus(uint32_t nowMs) {
  PutStatusRow(&Shown, 0, PanelLink.status, TimeLeftAsked());
  if (NoticeShown(nowMs)) {
    PutNotice(&Shown, 1);
  } else if (PanelLink.status.length == 0) {
    PutFlash(&Shown, 1, 0, FLASH_TEXT("Playlist empty"));
  } else {
    ScrollPut(Title, &Shown, 1);
  }
}

void Draw(uint32_t nowMs) {
  ClearScreen(&Shown);
  Shown.light = true;
  if (PanelLink.up) {
    DrawStatus(nowMs);
  } else {
    DrawNoLink();
  }
  DisplayShow(Shown);
}

void OnKey(const KeyEvent& event, uint32_t nowMs) {
  if (!PanelLink.up) return;
  if (StatusScreenKey(event, nowMs) != StatusKeyResult::Ignored) Dirty = true;
}

}  // namespace

// ---- what the link reports ----

void PanelOnStatus() {
  const PanelStatus& status = PanelLink.status;
  NoteTimeShown(status.minutes, status.seconds);
  ScrollSetTitle(&Title, status.length > 0 ? status.title : "", BoardMillis());
  Dirty = true;
}

void PanelOnLinkChange(bool up) {
  if (!up) ClearRequests();  // keys pressed for a plug-in that is gone
  Dirty = true;
}

bool PanelNextRequest(Request* request) { return TakeQueuedRequest(request); }

void PanelOnReply(const Request&, const uint8_t*, uint8_t) {}

void PanelOnNoReply(const Request&) {}

void PanelOnUnasked(const uint8_t*, uint8_t) {}

// ---- the loop ----

void PanelStart() {
  LinkReset();
  ClearRequests();
  KeyFilterReset(&Keys);
  Title = TitleScroll{};
  Dirty = true;
  Draw(BoardMillis());
}

void PanelStep() {
  const uint32_t now = BoardMillis();
  uint8_t byte;
  while (LineTakeByte(&byte)) LinkTakeByte(byte, now);
  LinkCheck(now);
  uint16_t reading;
  KeyEvent event;
  if (BoardKeyReading(&reading) && KeySample(&Keys, reading, now, &event)) OnKey(event, now);
  if (ScrollStep(&Title, now) || NoticeEnded(now)) Dirty = true;
  if (!Dirty) return;
  Dirty = false;
  Draw(now);
}

const Screen& PanelScreen() { return Shown; }
