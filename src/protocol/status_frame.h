// The status frame that every tick sends the panel: 92 payload bytes, "B", three zero
// bytes and the 88-byte status block. Numbers go high byte first.
//
//   4 play state (0 playing, 1 paused, 2 stopped)   5 shuffle
//   6 minutes, 7 seconds (negative when counting down the remaining time)
//   8-9 playlist length   10-11 playlist position
//   12-51 title: at most 39 characters and a NUL    52-91 folder name, the same way
#pragma once
#include <cstdint>

constexpr uint32_t kStatusPayloadSize = 92;
constexpr uint32_t kStatusBlockSize = 88;
constexpr uint32_t kTitleField = 12;
constexpr uint32_t kFolderField = 52;
constexpr uint32_t kTextFieldSize = 40;  // 39 characters and the NUL
static_assert(4 + kStatusBlockSize == kStatusPayloadSize);
static_assert(kFolderField + kTextFieldSize == kStatusPayloadSize);

constexpr uint8_t kStatePlaying = 0;
constexpr uint8_t kStatePaused = 1;
constexpr uint8_t kStateStopped = 2;

// 0 shows the elapsed time, 1 the remaining time; flipped by the panel.
extern uint8_t TimeDisplayMode;

// Payload bytes 4 to 91 of the status frame, rebuilt by every tick.
extern uint8_t StatusBlock[kStatusBlockSize];

// Start-up leaves the block zero with the player shown as stopped.
void ResetStatusBlock();

// Reads the player's state from the host into the status block and builds the payload,
// with the playlist length and position as the tick read them.
void BuildStatusPayload(uint8_t payload[kStatusPayloadSize], int32_t playlistLength, uint32_t playlistPosition);

// The last component of a folder path with its two backslashes ("\Rock\" for
// C:\Music\Rock\), or null when there is none (a drive root such as C:\).
const char* CurrentFolderName(const char* folder);

// The pieces of the payload, apart so that tests can reach each one.
uint8_t MapPlayState(int32_t hostState);
void FillTimeFields(uint8_t* minutes, uint8_t* seconds, int32_t elapsedMs, int32_t trackSeconds, uint8_t mode);
void FillFolderField(uint8_t field[kTextFieldSize], const char* folder);
