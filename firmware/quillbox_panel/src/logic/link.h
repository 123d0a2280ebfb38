// The panel's half of the conversation with the plug-in.
//
// The plug-in is the clock: every tick it sends a status frame, listens 15 ms for one
// command, and sends a pending reply only on a tick that brought none, right after that
// tick's status frame. So the link
//   - sends at most one command per status frame, the moment that frame has ended;
//   - after a command that is answered, sends nothing on the next status frame, so that
//     tick stays free for the reply; the reply must come before the status frame after
//     that, or it is lost: the command is then asked again while it has tries left
//     (only commands that are safe to repeat get any), else it goes unanswered;
//   - after a command that changes the player's playlist, leaves one more tick free, so
//     the "Q" reply the plug-in then posts by itself gets through;
//   - pairs a reply with the command in flight by its form and by the tag stamped into
//     byte 1 (never 0: a "Q" reply with tag 0 is the plug-in's own);
//   - counts the link as down when no status frame came for a second, and up again with
//     the next one.
// What it hears goes to the listener the panel gives it.
#pragma once
#include <stdint.h>

#include "../wire/command_payload.h"
#include "../wire/frame_hunt.h"
#include "../wire/reply_form.h"
#include "../wire/status_payload.h"

constexpr uint16_t kNoLinkMs = 1000;

struct LinkRequest {
  uint8_t payload[kMaxCommandLength];
  uint8_t length;
  ReplyForm expect;        // ReplyForm::None: nothing comes back
  uint8_t retries;         // how often it is asked again when its reply is lost
  uint8_t freeTicksAfter;  // ticks left without a command once it is done
  uint8_t purpose;         // the panel's own note of what it asked for
};

// What the link reports, to the panel (panel.cpp) or a test that records it.
struct LinkListener {
  void (*status)();  // a status frame arrived: PanelLink.status
  void (*linkChange)(bool up);
  // Asked when a command may go out now: true with *request to send it.
  bool (*nextRequest)(LinkRequest* request);
  void (*reply)(const LinkRequest& request, const uint8_t* payload, uint8_t length);
  void (*noReply)(const LinkRequest& request);
  // A reply nobody asked for: the plug-in's own "Q" after the player's playlist changed.
  void (*unasked)(const uint8_t* payload, uint8_t length);
};

struct LinkCounters {
  uint16_t statusFrames;
  uint16_t replies;  // paired with the command in flight
  uint16_t unasked;  // replies nobody asked for (the plug-in's own "Q", strays)
  uint16_t retries;
  uint16_t unanswered;  // commands given up on
  uint16_t badFrames;   // frames that are neither a status frame nor any reply
};

constexpr uint8_t kFolderShown = 21;  // 20 characters and the NUL

struct Link {
  FrameHunt hunt;
  PanelStatus status;  // the last status frame
  char folder[kFolderShown];  // its folder being browsed, cut to a 20x4's row
  bool up;
  uint32_t lastStatusMs;
  LinkRequest inFlight;
  bool awaiting;        // inFlight expects a reply that has not come
  uint8_t ticksWaited;  // status frames since it was sent
  uint8_t freeTicks;    // status frames still to pass without a command
  uint8_t tag;
  LinkCounters counters;
  const LinkListener* listener;  // in flash
};
extern Link PanelLink;

// The listener: a table in flash (FLASH, flash_text.h).
void LinkReset(const LinkListener* listener);
// Every byte off the line, in order.
void LinkTakeByte(uint8_t byte, uint32_t nowMs);
// Notices a line without status frames; call it on every turn of the main loop.
void LinkCheck(uint32_t nowMs);
