// The keys of the status screen: the player's transport.
//
//   key      short press          long press (hold 0.7 s)
//   Select   play / pause         the menu
//   Left     previous song        stop
//   Right    next song            shuffle on / off
//   Up       volume up            time played / time left
//   Down     volume down          the playlist
//
// Each key says at once what it did; the next status frames show the result.
#pragma once
#include <stdint.h>

#include "keys.h"

enum class StatusKeyResult : uint8_t { Done, OpenMenu, OpenPlaylist, Ignored };

StatusKeyResult StatusScreenKey(const KeyEvent& event, uint32_t nowMs);

// The options, also offered by the menu.
void SwitchShuffle(uint32_t nowMs);
void SwitchTime(uint32_t nowMs);
void StepVolume(bool louder, uint32_t nowMs);
void StopPlayback(uint32_t nowMs);

// Whether the time left is shown ("O" 0 switches it): as the panel asked, or as a status
// frame showed it (a negative time), for a panel that started after the switch.
bool TimeLeftAsked();
void NoteTimeShown(int8_t minutes, int8_t seconds);
