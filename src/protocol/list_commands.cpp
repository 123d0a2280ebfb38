// "Q" chooses the list the panel shows; "L" sends it in chunks of titles.
#include "protocol/handlers.h"
#include "protocol/poll_tick.h"

void HandleListSelect(const uint8_t*) { ArmPollTimer(); }

void HandleListTransfer(const uint8_t*) { ArmPollTimer(); }
