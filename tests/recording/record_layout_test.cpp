#include "recording/record_layout.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/recording/test_data.h"
#include "tools/recording_writer.h"

namespace sonalyt::recording {
namespace {

using testing_data::Bytes;
using testing_data::MakeBlock;
using testing_data::MakeFrames;

TEST(RecordLayout, FramesAndPlayInterval) {
  struct Case {
    std::int32_t decodedLength, paramLength, frames, intervalMs;
  };
  const Case cases[] = {
      {26 * 600 + 218, 218, 26, 40},
      {600, 0, 1, 1000},
      {11 * 600, 0, 11, 100},
      {2 * 600 + 599, 0, 2, 1000},  // left-over bytes are no frame
      {0, 0, 0, 1000},
      {100, 218, 0, 1000},  // never negative
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.decodedLength << " bytes, " << c.paramLength << " params");
    const std::int32_t frames = FramesInRecordFor(c.decodedLength, c.paramLength);
    EXPECT_EQ(frames, c.frames);
    EXPECT_EQ(PlayIntervalFor(frames), c.intervalMs);
  }
}

TEST(RecordLayout, FrameReadingsFromFrameBytes) {
  tools::FrameData frame = MakeFrames(1, 9)[0];
  frame.Reading0 = -1234;
  frame.Reading3 = INT32_MIN;
  const auto bytes = tools::FrameBytes(frame);
  // -1234 = 0xFFFFFB2E, little-endian at frame offset 300.
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 300, bytes.begin() + 304),
            (std::vector<std::uint8_t>{0x2E, 0xFB, 0xFF, 0xFF}));
  EXPECT_EQ(bytes[316], frame.Envelope[0]);
  EXPECT_EQ(bytes[595], frame.Envelope[279]);

  const FrameReadings expected{frame.Reading0, frame.Reading1, frame.Reading2, frame.Reading3,
                               frame.Envelope};
  EXPECT_EQ(ReadFrameReadings(bytes), expected);
}

// Hand-placed little-endian values at the block's offsets.
TEST(ParameterBlock, FieldsAtTheirOffsets) {
  std::array<std::uint8_t, kParameterBlockBytes> bytes{};
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 37 + 11);
  auto put16 = [&](std::size_t at, std::uint16_t v) {
    bytes[at] = static_cast<std::uint8_t>(v);
    bytes[at + 1] = static_cast<std::uint8_t>(v >> 8);
  };
  bytes[0] = 0x25;                          // StampBcd
  bytes[3] = 7;                             // NoteLength
  put16(16, 0xA000); put16(18, 0);          // ChannelWord: channel 10
  put16(56, 0x2710); put16(58, 0x0001);     // Range 0x12710
  put16(68, 500); put16(70, 0);             // Delay
  put16(94, 5920);                          // Velocity
  put16(112, 0xFFC4);                       // ScanGain -60
  put16(126, 0xFF9C);                       // CurveOffset[6] -100
  put16(148, 111);                          // DacPointDb[0]
  put16(186, 222);                          // DacPointPath[9]
  put16(188, 0xFFFF);                       // DacPointCount -1
  put16(192, 30);                           // RefHoleLength

  const ParameterBlock block = ParameterBlock::FromBytes(bytes);
  EXPECT_EQ(block.StampBcd[0], 0x25);
  EXPECT_EQ(block.NoteLength, 7);
  EXPECT_EQ(block.Channel(), 10u);
  EXPECT_EQ(block.Range, 0x12710u);
  EXPECT_EQ(block.Delay, 500u);
  EXPECT_EQ(block.Velocity, 5920);
  EXPECT_EQ(block.ScanGain, -60);
  EXPECT_EQ(block.CurveOffset[6], -100);
  EXPECT_EQ(block.DacPointDb[0], 111);
  EXPECT_EQ(block.DacPointPath[9], 222);
  EXPECT_EQ(block.DacPointCount, -1);
  EXPECT_EQ(block.RefHoleLength, 30);
  // Reserved bytes travel with the block.
  EXPECT_EQ(block.ToBytes(), bytes);
}

TEST(ParameterBlock, BitFields) {
  ParameterBlock block;
  block.DisplayWord = 1u << 13;
  EXPECT_EQ(block.ProbeType(), 2u);
  block.DisplayWord = 3u << 28;
  EXPECT_EQ(block.Rectification(), 3u);
  block.CurveWord = 6u | 9u << 28;
  EXPECT_EQ(block.CurveLineCount(), 6u);
  EXPECT_EQ(block.DacEvalLine() % 7, 2u);
  block.CurveWord = 1u << 24;
  EXPECT_EQ(block.RangeMode(), 1u);
}

// A record of `frames` frames followed by `area`.
std::vector<std::uint8_t> RecordWithArea(int frames, const std::vector<std::uint8_t>& area) {
  tools::RecordSpec content;
  content.Frames = MakeFrames(frames, 1);
  auto record = tools::DecodedRecord(content);
  record.insert(record.end(), area.begin(), area.end());
  return record;
}

TEST(RecordLayout, ApplyParameterBlockBehindLastFrame) {
  const ParameterBlock block = MakeBlock(12345);
  const auto record = RecordWithArea(26, tools::ParameterArea(block, {}));
  ASSERT_EQ(record.size(), 26u * 600 + 218);
  EXPECT_EQ(record[26 * 600 + 56], 12345 & 0xFF);

  ParameterBlock copy;
  EXPECT_TRUE(ApplyParameterBlock(record, 218, copy));
  EXPECT_EQ(copy, block);
}

TEST(RecordLayout, AreaThatCannotHoldBlockIsNotApplied) {
  const auto record = RecordWithArea(2, tools::ParameterArea(MakeBlock(1), {}));
  const ParameterBlock before = MakeBlock(999);
  const auto beyond = static_cast<std::int32_t>(record.size()) + 1;
  for (const std::int32_t paramLength : {0, -1, 217, beyond}) {
    SCOPED_TRACE(paramLength);
    ParameterBlock copy = before;
    EXPECT_FALSE(ApplyParameterBlock(record, paramLength, copy));
    EXPECT_EQ(copy, before);
    EXPECT_EQ(DecodeNoteText(record, paramLength), std::nullopt);
  }
}

TEST(RecordLayout, NoteText) {
  struct Case {
    const char* name;
    std::vector<std::uint16_t> units;
    std::optional<std::uint8_t> noteLength;  // stored instead of units.size()
    std::optional<std::string> text;
  };
  const std::vector<std::uint16_t> manyX(300, 'x');
  const Case cases[] = {
      {"ABC", {'A', 'B', 'C'}, std::nullopt, "ABC"},
      {"one unit beyond NoteLength is read", {'A', 'B', 'C', 'D'}, 3, "ABCD"},
      {"GB 2312 row and cell", {0x1001}, std::nullopt, "\xB0\xA1"},
      {"unit 0x0080 is one byte", {0x0080}, std::nullopt, "\x80"},
      {"unit 0x0081 is two bytes", {0x0081}, std::nullopt, "\xA0\x21"},
      {"zero unit ends the text", {'A', 0, 'B'}, std::nullopt, "A"},
      {"unit coding to a zero byte ends the text", {'A', 0x6041, 'B'}, std::nullopt, "A"},
      {"empty text is still a note", {0}, std::nullopt, ""},
      {"NoteLength 0 is no note", {'A', 'B'}, 0, std::nullopt},
      {"NoteLength 98 fills the work area", manyX, 98, std::string(99, 'x')},
      {"NoteLength 99 is cut to the work area", manyX, 99, std::string(99, 'x')},
      {"NoteLength 255 is cut to the work area", manyX, 255, std::string(99, 'x')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto area = tools::ParameterArea(MakeBlock(1), c.units);
    if (c.noteLength) area[kNoteLengthOffset] = *c.noteLength;
    const auto record = RecordWithArea(1, area);
    EXPECT_EQ(DecodeNoteText(record, static_cast<std::int32_t>(area.size())), c.text);
  }
}

// The area ends after unit 3 although NoteLength promises 10 units; the
// record ends there too, so a read past the area would leave the record.
TEST(RecordLayout, NoteLongerThanArea) {
  auto area = tools::ParameterArea(MakeBlock(1), std::vector<std::uint16_t>{'A', 'B', 'C'});
  area.resize(area.size() - 2);  // drop the terminating unit
  area[kNoteLengthOffset] = 10;
  const auto record = RecordWithArea(1, area);
  EXPECT_EQ(DecodeNoteText(record, static_cast<std::int32_t>(area.size())), "ABC");

  area.push_back('D');  // half a unit is not read
  const auto odd = RecordWithArea(1, area);
  EXPECT_EQ(DecodeNoteText(odd, static_cast<std::int32_t>(area.size())), "ABC");
}

TEST(RecordLayout, NoteUnitsRoundTripThroughArea) {
  struct Case {
    const char* name;
    std::string gbk;
    std::vector<std::uint16_t> units;
  };
  const Case cases[] = {
      {"ASCII", "A1 b", {'A', '1', ' ', 'b'}},
      {"GB 2312 pairs", "\xB0\xA1\xB0\xA2", {0x1001, 0x1002}},
      {"mixed", "K\xD7\xA1", {'K', 0x3701}},
      {"byte 0x80", "\x80", {0x80}},
      {"GBK pair outside GB 2312", "\x81\x40", {0xE1A0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto units = tools::NoteUnits(Bytes(c.gbk));
    EXPECT_EQ(units, c.units);
    const auto area = tools::ParameterArea(MakeBlock(1), units);
    EXPECT_EQ(area.size(), 222 + 2 * units.size());
    EXPECT_EQ(DecodeNoteText(RecordWithArea(0, area), static_cast<std::int32_t>(area.size())),
              c.gbk);
  }
  EXPECT_TRUE(tools::NoteUnits(Bytes("\xB0")).empty());  // lead byte without its pair
}

}  // namespace
}  // namespace sonalyt::recording
