#include "list_transfer.h"

#include <string.h>

#include "requests.h"

ListWindow ShownList;

namespace {

constexpr uint8_t kGiveUpAfter = 3;  // transfer requests in a row without a reply
constexpr int8_t kNoKind = -1;       // the plug-in's list is not known: at start, after the line was gone

bool Shown = false;
int8_t PluginKind = kNoKind;
LinkRequest Choice;
bool ChoiceWaiting = false;  // Choice is still to be sent
bool ChoiceAwaited = false;  // a "Q" of the transfer is out, its reply not in
bool FirstChoice = false;    // the awaited "Q" opens a new list (not the shown one again)
bool ChoiceWanted = false;   // the shown list is to be chosen again, whatever the plug-in says it holds
bool Restarted = false;      // "L" 6 acknowledged: the plug-in's cursor is at the stream's next title
bool CheckDue = false;
uint8_t Failures = 0;
bool Changed = false;
char SearchText[kSearchTextRoom] = "";

// The "Q" that chooses the shown list again, as the panel last chose it.
LinkRequest ChooseAgain() {
  if (ShownList.kind == ListKind::Playlist)
    return MakeRequest('Q', kPlaylistTitles, 0, ReplyForm::ListChosen, kForListChoice, 1);
  if (ShownList.kind == ListKind::Search) {
    LinkRequest r = MakeRequest('Q', kSearch, 0, ReplyForm::ListChosen, kForListChoice, 1);
    r.length = BuildSearch(r.payload, SearchText);
    return r;
  }
  return MakeRequest('Q', kEnter, kNoEntry, ReplyForm::ListChosen, kForListChoice, 1);  // the folder, sorted again
}

uint16_t KnownCount(ListKind kind) { return kind == ListKind::Playlist ? PanelLink.status.length : kCountUnknown; }

// The plug-in's cursor no longer follows the shown list's stream.
void StreamLost() {
  Restarted = false;
  WindowStreamStops(&ShownList);
}

void OnChosen(const uint8_t* payload, uint8_t length) {
  ChoiceAwaited = false;
  ListKind kind;
  if (!ChosenKind(payload, length, &kind)) return;  // no list chosen at the plug-in
  PluginKind = static_cast<int8_t>(kind);
  if (FirstChoice) {
    WindowOpen(&ShownList, kind, KnownCount(kind));
    // The playlist opens at the song that plays.
    if (kind == ListKind::Playlist) WindowJump(&ShownList, PanelLink.status.position);
  } else {
    WindowForget(&ShownList, KnownCount(kind));
  }
  FirstChoice = false;
  ChoiceWanted = false;
  CheckDue = false;
  Changed = true;
}

void OnChunk(const uint8_t* payload, uint8_t length) {
  ChunkWalk walk = ChunkWalkOf(payload, length);
  const char* text;
  uint8_t size;
  while (NextChunkTitle(&walk, &text, &size)) WindowTakeTitle(&ShownList, text, size);
  CheckDue = true;
  Changed = true;
}

void OnEnd() {
  WindowStreamEnds(&ShownList);
  Restarted = false;
  CheckDue = true;
  Changed = true;
}

bool StreamRequest(LinkRequest* r) {
  switch (WindowNeeds(ShownList)) {
    case StreamNeed::Restart:
      *r = MakeRequest('L', kRestart, 0, ReplyForm::ListRestarted, kForListRestart, 1);
      return true;
    case StreamNeed::GoOn:
      *r = Restarted ? MakeRequest('L', kNextChunk, 0, ReplyForm::ListChunk, kForListChunk, 0)
                     : MakeRequest('L', kRestart, 0, ReplyForm::ListRestarted, kForListRestart, 1);
      return true;
    case StreamNeed::Nothing: break;
  }
  if (!CheckDue) return false;
  CheckDue = false;
  *r = MakeRequest('Q', kKeepList, 0, ReplyForm::ListChosen, kForListCheck, 1);
  return true;
}

}  // namespace

void ChooseList(const LinkRequest& choose) {
  Choice = choose;
  ChoiceWaiting = true;
  Shown = true;
  Failures = 0;
  StreamLost();
  WindowOpen(&ShownList, ShownList.kind, 0);  // nothing to show until the plug-in says which list
  Changed = true;
}

void RefetchShownList() {
  if (!Shown) return;
  // Chosen again, so that the plug-in's tables are sorted as the panel shows them: a "Q"
  // 5 answered meanwhile says which list the plug-in holds, not how it is sorted.
  ChoiceWanted = true;
  WindowForget(&ShownList, KnownCount(ShownList.kind));
  StreamLost();
  Failures = 0;
  Changed = true;
}

void KeepSearchText(const char* text) {
  strncpy(SearchText, text, sizeof SearchText - 1);
  SearchText[sizeof SearchText - 1] = '\0';
}

void CloseShownList() {
  Shown = false;
  ChoiceWaiting = false;
  StreamLost();
}

bool ListShown() { return Shown; }

void TransferReset() {
  CloseShownList();
  PluginKind = kNoKind;
  ChoiceAwaited = FirstChoice = ChoiceWanted = CheckDue = false;
  Failures = 0;
  SearchText[0] = '\0';
}

bool ListLoading() { return ChoiceWaiting || ChoiceAwaited; }

bool ListFailed() { return Failures >= kGiveUpAfter; }

bool ShownListHasEntries() {
  if (ListLoading() || ShownList.count == 0) return false;
  if (ShownList.kind != ListKind::Search || ShownList.count != 1) return true;
  const char* only = WindowTitle(ShownList, 0);
  return only == nullptr || strcmp(only, "No Search Results") != 0;
}

bool TransferNextRequest(LinkRequest* r) {
  if (!Shown || ChoiceAwaited || Failures >= kGiveUpAfter) return false;
  if (ChoiceWaiting) {
    *r = Choice;
    ChoiceWaiting = false;
    ChoiceAwaited = FirstChoice = true;
    return true;
  }
  if (ChoiceWanted || PluginKind != static_cast<int8_t>(ShownList.kind)) {
    *r = ChooseAgain();
    ChoiceAwaited = true;
    return true;
  }
  return StreamRequest(r);
}

void TransferOnReply(const LinkRequest& request, const uint8_t* payload, uint8_t length) {
  Failures = 0;
  switch (ClassifyReply(payload, length)) {
    case ReplyForm::ListChosen:
      if (request.purpose == kForListCheck) {
        // Only which list the plug-in holds: another than the shown one is chosen again.
        ListKind kind;
        if (ChosenKind(payload, length, &kind)) PluginKind = static_cast<int8_t>(kind);
      } else {
        StreamLost();
        OnChosen(payload, length);
      }
      break;
    case ReplyForm::ListRestarted:
      WindowStreamStarts(&ShownList);
      Restarted = true;
      break;
    case ReplyForm::ListChunk: OnChunk(payload, length); break;
    case ReplyForm::ListEnd: OnEnd(); break;
    default: break;
  }
}

void TransferOnNoReply(const LinkRequest& request) {
  Failures++;
  if (request.purpose == kForListChoice) ChoiceAwaited = FirstChoice = false;
  if (request.purpose == kForListChunk) StreamLost();
  Changed = true;
}

void TransferOnUnasked(const uint8_t* payload, uint8_t length) {
  ListKind kind;
  if (ClassifyReply(payload, length) != ReplyForm::ListChosen || !ChosenKind(payload, length, &kind)) return;
  StreamLost();
  PluginKind = static_cast<int8_t>(kind);
  // The player changed its playlist: the plug-in has chosen it afresh.
  if (Shown && kind == ListKind::Playlist && ShownList.kind == ListKind::Playlist) {
    WindowForget(&ShownList, KnownCount(kind));
    Changed = true;
  }
}

void TransferOnStatus() {
  // A playlist shown whose length changed at the player: fetched again.
  const bool playlist = Shown && !ChoiceAwaited && ShownList.kind == ListKind::Playlist;
  if (playlist && PluginKind == static_cast<int8_t>(ListKind::Playlist) && ShownList.count != PanelLink.status.length) {
    WindowForget(&ShownList, PanelLink.status.length);
    StreamLost();
    Changed = true;
  }
}

void TransferOnLinkChange(bool up) {
  // The plug-in may have started afresh meanwhile: its lists are not the panel's.
  PluginKind = kNoKind;
  ChoiceAwaited = false;
  StreamLost();
  if (up) Failures = 0;
  Changed = true;
}

bool TransferChangedShown() {
  const bool changed = Changed;
  Changed = false;
  return changed;
}
