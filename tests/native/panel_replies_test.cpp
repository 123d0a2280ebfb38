// The panel emulator's reading of the wire, from bytes: commands as it builds them,
// replies as it recognises them, chunks and song details as it unpacks them.
#include <gtest/gtest.h>

#include <cstring>

#include "commands.h"
#include "describe.h"
#include "replies.h"

namespace {

Bytes Chunk(const std::string& packed, int used) {
  Bytes c(kChunkLength, 0);
  c[0] = 'D';
  c[3] = static_cast<uint8_t>(used);
  std::memcpy(&c[4], packed.data(), std::min<size_t>(packed.size(), kChunkLength - 4));
  return c;
}

TEST(PanelWire, BuildsCommandPayloadsFromTheTables) {
  struct Case {
    Bytes built, wire;
  } cases[] = {
      // the index travels high byte first: 300 is 01 2C
      {CommandPayload('P', kPlayEntry, 300), {'P', 0, 1, 0x01, 0x2C, 0}},
      // "Q" 1 with no entry rescans the current folder
      {CommandPayload('Q', kEnter, kNoEntry), {'Q', 0, 1, 0xFF, 0xFF, 0}},
      // "E" carries index B in bytes 5 and 6 and is 10 bytes long
      {EditPayload(kMove, 2, 0x0105), {'E', 0, 1, 0, 2, 0x01, 0x05, 0, 0, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.built, c.wire);

  const Bytes search = SearchPayload("a search text that is far too long");
  ASSERT_EQ(search.size(), 26u);
  EXPECT_EQ(std::string(search.begin() + 6, search.begin() + 25), "a search text that ");  // 19 characters
  EXPECT_EQ(search[25], 0);  // the text always ends within its 20 bytes
}

TEST(PanelWire, RecognisesEveryReplyByItsShape) {
  struct Case {
    Bytes payload;
    ReplyForm form;
    int tag;
  } cases[] = {
      {{'L', 9, 5, 1, 0, 0}, ReplyForm::ListChosen, 9},  // "Q" reply: byte 1 comes back, 0 when unasked
      {{'L', 9, 1, 0, 0, 0}, ReplyForm::ListRestarted, 9},
      {{'L', 9, 3, 0, 0, 0}, ReplyForm::ListEnd, 9},
      {Chunk("A", 2), ReplyForm::ListChunk, -1},
      {{'E', 7, 6, 0, 1, 0, 2, 0, 0, 0}, ReplyForm::Edited, 7},
      {{'F', 4, 2, 0, 1, 0}, ReplyForm::Dumped, 4},
      {Bytes(kSongInfoLength, 'I'), ReplyForm::SongInfo, 'I'},
      {{'E', 7, 6, 0, 1, 0}, ReplyForm::Unknown, -1},  // an "E" ack is 10 bytes, not 6
      {{'L', 0, 4, 0, 0, 0}, ReplyForm::Unknown, -1},  // no such status
      {{}, ReplyForm::Unknown, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(HexText(c.payload));
    EXPECT_EQ(ClassifyReply(c.payload), c.form);
    if (c.form != ReplyForm::Unknown) EXPECT_EQ(EchoedTag(c.form, c.payload), c.tag);
  }
  EXPECT_EQ(ChosenKind({'L', 0, 5, 2, 0, 0}), ListKind::Search);
  EXPECT_FALSE(ChosenKind({'L', 0, 5, 7, 0, 0}));  // a failed scan names no list
}

TEST(PanelWire, UnpacksChunkTitlesWithinTheUsedLength) {
  struct Case {
    Bytes chunk;
    std::vector<std::string> titles;
  } cases[] = {
      {Chunk(std::string("A\0BB\0CCC\0", 9), 9), {"A", "BB", "CCC"}},
      // empty titles are entries too
      {Chunk(std::string("\0\0X\0", 4), 4), {"", "", "X"}},
      // bytes past the used length are not entries
      {Chunk(std::string("A\0B\0", 4), 2), {"A"}},
      // a used length past the chunk's end reads no further than the chunk
      {Chunk(std::string(240, 'x'), 255), {std::string(240, 'x')}},
      {Chunk("", 0), {}},
  };
  for (const Case& c : cases) EXPECT_EQ(ChunkTitles(c.chunk), c.titles);
}

TEST(PanelWire, ReadsSongDetails) {
  Bytes p(kSongInfoLength, 0);
  p[0] = 'I';
  const uint8_t fields[] = {4, 5, 64, 20, 5, 'r', 'a', 0};
  std::memcpy(&p[5], fields, sizeof fields);
  std::memset(&p[40], 'a', 30);  // an artist that fills its field without a NUL
  std::memcpy(&p[70], "Title", 5);
  const SongDetails d = DecodeSongInfo(p);
  EXPECT_EQ(d.minutes, 4);
  EXPECT_EQ(d.seconds, 5);
  EXPECT_EQ(d.bitrate, 64);  // 320 kbit/s arrives as its low 8 bits
  EXPECT_EQ(d.year, 2005);
  EXPECT_EQ(d.type, "ra");
  EXPECT_EQ(d.artist, std::string(30, 'a'));  // stops at the field's end, not in the title
  EXPECT_EQ(d.title, "Title");
  p[6] = 0xFF;  // a length the player does not know
  EXPECT_EQ(DecodeSongInfo(p).seconds, -1);
}

TEST(PanelWire, WritesStatusTimesAsThePanelShowsThem) {
  EXPECT_EQ(TimeText(1, 6), "1:06");
  EXPECT_EQ(TimeText(-3, -5), "-3:05");  // remaining time arrives negative
  EXPECT_EQ(TimeText(-1, 0), "-1:00");
  EXPECT_EQ(TimeText(0, -7), "-0:07");
}

}  // namespace
