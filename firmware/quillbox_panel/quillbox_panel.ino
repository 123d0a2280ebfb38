// The Quillbox panel: an Arduino Uno R3 with a 16x2 LCD keypad shield, the player's
// remote on the Uno's USB serial port (115200 8N1).
//
// In the Arduino IDE: Tools > Board > Arduino Uno, Tools > Port, then Upload.
//
// This file holds no code on purpose. The firmware is in src/, which the IDE compiles
// with the sketch: it has its own main() and interrupt handlers, so the Arduino core's
// setup() and loop(), Serial, millis() and delay() are not used (and never linked).
// firmware/README.md (beside this folder) says what is where and how else to build it.
