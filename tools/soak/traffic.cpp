#include "traffic.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>

namespace {

constexpr uint8_t kStart = 0x55;
constexpr size_t kMaxPayload = 250;
constexpr size_t kQueryAt = 6;
constexpr size_t kQuerySize = 20;

// Searches the emulated player answers (see the soak's set-up), one it does not, and
// a text that fills all 20 bytes without a NUL.
constexpr const char* kQueries[] = {"rock", "jazz", "gone", "big", "nothing", "abcdefghijklmnopqrst"};

uint8_t High(uint16_t v) { return static_cast<uint8_t>(v >> 8); }
uint8_t Low(uint16_t v) { return static_cast<uint8_t>(v & 0xFF); }
uint8_t NotStart(uint8_t b) { return b == kStart ? kStart + 1 : b; }

}  // namespace

uint8_t Traffic::Byte() { return NotStart(static_cast<uint8_t>(Between(0, 255))); }

// Mostly an index that names an entry or lies just past the end; otherwise an edge.
uint16_t Traffic::Pick(std::initializer_list<uint16_t> edges, int plausibleBelow) {
  if (Percent() < 65) return static_cast<uint16_t>(Between(0, plausibleBelow));
  return *(edges.begin() + Between(0, static_cast<int>(edges.size()) - 1));
}

uint16_t Traffic::PlaylistIndex(const PanelView& v) {
  const int n = v.playlistLength;
  if (Percent() < 65) return static_cast<uint16_t>(Between(0, n));
  const uint16_t edges[] = {static_cast<uint16_t>(n > 0 ? n - 1 : 0), static_cast<uint16_t>(n),
                            static_cast<uint16_t>(n + 1), 499, 500, 0xFFFF, 0x8000};
  return edges[Between(0, static_cast<int>(std::size(edges)) - 1)];
}

// The command's natural length most of the time; sometimes shorter (missing bytes read
// as 0) or longer, up to the largest payload.
Bytes Traffic::Payload(char letter, uint8_t sub, uint16_t index, size_t length) {
  const int r = Percent();
  if (r < 8) length = static_cast<size_t>(Between(1, static_cast<int>(length)));
  if (r >= 92) length = static_cast<size_t>(Between(static_cast<int>(length), static_cast<int>(kMaxPayload)));
  Bytes p(std::max<size_t>(length, 5));
  p[0] = static_cast<uint8_t>(letter);
  p[1] = static_cast<uint8_t>(Between(0, 0x3F));  // tags of awaited commands are 0x80 and up
  p[2] = NotStart(sub);
  p[3] = NotStart(High(index));
  p[4] = NotStart(Low(index));
  for (size_t i = 5; i < p.size(); i++) p[i] = Byte();
  p.resize(length);
  return p;
}

Bytes Traffic::Transport(const PanelView& view) {
  const int which = Between(0, 9);
  if (which < 6) {
    const uint8_t sub = Percent() < 95 ? static_cast<uint8_t>(Between(0, 8)) : Byte();
    uint16_t index = static_cast<uint16_t>(Byte() << 8 | Byte());
    if (sub == 1) index = PlaylistIndex(view);
    if (sub == 2 || sub == 3) index = BrowseIndex();
    if (sub == 4) index = ResultIndex();
    return Payload('P', sub, index, 6);
  }
  if (which < 8) return Payload('S', Percent() < 90 ? static_cast<uint8_t>(Between(0, 1)) : Byte(), 0, 6);
  return Payload('O', static_cast<uint8_t>(Between(0, 3)), 0, 6);
}

Bytes Traffic::Select() {
  const int r = Percent();
  const uint8_t sub = r < 20 ? 0 : r < 50 ? 1 : r < 60 ? 2 : r < 75 ? 3 : r < 95 ? 4 : Byte();
  if (sub != 4) return Payload('Q', sub, sub == 1 ? BrowseIndex() : 0, 6);
  Bytes p = Payload('Q', sub, 0, kQueryAt + kQuerySize);
  if (p.size() < kQueryAt + kQuerySize) return p;
  const char* query = kQueries[Between(0, static_cast<int>(std::size(kQueries)) - 1)];
  std::fill(p.begin() + kQueryAt, p.begin() + kQueryAt + kQuerySize, 0);
  std::memcpy(&p[kQueryAt], query, std::min(std::strlen(query), kQuerySize));
  return p;
}

Bytes Traffic::Transfer() {
  const int r = Percent();
  return Payload('L', r < 70 ? 0 : r < 95 ? 6 : Byte(), 0, 6);
}

Bytes Traffic::Edit(const PanelView& view) {
  const int r = Percent();
  const uint8_t sub = r < 15 ? 0 : r < 30 ? 1 : r < 55 ? 2 : r < 67 ? 3 : r < 82 ? 4 : r < 86 ? 5 : Byte();
  uint16_t a = 0;
  if (sub == 0 || sub == 1) a = PlaylistIndex(view);
  if (sub == 2) a = BrowseIndex();
  if (sub == 3) a = ResultIndex();
  Bytes p = Payload('E', sub, a, 10);
  if (sub == 1 && p.size() >= 7) {
    const uint16_t b = Percent() < 80 ? PlaylistIndex(view) : Pick({0xFFFF, 0x8000, 600}, 520);
    p[5] = NotStart(High(b));
    p[6] = NotStart(Low(b));
  }
  return p;
}

Bytes Traffic::Info(const PanelView& view) {
  const int r = Percent();
  const uint8_t source = r < 40 ? 0 : r < 75 ? 1 : r < 95 ? 2 : Byte();
  const uint16_t index = source == 0 ? BrowseIndex() : source == 1 ? PlaylistIndex(view) : ResultIndex();
  return Payload('I', source, index, Percent() < 50 ? 5 : 100);
}

Bytes Traffic::Unknown() {
  constexpr uint8_t kLetters[] = {'B', 'D', 'Z', 'a', 'f', 0x00, 0xFF};
  if (Percent() < 15) return {};  // a frame with no payload at all
  return Payload(static_cast<char>(kLetters[Between(0, static_cast<int>(std::size(kLetters)) - 1)]), Byte(),
                 0, 6);
}

Bytes Traffic::SafePayload(const PanelView& view) {
  const int r = Between(0, 79);
  if (r < 26) return Transfer();
  if (r < 38) return Select();
  if (r < 57) return Transport(view);
  if (r < 71) return Edit(view);
  if (r < 76) return Info(view);
  return Unknown();
}

Outgoing Traffic::Command(const PanelView& view) {
  Outgoing out;
  const Bytes payload = SafePayload(view);
  out.first = EncodeFrame(payload, Byte());
  out.letter = payload.empty() ? 0 : static_cast<char>(payload[0]);
  out.kind = payload.empty() ? "(empty)" : std::isprint(payload[0]) ? std::string(1, out.letter) : "(other)";
  return out;
}

Outgoing Traffic::Dump(const PanelView& view, uint8_t tag) {
  const int r = Percent();
  const uint8_t source = r < 60 ? 0 : r < 95 ? 1 : 2;
  Bytes p = Payload('F', source, source == 1 ? PlaylistIndex(view) : BrowseIndex(), 6);
  p.resize(6);  // all of it comes back in the acknowledgement
  p[1] = tag;
  return Outgoing{EncodeFrame(p, Byte()), {}, "F", 'F'};
}

Outgoing Traffic::Probe(uint8_t tag) {
  return Outgoing{EncodeFrame({'L', tag, 6, 0, 0, 0}), {}, "probe", 'L'};
}

Outgoing Traffic::Broken(const PanelView& view) {
  Outgoing out;
  Bytes frame = EncodeFrame(SafePayload(view), Byte());
  const size_t length = frame.size() - 6;
  switch (Between(0, 6)) {
    case 0: {
      constexpr uint8_t kStarts[][2] = {{0x54, 0xAA}, {0x56, 0xAA}, {0xAA, 0xAA}, {0x55, 0xAB}, {0, 0}};
      const auto& s = kStarts[Between(0, static_cast<int>(std::size(kStarts)) - 1)];
      frame[0] = s[0];
      frame[1] = s[1];
      out.kind = "bad start marker";
      break;
    }
    case 1: {
      const int how = Between(0, 3);
      if (how == 3) {
        frame.resize(frame.size() - static_cast<size_t>(Between(1, 2)));
      } else {
        constexpr uint8_t kEnds[][2] = {{0xBB, 0xCD}, {0xCC, 0xBB}, {0xBB, 0xBB}};
        frame[frame.size() - 2] = kEnds[how][0];
        frame[frame.size() - 1] = kEnds[how][1];
      }
      out.kind = "bad end marker";
      break;
    }
    case 2: {
      const uint8_t lengths[] = {0, static_cast<uint8_t>(length + 1), static_cast<uint8_t>(length > 0 ? length - 1 : 2),
                                 static_cast<uint8_t>(length + 20), 250, 251, 255, Byte()};
      uint8_t wrong = lengths[Between(0, static_cast<int>(std::size(lengths)) - 1)];
      if (wrong == length) wrong = static_cast<uint8_t>(length + 3);
      frame[3] = NotStart(wrong);
      out.kind = "wrong length";
      break;
    }
    case 3:
      frame.resize(static_cast<size_t>(Between(1, static_cast<int>(frame.size()) - 1)));
      out.kind = "truncated";
      break;
    case 4:
      frame.resize(static_cast<size_t>(Between(1, 48)));
      for (uint8_t& b : frame) b = Byte();
      out.kind = "noise";
      break;
    case 5: {
      const long at = Between(1, static_cast<int>(frame.size()) - 1);
      out.second.assign(frame.begin() + at, frame.end());
      frame.resize(static_cast<size_t>(at));
      out.kind = "split in two writes";
      break;
    }
    default:
      for (int i = Between(1, 5); i > 0; i--) {
        const Bytes more = EncodeFrame(SafePayload(view), Byte());
        frame.insert(frame.end(), more.begin(), more.end());
      }
      out.kind = "burst";
      break;
  }
  out.first = std::move(frame);
  return out;
}
