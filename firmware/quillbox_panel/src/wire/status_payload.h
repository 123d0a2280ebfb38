// The status frame the plug-in sends every tick, field by field (92 payload bytes,
// numbers high byte first):
//   0 "B" | 1-3 zero | 4 play state | 5 shuffle | 6 minutes | 7 seconds | 8-9 playlist
//   length | 10-11 current entry | 12-51 title, NUL-padded | 52-91 folder being browsed
// With the remaining time shown, minutes and seconds are negative (two's complement).
#pragma once
#include <stdint.h>

constexpr uint8_t kStatusLength = 92;
constexpr uint8_t kStatusLetter = 'B';
constexpr uint8_t kStatusTextField = 40;  // 39 characters and the NUL the plug-in always sends

enum PlayState : uint8_t { kPlaying = 0, kPaused = 1, kStopped = 2 };

struct PanelStatus {
  uint8_t playState;  // PlayState; another value is passed on as it came
  uint8_t shuffle;    // 0 off, 1 on
  int8_t minutes;     // the time bytes as they came: see TimeShown()
  int8_t seconds;
  uint16_t length;               // playlist entries, 0 to 500
  uint16_t position;             // the current entry, from 0
  char title[kStatusTextField];  // always NUL-terminated here
  bool titleTerminated;          // the plug-in ended the field with its NUL, as it must
};

// True, with *status filled, for a status payload: 92 bytes beginning with "B". The
// folder's name is left where it is: a panel that shows it reads it with StatusTextField.
bool DecodeStatus(const uint8_t* payload, uint8_t length, PanelStatus* status);

// A text field of a status payload: the title (kStatusTitleAt) or the name of the folder
// being browsed (kStatusFolderAt, "\Rock\", or empty at the root of a drive). A field the
// plug-in did not end with its NUL is cut to 39 characters; true when it did.
constexpr uint8_t kStatusTitleAt = 12;
constexpr uint8_t kStatusFolderAt = 52;
bool StatusTextField(const uint8_t* payload, uint8_t at, char (&text)[kStatusTextField]);
