// The simulated panel board: the chip running the firmware, the shield on its pins and
// the panel line on a pseudo-terminal, run in step with the wall clock (a firmware
// millisecond is a real one). Step() runs a slice of chip time and serves the line;
// the script runner and the terminal drive the keys between steps.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "board_chip.h"
#include "board_faults.h"
#include "board_figures.h"
#include "board_output.h"
#include "display_pins.h"
#include "display_watch.h"
#include "eeprom_watch.h"
#include "lcd_shield.h"
#include "line_uart.h"
#include "pty_port.h"
#include "wire_meter.h"

struct BoardOptions {
  std::string firmware;
  std::string bootloader;  // Intel hex; "" for optiboot_atmega328.hex beside the firmware
  std::string link;
  bool trace = false;
  KeyLadder keys = kCommonLadder;
  bool blank = false;  // the application flash empty: a programmer writes it over the line
};

constexpr double kBehindWarnMs = 50;

class Board {
 public:
  Board(const BoardOptions& options, BoardOutput& out);
  bool Start(std::string* problem);
  double NowMs() const { return chip_.NowMs(); }
  // Runs about a quarter of a millisecond of chip time, serves the line and the
  // display, and sleeps while the chip is ahead of the wall clock (waking for input on
  // `inputFd` too, when it is not -1).
  void Step(int inputFd);
  void SetKey(PanelKey key);
  PanelKey Key() const { return key_; }
  void Unplug();
  void Plug();
  // A pulse on the reset pin now; a reset in the middle of the n-th EEPROM byte written
  // from now; a brown-out (eeprom_watch.h).
  void ResetPin() { Reset("reset pin"); }
  void ResetInWrite(int n) { eeprom_.ArmCut(n); }
  void BrownOut();
  // The display's memory as its controller holds it, and the backlight: for pictures.
  const DisplayPins& Pins() const { return pins_; }
  bool Light() const { return shield_.Light(); }
  const DisplayWatch& Display() const { return display_; }
  BoardFigures Figures() const;
  int Faults() const { return faults_.Total(); }
  const char* LineState() const;  // "open", "closed" or "unplugged"
  bool TraceOn() const { return options_.trace; }

 private:
  void Reset(const char* why);
  void AfterReset(const char* why);
  void WatchChip();
  void WatchTx();
  void ServeLine();
  void WatchDisplay();
  void KeepPace(int inputFd);
  void ByteToPc(uint8_t byte, double atMs);
  void ByteIntoChip(uint8_t byte, double atMs);
  void ByteLost(uint8_t byte, double atMs);
  BoardOptions options_;
  BoardOutput& out_;
  BoardChip chip_;
  BoardFaults faults_{out_};
  LcdShield shield_;
  LineUart uart_;
  PtyPort port_;
  WireMeter meter_;
  DisplayWatch display_;
  DisplayPins pins_;
  EepromWatch eeprom_;
  PanelKey key_ = PanelKey::None;
  std::vector<uint8_t> toPc_;
  int resets_ = 0;
  bool halted_ = false;
  double txFloatingSince_ = -1;  // ms; -1 while TX is driven or held up
  bool txFloatNoted_ = false;
  bool behind_ = false;
  double wallStartMs_ = 0;
};
