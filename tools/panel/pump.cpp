#include "line.h"

namespace {

void NoteDevice(Line& line, Session& s) {
  const std::string problem = line.Problem();
  if (problem.empty() == !s.deviceGone) return;
  s.deviceGone = !problem.empty();
  Event e;
  e.kind = s.deviceGone ? EventKind::DeviceGone : EventKind::DeviceBack;
  e.label = problem;
  s.events.push_back(e);
  s.stream.clear();  // half a frame from before does not belong to what comes next
}

}  // namespace

void Pump(Line& line, Session& s, int waitMs) {
  uint8_t buffer[1024];
  const int n = line.Read(buffer, sizeof buffer, waitMs);
  NoteDevice(line, s);
  const double now = line.NowMs();
  if (n > 0) {
    const Bytes command = Feed(s, buffer, static_cast<size_t>(n), now);
    if (!command.empty()) line.Write(command);
  }
  CheckLine(s, now);
}
