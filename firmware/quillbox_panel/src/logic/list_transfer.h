// Keeps the window of the list the panel shows (list_window.h) filled over the link.
//
// The plug-in transfers one list at a time, the one its last "Q" chose. So before a
// stream, the list shown must be the plug-in's: a "Q" chooses it again when it is not
// (the plug-in chose the playlist by itself after the player changed it, or the panel
// chose another list meanwhile), and the window is then fetched anew, since the list may
// have changed. A stream is "L" 6, then "L" 0 chunk after chunk while the window lacks
// titles ahead of it or the count is not known yet. A chunk is never asked again: a lost
// one puts the plug-in's cursor where the panel cannot tell, so the stream starts over.
// When a stream stops, "Q" 5 (which changes nothing) asks which list the plug-in holds,
// in case its own choice came while the panel's commands hid the reply.
#pragma once
#include <stdint.h>

#include "link.h"
#include "list_window.h"

extern ListWindow ShownList;

// Shows the list that the "Q" request chooses, from its first entry, once its reply
// says which list the plug-in chose.
void ChooseList(const LinkRequest& choose);
// Fetches the shown list again: it changed at the plug-in (an edit, a dump, a rescan).
void RefetchShownList();
// The text of the last search, to choose the search results again.
void KeepSearchText(const char* text);
// Stops filling the window (the list is not shown any more).
void CloseShownList();
// As at start-up: no list shown, nothing known of the plug-in's.
void TransferReset();
bool ListShown();
// The plug-in has not said yet which list it chose; or gave no reply, again and again.
bool ListLoading();
bool ListFailed();
// The shown list has entries to act on: not empty, and not the one placeholder a search
// that found nothing gives ("No Search Results", no song).
bool ShownListHasEntries();

// The next request the window needs, when the link may send one and nothing else waits.
bool TransferNextRequest(LinkRequest* request);
// The link's reports, for the requests the transfer made and the "Q" replies of any.
void TransferOnReply(const LinkRequest& request, const uint8_t* payload, uint8_t length);
void TransferOnNoReply(const LinkRequest& request);
void TransferOnUnasked(const uint8_t* payload, uint8_t length);
void TransferOnStatus();
void TransferOnLinkChange(bool up);
// True once after the window's titles or count changed: the list screen is drawn again.
bool TransferChangedShown();
