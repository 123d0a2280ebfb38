// The scripted line behind the port seam.
#include "fakes/fake_port.h"

#include <cstddef>
#include <utility>

#include "serial/port_io.h"
#include "serial/port_opener.h"

FakeLine Line;

namespace {

uint32_t LastError = 0;

constexpr uint32_t kLineError = 995;

int Fail(uint32_t code) {
  LastError = code;
  if (code == kLineError) Line.lineStopped = true;
  return -1;
}

// A call on the handle: false (and the call fails) when there is none or it is dead.
bool HandleWorks() {
  if (!Line.open) {
    Line.callsWhileClosed++;
    LastError = 6;  // ERROR_INVALID_HANDLE
    return false;
  }
  if (Line.deadHandle) {
    LastError = Line.failCode;
    return false;
  }
  if (!Line.lineStopped) return true;
  LastError = kLineError;
  return false;
}

}  // namespace

void ResetFakeLine() {
  // An open a test left hanging or untaken must not refuse the next test's open.
  Line.FinishOpen();
  AbandonPortOpen();
  Line = FakeLine();
  LastError = 0;
}

void FakeLine::Queue(const std::vector<uint8_t>& bytes, uint32_t atMs) { Queue(bytes.data(), bytes.size(), atMs); }

void FakeLine::Queue(const uint8_t* bytes, size_t size, uint32_t atMs) {
  for (size_t i = 0; i < size; i++) inbound.push_back({bytes[i], atMs});
}

std::vector<uint8_t> FakeLine::Written() const {
  std::vector<uint8_t> all;
  for (const auto& w : writes) all.insert(all.end(), w.begin(), w.end());
  return all;
}

std::vector<std::vector<uint8_t>> FakeLine::WrittenFrames() const {
  std::vector<std::vector<uint8_t>> frames;
  const std::vector<uint8_t> all = Written();
  std::size_t at = 0;
  while (at + 4 <= all.size()) {
    const std::size_t size = 6u + all[at + 3];
    if (at + size > all.size()) break;
    frames.emplace_back(all.begin() + static_cast<long>(at), all.begin() + static_cast<long>(at + size));
    at += size;
  }
  return frames;
}

void FakeLine::Unplug() {
  plugged = false;
  if (open) deadHandle = true;
}

int PortWrite(const uint8_t* data, uint32_t length) {
  if (!HandleWorks()) return -1;
  const int number = static_cast<int>(Line.writes.size());
  std::vector<uint8_t> chunk(data, data + length);
  if (number == Line.failWriteNumber) {
    if (Line.shortCount < 0) {
      Line.writes.emplace_back();
      return Fail(Line.failCode);
    }
    chunk.resize(static_cast<std::size_t>(Line.shortCount));
  }
  const int written = static_cast<int>(chunk.size());
  Line.writes.push_back(std::move(chunk));
  return written;
}

int PortRead(uint8_t* data, uint32_t length, uint32_t timeoutMs) {
  if (!HandleWorks()) return -1;
  const int number = static_cast<int>(Line.readWaits.size());
  Line.readWaits.push_back(timeoutMs);
  if (number == Line.failReadNumber) return Fail(Line.failCode);
  for (int n : Line.lineErrorReads) {
    if (n == number) return Fail(kLineError);
  }
  const uint32_t deadline = Line.nowMs + timeoutMs;
  uint32_t got = 0;
  while (got < length && !Line.inbound.empty() && Line.inbound.front().arrivesAtMs <= deadline) {
    const FakeLine::Byte b = Line.inbound.front();
    if (b.arrivesAtMs > Line.nowMs) Line.nowMs = b.arrivesAtMs;
    data[got++] = b.value;
    Line.inbound.pop_front();
  }
  if (got < length) Line.nowMs = deadline;
  return static_cast<int>(got);
}

uint32_t PortError() { return LastError; }

// ClearCommError answers even on a stopped line, and starts it again.
uint32_t PortLineStatus() {
  Line.lineStopped = false;
  if (!HandleWorks()) return LastError;
  return Line.lineStatusCode;
}

bool PortIsOpen() { return Line.open; }

namespace {

int PortToken;  // what the helper hands over: the fake has one port

void FinishOpenNow() {
  Line.openHanging = false;
  PortOpenFinished(Line.plugged ? &PortToken : nullptr);
}

}  // namespace

void FakeLine::FinishOpen() {
  if (openHanging) FinishOpenNow();
}

bool StartPortOpener(uint32_t port, uint32_t baud) {
  Line.openTries.push_back(Line.nowMs);
  Line.openedPort = port;
  Line.openedBaud = baud;
  Line.openHanging = true;
  if (!Line.openBlocks && Line.openTakesMs == 0) FinishOpenNow();
  return true;
}

void AdoptOpenedPort(void*) {
  Line.open = true;
  Line.deadHandle = false;
  Line.lineStopped = false;
}

void CloseUnusedPort(void*) { Line.unusedCloses++; }

void PortClose() {
  if (Line.open) Line.closes++;
  Line.open = false;
}

uint32_t PortMillis() { return Line.nowMs; }

void PortPause(uint32_t ms) {
  Line.nowMs += ms;
  if (Line.openHanging && !Line.openBlocks && Line.nowMs - Line.openTries.back() >= Line.openTakesMs) FinishOpenNow();
}
