#include "panel.h"

#include "actions.h"
#include "board_io.h"
#include "confirm_view.h"
#include "encoder.h"
#include "info_view.h"
#include "key_check_view.h"
#include "key_ladder.h"
#include "key_setup_view.h"
#include "keys.h"
#include "link.h"
#include "list_transfer.h"
#include "list_view.h"
#include "menu.h"
#include "move_view.h"
#include "notice.h"
#include "panel_setup.h"
#include "requests.h"
#include "search_view.h"
#include "setup_view.h"
#include "status_view.h"
#include "stored_record.h"
#include "title_scroll.h"
#include "transport_keys.h"
#include "views.h"

namespace {

Screen Shown;
KeyFilter Keys;
View Current = View::Status;
Menu Choices;               // the menu shown, when a menu is
Key Swallowed = Key::None;  // the rest of a press that changed the screen belongs to no one
bool Dirty = true;
bool HeldFromStart = true;  // every reading since start-up was a key: the key check (the setup, for the push) opens
View OwnScreenFrom = View::Status;  // where the key check or the setup goes back to
bool CalibrationSaving = false;     // "Keys calibrated" is owed once its record is written

bool KeyScreen(View view) { return view == View::KeyCheck || view == View::KeySetup; }
// The screens that work with no plug-in on the line: the panel's own.
bool OwnScreen(View view) { return KeyScreen(view) || view == View::Setup; }

void OpenKeyScreen(View view, uint32_t nowMs) {
  if (view == View::KeySetup) return OpenKeySetup(nowMs);
  OpenKeyCheck();
  if (KeyScreen(Current)) return;
  OwnScreenFrom = Current;
  ShowNotice(LadderCalibrated() ? FLASH_TEXT("Keys: calibrated") : FLASH_TEXT("Keys: default"), nowMs);
}

// The status screen's title, in the one scroll every screen shares: on a 20x4 it has two
// rows, and a title of up to 40 characters stands still.
void SetStatusTitle(uint32_t nowMs) {
  const PanelStatus& status = PanelLink.status;
  ScrollSetTitle(&ViewScroll, status.length > 0 ? status.title : "", nowMs, static_cast<uint8_t>(Columns() * (Rows() / 2)));
}

void Go(View view, uint32_t nowMs) {
  // A list is kept filled only while it is on the screen or one step away from it.
  if (view == View::Status || view == View::Menu) CloseShownList();
  if (view == View::Menu) Choices = MainMenu();
  if (view == View::Options) Choices = OptionsMenu();
  if (view == View::Actions) Choices = EntryMenu();
  if (view == View::Search) OpenSearch();
  if (view == View::Info) OpenInfo(nowMs);
  if (KeyScreen(view)) OpenKeyScreen(view, nowMs);
  if (view == View::Setup && Current != View::Setup) {
    OpenSetup();
    OwnScreenFrom = Current;
  }
  if (view == View::Status) SetStatusTitle(nowMs);
  Current = view;
  Dirty = true;
}

void Follow(Next next, uint32_t nowMs) {
  switch (next) {
    case Next::Stay: break;
    case Next::Status: Go(View::Status, nowMs); break;
    case Next::List: Go(View::List, nowMs); break;
    case Next::Menu: Go(View::Menu, nowMs); break;
    case Next::Options: Go(View::Options, nowMs); break;
    case Next::SearchText: Go(View::Search, nowMs); break;
    case Next::Info: Go(View::Info, nowMs); break;
    case Next::ConfirmDump:
      AskToConfirm(Question::Dump, ActionTitle(), nowMs);
      Go(View::Confirm, nowMs);
      break;
    case Next::ConfirmClear:
      AskToConfirm(Question::Clear, "", nowMs);
      Go(View::Confirm, nowMs);
      break;
    case Next::MovePlace: Go(View::Move, nowMs); break;
    case Next::KeyCheck: Go(View::KeyCheck, nowMs); break;
    case Next::Setup: Go(View::Setup, nowMs); break;
  }
  Dirty = true;
}

// ---- keys, screen by screen ----

void StatusKey(const KeyEvent& e, uint32_t nowMs) {
  switch (StatusScreenKey(e, nowMs)) {
    case StatusKeyResult::OpenMenu: Go(View::Menu, nowMs); break;
    case StatusKeyResult::OpenPlaylist: Follow(DoAction(Action::ShowPlaylist, nowMs), nowMs); break;
    default: break;
  }
}

void MenuKey(const KeyEvent& e, uint32_t nowMs) {
  if (::MenuKey(&Choices, e)) return;
  if (e.action != KeyAction::Short) return;
  if (e.key == Key::Left) {
    Go(Current == View::Options ? View::Menu : Current == View::Actions ? View::List : View::Status, nowMs);
  } else if (e.key == Key::Select || e.key == Key::Right) {
    const View from = Current;
    const Next next = DoAction(MenuChosen(Choices), nowMs);
    // An entry's action that waits for its reply, or is done at once, is followed on the list.
    if (next == Next::Stay && from == View::Actions) return Go(View::List, nowMs);
    Follow(next, nowMs);
  }
}

void ListKey(const KeyEvent& e, uint32_t nowMs) {
  switch (ListViewKey(e)) {
    case ::ListKey::Enter: {
      const char* title = WindowTitle(ShownList, ShownList.cursor);
      const bool folder = title != nullptr && title[0] == '\\';
      Follow(DoAction(folder ? Action::Open : Action::PlayEntry, nowMs), nowMs);
      break;
    }
    case ::ListKey::Actions: Go(View::Actions, nowMs); break;
    case ::ListKey::FolderUp: Follow(DoAction(Action::FolderUp, nowMs), nowMs); break;
    case ::ListKey::Close: Go(View::Menu, nowMs); break;
    case ::ListKey::Moved: Dirty = true; break;
    case ::ListKey::Nothing: break;
  }
}

void SearchKey(const KeyEvent& e, uint32_t nowMs) {
  switch (SearchViewKey(e)) {
    case ::SearchKey::Find: {
      char text[kSearchTextRoom];
      SearchedText(text);
      StartSearch(text, nowMs);
      Go(View::List, nowMs);
      break;
    }
    case ::SearchKey::Cancel: Go(View::Menu, nowMs); break;
    case ::SearchKey::Typing: Dirty = true; break;
  }
}

void ConfirmKey(const KeyEvent& e, uint32_t nowMs) {
  const Answer answer = ::ConfirmKey(e);
  if (answer == Answer::None) return;
  if (answer == Answer::Yes && Asked() == Question::Dump) ConfirmDump(nowMs);
  if (answer == Answer::Yes && Asked() == Question::Clear) ConfirmClear(nowMs);
  Go(View::List, nowMs);
}

void MoveKey(const KeyEvent& e, uint32_t nowMs) {
  switch (MoveViewKey(e)) {
    case ::MoveKey::Place:
      PlaceMovedEntry(ShownList.cursor, nowMs);
      Go(View::List, nowMs);
      break;
    case ::MoveKey::Cancel:
      WindowJump(&ShownList, ActionEntry());
      Go(View::List, nowMs);
      break;
    case ::MoveKey::Choosing: Dirty = true; break;
  }
}

void KeyCheckKey(const KeyEvent& e, uint32_t nowMs) {
  switch (KeyCheckViewKey(e)) {
    case ::KeyCheckKey::Calibrate: Go(View::KeySetup, nowMs); break;
    case ::KeyCheckKey::Defaults:
      LadderReset();
      ShowNotice(FLASH_TEXT("Keys: default"), nowMs);
      break;
    case ::KeyCheckKey::Leave: Go(OwnScreenFrom, nowMs); break;
    case ::KeyCheckKey::Nothing: break;
  }
}

// The screens that give a long press a meaning of its own; on the others a long press
// does what the short one does, rather than nothing.
bool HasLongKeys(View view) { return view == View::Status || view == View::List || view == View::KeyCheck; }

void OnKey(const KeyEvent& key, uint32_t nowMs) {
  if (HeldFromStart && key.action == KeyAction::Down) {
    HeldFromStart = false;
    Swallowed = key.key;
    return Go(BoardPushDown() ? View::Setup : View::KeyCheck, nowMs);
  }
  if (!PanelLink.up && !OwnScreen(Current)) return;
  if (key.action == KeyAction::Down) Swallowed = Key::None;  // a new press
  if (key.key == Swallowed) return;
  const bool asShort = key.action == KeyAction::Long && !HasLongKeys(Current);
  const KeyEvent e = {key.key, asShort ? KeyAction::Short : key.action};
  const View before = Current;
  switch (Current) {
    case View::Status: StatusKey(e, nowMs); break;
    case View::Menu:
    case View::Options:
    case View::Actions: MenuKey(e, nowMs); break;
    case View::List: ListKey(e, nowMs); break;
    case View::Search: SearchKey(e, nowMs); break;
    case View::Info:
      if (InfoKey(e, nowMs)) Go(ListShown() ? View::List : View::Status, nowMs);
      break;
    case View::Confirm: ConfirmKey(e, nowMs); break;
    case View::Move: MoveKey(e, nowMs); break;
    case View::KeyCheck: KeyCheckKey(e, nowMs); break;
    case View::KeySetup: break;  // it takes the readings themselves
    case View::Setup:
      if (SetupViewKey(e) == SetupKey::Leave) Go(OwnScreenFrom, nowMs);
      break;
  }
  if (Current != before) Swallowed = e.key;
  Dirty = true;
}

// ---- the encoder ----

// A turn is Up or Down pressed once per detent; a list (or a move's new place) moves by
// the turn's stride, faster the faster it turns. On the status screen clockwise is louder.
// Turned with the push held down, it is Left (anticlockwise) or Right (clockwise), and the
// push then gives nothing more.
uint16_t LastTurnMs = 0;  // wrapping: only the time since it matters

void Press(Key key, uint32_t nowMs) {
  OnKey(KeyEvent{key, KeyAction::Down}, nowMs);
  OnKey(KeyEvent{key, KeyAction::Short}, nowMs);
}

void OnTurn(int8_t turns, uint32_t nowMs) {
  const uint16_t since = static_cast<uint16_t>(nowMs - LastTurnMs);
  LastTurnMs = static_cast<uint16_t>(nowMs);
  if ((!PanelLink.up && !OwnScreen(Current)) || KeyScreen(Current)) return;
  const bool forward = turns > 0;
  uint8_t count = static_cast<uint8_t>(forward ? turns : -turns);
  if (Keys.held == Key::Select) {
    Press(forward ? Key::Right : Key::Left, nowMs);
    Swallowed = Key::Select;
    return;
  }
  if (Current == View::List || Current == View::Move) {
    const int16_t by = static_cast<int16_t>(count * TurnStride(since / count));
    WindowMove(&ShownList, forward ? by : static_cast<int16_t>(-by));
    Dirty = true;
    return;
  }
  const Key key = (Current == View::Status) == forward ? Key::Up : Key::Down;
  while (count-- > 0) Press(key, nowMs);
}

// ---- drawing ----

// 16x2: the status row, then the title (or a notice). 20x4: the status row, the title on
// two rows, and the folder being browsed (or a notice) on the last.
void DrawStatus(uint32_t nowMs) {
  PutStatusRow(&Shown, 0, PanelLink.status, TimeLeftAsked());
  if (Rows() > 2) PutFolded(&Shown, 3, 0, PanelLink.folder);
  if (NoticeShown(nowMs) && Rows() == 2) return;
  if (PanelLink.status.length == 0) {
    PutFlash(&Shown, 1, 0, FLASH_TEXT("Playlist empty"));
  } else {
    ScrollPut(ViewScroll, &Shown, 1);
  }
}

void DrawView(uint32_t nowMs) {
  switch (Current) {
    case View::Status: DrawStatus(nowMs); break;
    case View::Menu:
    case View::Options:
    case View::Actions: DrawMenu(Choices, &Shown); break;
    case View::List: DrawList(&Shown, nowMs); break;
    case View::Search: DrawSearch(&Shown); break;
    case View::Info: DrawInfo(&Shown); break;
    case View::Confirm: DrawConfirm(&Shown); break;
    case View::Move: DrawMove(&Shown, ActionEntry()); break;
    case View::KeyCheck: DrawKeyCheck(&Shown); break;
    case View::KeySetup: DrawKeySetup(&Shown); break;
    case View::Setup: DrawSetup(&Shown); break;
  }
}

void Draw(uint32_t nowMs) {
  ClearScreen(&Shown);
  Shown.light = true;
  if (!PanelLink.up && !OwnScreen(Current)) {
    PutFlash(&Shown, 0, 0, FLASH_TEXT("No link"));
    PutFlash(&Shown, 1, 0, FLASH_TEXT("Quillbox panel"));
  } else {
    DrawView(nowMs);
    // What a key did, or what went wrong, stands over the second row for a moment; not
    // over a question, a text being typed or a song's details, whose second row it is.
    const bool rowFree = Current == View::Status || Current == View::List || Current == View::Menu ||
                         Current == View::Options || Current == View::Actions || Current == View::KeyCheck;
    if (rowFree && NoticeShown(nowMs)) PutNotice(&Shown, static_cast<uint8_t>(Rows() - 1));
  }
  DisplayShow(Shown);
}

// The key screens read the keys' voltage itself.
void OnReading(uint16_t reading, Key key, uint32_t nowMs) {
  if (key == Key::None) HeldFromStart = false;
  if (Current == View::KeyCheck && KeyCheckSample(reading)) Dirty = true;
  if (Current != View::KeySetup) return;
  Dirty = true;
  const KeySetup result = KeySetupSample(reading, nowMs);
  if (result == KeySetup::Asking) return;
  // Said once the record is whole: a reset before then keeps the thresholds of before.
  if (result == KeySetup::Set) CalibrationSaving = true;
  if (result == KeySetup::NotSet) ShowNotice(FLASH_TEXT("Not calibrated"), nowMs);
  if (result == KeySetup::Stopped) ShowNotice(FLASH_TEXT("Keys unchanged"), nowMs);
  Swallowed = Keys.held;  // a key held to stop must not act on the key check
  Go(View::KeyCheck, nowMs);
}

bool CalibrationSaved(uint32_t nowMs) {
  if (!CalibrationSaving || !RecordWritten()) return false;
  CalibrationSaving = false;
  ShowNotice(FLASH_TEXT("Keys calibrated"), nowMs);
  return true;
}

bool Moved(uint32_t nowMs) {
  bool moved = Current == View::Status && ScrollStep(&ViewScroll, nowMs);
  if (Current == View::List) moved = ListStep(nowMs) || moved;
  if (Current == View::Info) moved = InfoStep(nowMs) || moved;
  if (Current == View::Confirm) moved = ConfirmStep(nowMs) || moved;
  return moved;
}

}  // namespace

// ---- what the link reports ----

namespace {

void OnStatus() {
  const PanelStatus& status = PanelLink.status;
  NoteTimeShown(status.minutes, status.seconds);
  if (Current == View::Status) SetStatusTitle(BoardMillis());
  TransferOnStatus();
  Dirty = true;
}

void OnLinkChange(bool up) {
  if (!up) ClearRequests();  // keys pressed for a plug-in that is gone
  TransferOnLinkChange(up);
  Dirty = true;
}

bool NextRequest(LinkRequest* request) { return TakeQueuedRequest(request) || TransferNextRequest(request); }

bool ForTheList(const LinkRequest& request) {
  return request.purpose == kForListChoice || request.purpose == kForListRestart || request.purpose == kForListChunk ||
         request.purpose == kForListCheck;
}

void OnReply(const LinkRequest& request, const uint8_t* payload, uint8_t length) {
  if (ForTheList(request)) return TransferOnReply(request, payload, length);
  Follow(ActionReplied(request, payload, length, BoardMillis()), BoardMillis());
}

void OnNoReply(const LinkRequest& request) {
  if (ForTheList(request)) return TransferOnNoReply(request);
  Follow(ActionUnanswered(request, BoardMillis()), BoardMillis());
}

void OnUnasked(const uint8_t* payload, uint8_t length) { TransferOnUnasked(payload, length); }

const LinkListener kListener FLASH = {OnStatus, OnLinkChange, NextRequest, OnReply, OnNoReply, OnUnasked};

}  // namespace

// ---- the loop ----

void PanelStart() {
  LinkReset(&kListener);
  ClearRequests();
  KeyFilterReset(&Keys);
  ViewScroll = TitleScroll{};
  Current = View::Status;
  Swallowed = Key::None;
  HeldFromStart = true;
  CalibrationSaving = false;
  LadderLoad();
  SetupLoad();
  TransferReset();
  ClearNotice();
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
  if (BoardKeyReading(&reading)) {
    const Key key = BoardPushDown() ? Key::Select : KeyFromReading(reading);
    OnReading(reading, key, now);
    if (KeySampleKey(&Keys, key, now, &event)) OnKey(event, now);
  }
  const int8_t turns = BoardTurns();
  if (turns != 0) OnTurn(turns, now);
  if (Moved(now) || NoticeEnded(now) || TransferChangedShown() || CalibrationSaved(now)) Dirty = true;
  if (!Dirty) return;
  Dirty = false;
  Draw(now);
}
