#!/usr/bin/env python3
"""Writes the committed seeds of poll_cycle_fuzz: short panel sessions of valid command
frames, every letter with its sub-commands, in the default world (an empty world part:
C:\\Music\\ with eight songs, a four-entry playlist and a three-result search) and in a few
others. The byte layout is the fuzzer's own (poll_cycle_fuzz.cpp, poll_world.cpp). Inputs
that a long run found lie beside them under names of their own, and are left alone."""
import os
import sys

LETTERS = "EFILOPQS"


def index(value):
    # class 0 (0..7, one byte), class 4 (0xFFFF) or class 5 (any 16-bit value).
    if value == 0xFFFF:
        return bytes([4, 0])
    if value < 8:
        return bytes([0, value])
    return bytes([5, value >> 8, value & 0xFF])


def cmd(letter, sub, a=0, b=0, text=b""):
    """One tick whose event is a well-formed frame arriving at once, whole."""
    return (bytes([0, LETTERS.index(letter), 0x77, sub]) + index(a) + index(b)
            + bytes([len(text)]) + text + bytes([0, 0, 0, 0]))


IDLE = bytes([5])
# World nodes: kind, parent, name-length class, stem length, then a song's description.
DEFAULT_SONG = bytes([0, 0, 0, 0, 0, 0, 0])


def song(length, parent=0):
    """A song whose name is length characters long (name-length class 3)."""
    return bytes([0, parent, 3, 0, length - 1, 0, 0, 0, 0])


def folder(length, parent=0):
    return bytes([1, parent, 3, 0, length - 1, 0])


CHANGED = bytes([6, 0])  # the player's playlist changed


def session(*ticks, world=b""):
    return len(world).to_bytes(2, "big") + world + b"".join(ticks)


SEEDS = {
    "folders": session(cmd("Q", 2), IDLE, cmd("L", 6), IDLE, cmd("L", 0), IDLE, cmd("L", 0), IDLE,
                       cmd("Q", 1, 0xFFFF), IDLE, cmd("Q", 1, 0), cmd("Q", 0), IDLE),
    "playlist": session(cmd("Q", 3), IDLE, cmd("L", 6), cmd("L", 0), IDLE, cmd("L", 0), IDLE, CHANGED, IDLE, IDLE),
    "search": session(cmd("Q", 4, 0, 0, b"Title"), IDLE, cmd("L", 6), cmd("L", 0), IDLE,
                      cmd("P", 4, 0), cmd("E", 3, 1), cmd("I", 2, 0), IDLE),
    "transport": session(*[cmd("P", s, 1) for s in range(10)], *[cmd("O", s) for s in range(4)],
                         *[cmd("S", s) for s in range(3)], IDLE),
    "play_browsed": session(cmd("P", 3, 0), IDLE, cmd("P", 2, 0), IDLE, cmd("P", 1, 2), IDLE),
    "edit": session(cmd("E", 1, 0, 3), IDLE, cmd("E", 1, 3, 0), IDLE, cmd("E", 0, 1), IDLE,
                    cmd("E", 2, 0), IDLE, cmd("E", 4), IDLE, cmd("E", 4), IDLE, cmd("E", 5), IDLE, cmd("E", 9), IDLE),
    "info_dump": session(cmd("I", 0, 0), IDLE, cmd("I", 1, 0), IDLE, cmd("I", 3, 0), IDLE,
                         cmd("F", 0, 1), IDLE, cmd("F", 1, 0), IDLE, cmd("F", 0, 0x8000), IDLE),
    # A folder of more than 500 songs after the eight default ones (seven bytes each).
    "crowd": session(cmd("Q", 1, 8), IDLE, cmd("L", 6), cmd("L", 0), IDLE, cmd("P", 2, 0), IDLE,
                     world=bytes([0, 0]) + DEFAULT_SONG * 8 + bytes([7, 0, 20])),
    # One search result of 313 characters: played, added and asked about.
    "long_result": session(cmd("Q", 4, 0, 0, b"x"), IDLE, cmd("P", 4, 0), IDLE, cmd("E", 3, 0), IDLE,
                           cmd("I", 2, 0), IDLE,
                           world=bytes([0, 0]) + DEFAULT_SONG * 8 + bytes(5) + bytes(7)
                           + bytes([2, 1, 2, 0x01, 0x2C, 0, 0, 0])),
    # The music folder at 199 characters; in it songs whose paths are 255, 256 and 259
    # characters long, and a folder of 255 with a song in it.
    "long_names": session(cmd("Q", 2), IDLE, cmd("Q", 1, 0), IDLE, cmd("P", 3, 1), cmd("E", 4), IDLE,
                          cmd("F", 0, 2), IDLE, cmd("Q", 0), cmd("I", 0, 1), IDLE, cmd("E", 2, 0), IDLE,
                          world=bytes([2, 0, 0]) + song(56) + song(57) + song(60) + folder(55) + song(4, parent=1)),
}


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "seeds", "poll_cycle_fuzz")
    os.makedirs(out, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
