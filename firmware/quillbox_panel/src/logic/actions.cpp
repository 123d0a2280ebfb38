#include "actions.h"

#include <string.h>

#include "info_view.h"
#include "list_transfer.h"
#include "notice.h"
#include "requests.h"
#include "transport_keys.h"

namespace {

// The entry an action is about, kept from when it began: the cursor may move meanwhile.
uint16_t Entry = 0;
ListKind EntryList = ListKind::Folder;
bool EntryIsFolder = false;
uint16_t MovedEntry = 0;

// A playlist changed by "P" gets the plug-in's own "Q" reply two ticks later: those ticks
// stay free of commands, so the reply is not replaced.
constexpr uint8_t kTicksForOwnReply = 2;

bool Queue(const LinkRequest& request, uint32_t nowMs) {
  if (QueueRequest(request)) return true;
  ShowNotice(FLASH_TEXT("Busy, try again"), nowMs);
  return false;
}

LinkRequest Play(uint8_t sub, uint16_t index) {
  LinkRequest r = MakeRequest('P', sub, index, ReplyForm::None, kForTransport);
  if (sub != kPlayEntry) r.freeTicksAfter = kTicksForOwnReply;  // these replace or extend the playlist
  return r;
}

LinkRequest Edit(uint8_t sub, uint16_t a, uint16_t b = 0, uint8_t retries = 0) {
  LinkRequest r = MakeRequest('E', sub, a, ReplyForm::Edited, kForEdit, retries);
  r.length = BuildEdit(r.payload, sub, a, b);
  return r;
}

uint8_t SourceOf(ListKind list) {
  if (list == ListKind::Playlist) return kFromPlaylist;
  return list == ListKind::Search ? kFromSearch : kFromBrowsed;
}

// The shown list's entry under the cursor becomes the action's entry.
void TakeEntry() {
  Entry = ShownList.cursor;
  EntryList = ShownList.kind;
  const char* title = WindowTitle(ShownList, Entry);
  EntryIsFolder = title != nullptr && title[0] == '\\';
}

// Whether a command's success changed the shown list at the plug-in: an edit of the
// playlist, or the folder list left unsorted (a folder's songs added, a browsed song
// dumped and the folder listed again).
bool ChangesShownList(const LinkRequest& request) {
  const uint8_t sub = request.payload[2];
  if (request.payload[0] == 'F') return sub == kFromBrowsed;
  return sub == kDelete || sub == kMove || sub == kClear || (sub == kAddBrowsed && EntryIsFolder);
}

Next PlayChosen(uint32_t nowMs) {
  static const uint8_t kPlaySub[kListKinds] FLASH = {kPlayEntry, kPlayBrowsed, kPlayFound};
  if (!Queue(Play(FlashByte(&kPlaySub[static_cast<uint8_t>(EntryList)]), Entry), nowMs)) return Next::Stay;
  ShowNotice(FLASH_TEXT("Play"), nowMs);
  return Next::Status;
}

// A folder's songs instead of the playlist: cleared, the folder's songs added, the first
// played. The clearing is a step of it, with no notice of its own.
Next PlayFolder(uint32_t nowMs) {
  LinkRequest clear = Edit(kClear, 0, 0, 1);
  clear.purpose = kForTransport;
  if (!Queue(clear, nowMs) || !Queue(Play(kEnqueueFolder, Entry), nowMs)) return Next::Stay;
  Queue(MakeRequest('P', kPlayEntry, 0, ReplyForm::None, kForTransport), nowMs);
  RefetchShownList();  // adding a folder leaves the folder list unsorted
  ShowNotice(FLASH_TEXT("Play folder"), nowMs);
  return Next::Status;
}

Next Enqueue(uint32_t nowMs) {
  if (!Queue(Play(kEnqueueFolder, Entry), nowMs)) return Next::Stay;
  RefetchShownList();
  ShowNotice(FLASH_TEXT("Enqueued"), nowMs);
  return Next::Stay;
}

Next AskAbout(Purpose purpose, uint32_t nowMs) {
  Queue(MakeRequest('I', SourceOf(EntryList), Entry, ReplyForm::SongInfo, purpose, 1), nowMs);
  return Next::Stay;
}

Next Choose(uint8_t sub, uint16_t index, uint32_t nowMs, Next next) {
  (void)nowMs;
  ChooseList(MakeRequest('Q', sub, index, ReplyForm::ListChosen, kForListChoice, 1));
  return next;
}

Next EntryAction(Action action, uint32_t nowMs) {
  TakeEntry();
  switch (action) {
    case Action::Open: return Choose(kEnter, Entry, nowMs, Next::List);
    case Action::PlayEntry: return PlayChosen(nowMs);
    case Action::PlayFolder: return PlayFolder(nowMs);
    case Action::Enqueue: return Enqueue(nowMs);
    case Action::AddToPlaylist:
      Queue(Edit(EntryList == ListKind::Search ? kAddFound : kAddBrowsed, Entry), nowMs);
      return Next::List;
    case Action::Info: return AskAbout(kForSongInfo, nowMs);
    case Action::Dump: return AskAbout(kForDumpCheck, nowMs);
    case Action::Move: MovedEntry = Entry; return Next::MovePlace;
    case Action::Delete: Queue(Edit(kDelete, Entry), nowMs); return Next::List;
    case Action::Save: Queue(Edit(kSave, 0), nowMs); return Next::List;
    case Action::Clear: return Next::ConfirmClear;
    default: return Next::Stay;
  }
}

FlashText Done(const LinkRequest& request) {
  if (request.payload[0] == 'F') return FLASH_TEXT("Dumped");
  switch (request.payload[2]) {
    case kDelete: return FLASH_TEXT("Deleted");
    case kMove: return FLASH_TEXT("Moved");
    case kSave: return FLASH_TEXT("Playlist saved");
    case kClear: return FLASH_TEXT("Playlist cleared");
    default: return FLASH_TEXT("Added");
  }
}

FlashText NotDone(const LinkRequest& request) {
  if (request.payload[0] == 'I') return FLASH_TEXT("No song info");
  if (request.payload[0] == 'F') return FLASH_TEXT("Not dumped");
  switch (request.payload[2]) {
    case kDelete: return FLASH_TEXT("Not deleted");
    case kMove: return FLASH_TEXT("Not moved");
    case kSave: return FLASH_TEXT("Not saved");
    case kClear: return FLASH_TEXT("Not cleared");
    default: return FLASH_TEXT("Not added");
  }
}

}  // namespace

FlashText ActionName(Action action) {
  switch (action) {
    case Action::Browse: return FLASH_TEXT("Browse");
    case Action::ShowPlaylist: return FLASH_TEXT("Playlist");
    case Action::Search: return FLASH_TEXT("Search");
    case Action::Options: return FLASH_TEXT("Options");
    case Action::Shuffle: return PanelLink.status.shuffle != 0 ? FLASH_TEXT("Shuffle: on") : FLASH_TEXT("Shuffle: off");
    case Action::TimeShown: return TimeLeftAsked() ? FLASH_TEXT("Time: left") : FLASH_TEXT("Time: played");
    case Action::Louder: return FLASH_TEXT("Volume up");
    case Action::Softer: return FLASH_TEXT("Volume down");
    case Action::KeyCheck: return FLASH_TEXT("Key check");
    case Action::Setup: return FLASH_TEXT("Setup");
    case Action::Stop: return FLASH_TEXT("Stop");
    case Action::Open: return FLASH_TEXT("Open");
    case Action::PlayEntry: return FLASH_TEXT("Play");
    case Action::PlayFolder: return FLASH_TEXT("Play folder");
    case Action::Enqueue: return FLASH_TEXT("Enqueue folder");
    case Action::AddToPlaylist: return FLASH_TEXT("Add to playlist");
    case Action::Info: return FLASH_TEXT("Song info");
    case Action::Dump: return FLASH_TEXT("Dump song");
    case Action::Move: return FLASH_TEXT("Move");
    case Action::Delete: return FLASH_TEXT("Delete");
    case Action::Save: return FLASH_TEXT("Save playlist");
    case Action::Clear: return FLASH_TEXT("Clear playlist");
    case Action::TopFolder: return FLASH_TEXT("Music folder");
    case Action::NewSearch: return FLASH_TEXT("New search");
    case Action::CloseList: return FLASH_TEXT("Back to menu");
    case Action::FolderUp: return FLASH_TEXT("Folder up");
  }
  return FLASH_TEXT("?");
}

Next DoAction(Action action, uint32_t nowMs) {
  switch (action) {
    case Action::Browse: return Choose(kEnter, kNoEntry, nowMs, Next::List);
    case Action::ShowPlaylist: return Choose(kPlaylistTitles, 0, nowMs, Next::List);
    case Action::Search:
    case Action::NewSearch: return Next::SearchText;
    case Action::Options: return Next::Options;
    case Action::CloseList: return Next::Menu;
    case Action::Shuffle: SwitchShuffle(nowMs); return Next::Stay;
    case Action::TimeShown: SwitchTime(nowMs); return Next::Stay;
    case Action::Louder: StepVolume(true, nowMs); return Next::Stay;
    case Action::Softer: StepVolume(false, nowMs); return Next::Stay;
    case Action::KeyCheck: return Next::KeyCheck;
    case Action::Setup: return Next::Setup;
    case Action::Stop: StopPlayback(nowMs); return Next::Stay;
    case Action::TopFolder: return Choose(kRoot, 0, nowMs, Next::List);
    case Action::FolderUp: return Choose(kUp, 0, nowMs, Next::List);
    default: return EntryAction(action, nowMs);
  }
}

void ConfirmDump(uint32_t nowMs) {
  Queue(MakeRequest('F', SourceOf(EntryList), Entry, ReplyForm::Dumped, kForDump), nowMs);
}

void ConfirmClear(uint32_t nowMs) { Queue(Edit(kClear, 0, 0, 1), nowMs); }

void PlaceMovedEntry(uint16_t to, uint32_t nowMs) { Queue(Edit(kMove, MovedEntry, to), nowMs); }

void StartSearch(const char* text, uint32_t nowMs) {
  (void)nowMs;
  KeepSearchText(text);
  LinkRequest r = MakeRequest('Q', kSearch, 0, ReplyForm::ListChosen, kForListChoice, 1);
  r.length = BuildSearch(r.payload, text);
  ChooseList(r);
}

uint16_t ActionEntry() { return MovedEntry; }

const char* ActionTitle() {
  // The song as the plug-in names it; the list's title when it knows no title tag.
  if (ShownInfo.title[0] != '\0') return ShownInfo.title;
  const char* listed = WindowTitle(ShownList, Entry);
  return listed != nullptr ? listed : "?";
}

Next ActionReplied(const LinkRequest& request, const uint8_t* payload, uint8_t length, uint32_t nowMs) {
  if (request.purpose == kForTransport) return Next::Stay;
  if (request.purpose == kForSongInfo || request.purpose == kForDumpCheck) {
    DecodeSongInfo(payload, length, &ShownInfo);
    return request.purpose == kForSongInfo ? Next::Info : Next::ConfirmDump;
  }
  ShowNotice(Done(request), nowMs);
  if (ChangesShownList(request)) RefetchShownList();
  return Next::Stay;
}

Next ActionUnanswered(const LinkRequest& request, uint32_t nowMs) {
  if (request.purpose == kForTransport) return Next::Stay;
  ShowNotice(NotDone(request), nowMs);
  // Whether a command without an answer did anything cannot be told: the list shows
  // what the plug-in has.
  if (request.purpose == kForEdit || request.purpose == kForDump) RefetchShownList();
  return Next::Stay;
}
