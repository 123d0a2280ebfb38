// "Q" chooses the list the panel shows; "L" sends it in chunks of titles.
#include "protocol/handlers.h"

void HandleListSelect(const uint8_t*) {}

void HandleListTransfer(const uint8_t*) {}
