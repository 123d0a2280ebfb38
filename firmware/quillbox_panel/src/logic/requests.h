// The commands the panel's user asked for, waiting for the link to send them one per tick.
// A few at most: keys pressed while the link is busy wait here, and a key pressed while
// the queue is full is refused (the panel says so) rather than piling up.
#pragma once
#include <stdint.h>

#include "link.h"

constexpr uint8_t kRequestQueueSize = 3;  // 31 bytes each, of 2 KB of RAM

// What the panel asked for, so that a reply finds its way back to the screen that asked.
enum Purpose : uint8_t {
  kForTransport = 0,  // P, O, S, and steps of an action: nothing said of them
  kForListChoice,     // "Q"
  kForListRestart,    // "L" 6
  kForListChunk,      // "L" 0
  kForEdit,           // "E"
  kForSongInfo,       // "I"
  kForDump,           // "F"
  kForListCheck,      // "Q" 5: which list the plug-in transfers
  kForDumpCheck,      // "I" before a dump: the song as the plug-in names it, for the confirmation
};

// A command of six bytes with the reply it expects. Only commands that are safe to repeat
// are asked again when their reply is lost: pass retries 1 for those.
LinkRequest MakeRequest(char letter, uint8_t sub, uint16_t index, ReplyForm expect, Purpose purpose,
                        uint8_t retries = 0);

bool QueueRequest(const LinkRequest& request);
bool TakeQueuedRequest(LinkRequest* request);
void ClearRequests();
