// The simulated panel board: the chip running the firmware, the panel on its pins (the
// LCD keypad shield, or an I2C display on the two-wire bus) and the panel line on a
// pseudo-terminal, run in step with the wall clock (a firmware
// millisecond is a real one). Step() runs a slice of chip time and serves the line;
// the script runner and the terminal drive the keys between steps.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "board_chip.h"
#include "board_encoder.h"
#include "board_faults.h"
#include "board_figures.h"
#include "board_output.h"
#include "board_twi.h"
#include "display_controller.h"
#include "display_watch.h"
#include "i2c_backpack.h"
#include "eeprom_watch.h"
#include "lcd_shield.h"
#include "line_uart.h"
#include "panel_kind.h"
#include "pty_port.h"
#include "wire_meter.h"

struct avr_irq_t;

struct BoardOptions {
  std::string firmware;
  std::string bootloader;  // Intel hex; "" for optiboot_atmega328.hex beside the firmware
  std::string link;
  bool trace = false;
  KeyLadder keys = kCommonLadder;
  bool blank = false;  // the application flash empty: a programmer writes it over the line
  PanelKind panel = PanelKind::Shield;
  uint8_t i2cAddress = 0x27;          // the backpack's expander, 7 bits
  BusFault busFault = BusFault::None;  // the I2C panel's bus: SDA held low, or no backpack
  bool encoder = false;                // an encoder on the shield panel too (the I2C ones have one)
  int detentSteps = 4;                 // quadrature steps a detent: 4 or 2
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
  // The controls a person holds, for the terminal: "key up", and the encoder's.
  std::string Controls() const;
  // The encoder, when the panel has one: false otherwise.
  bool HasEncoder() const;
  // pushed: the switch closes first and opens after the last detent, as a thumb holds it.
  bool Turn(int detents, double perSecond, bool pushed = false);
  bool Push(double holdMs);
  bool EncoderIdle() const { return encoder_.Idle(); }
  void Unplug();
  void Plug();
  // The display's controller, what it shows now and the backlight: for pictures.
  const DisplayController& Controller() const { return controller_; }
  DisplaySize Size() const { return PanelSize(options_.panel); }
  Screen ReadScreen() const;
  bool Light() const;
  // The share of the firmware's time the two-wire bus was driven, or -1 before any use.
  double BusBusyPercent() const;
  // A pulse on the reset pin now; a reset in the middle of the n-th EEPROM byte written
  // from now; a brown-out (eeprom_watch.h).
  void ResetPin() { Reset("reset pin"); }
  void ResetInWrite(int n) { eeprom_.ArmCut(n); }
  void BrownOut();
  const DisplayWatch& Display() const { return display_; }
  BoardFigures Figures() const;
  int Faults() const { return faults_.Total(); }
  const char* LineState() const;  // "open", "closed" or "unplugged"
  bool TraceOn() const { return options_.trace; }

 private:
  void AttachPanel();
  static void OnLed(avr_irq_t*, uint32_t value, void* param);
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
  DisplayController controller_{&faults_};
  LcdShield shield_;
  I2cBackpack backpack_;
  BoardTwi twi_;
  BoardEncoder encoder_;
  LineUart uart_;
  PtyPort port_;
  WireMeter meter_;
  DisplayWatch display_;
  EepromWatch eeprom_;
  PanelKey key_ = PanelKey::None;
  std::vector<uint8_t> toPc_;
  int resets_ = 0;
  bool halted_ = false;
  bool led_ = false;  // the Uno's L LED on D13 (PB5)
  double txFloatingSince_ = -1;  // ms; -1 while TX is driven or held up
  bool txFloatNoted_ = false;
  bool behind_ = false;
  double wallStartMs_ = 0;
};
