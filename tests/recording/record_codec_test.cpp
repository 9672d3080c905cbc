#include "recording/record_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <string>
#include <vector>

#include "recording/record_format.h"
#include "tests/recording/test_data.h"

#if defined(__unix__)
#include <sys/mman.h>
#include <unistd.h>
#endif
#include "tools/record_encoder.h"
#include "tools/recording_writer.h"

namespace sonalyt::recording {
namespace {

using testing_data::Bytes;
using testing_data::Hex;
using testing_data::VariedBytes;
using tools::EncodeCodes;
using tools::EncodeMode;
using tools::EncodeRecordBody;
using tools::PackCodes;

constexpr std::uint8_t kUntouched = 0xEE;

// Decodes into a destination of `capacity` bytes prefilled with kUntouched
// and checks that nothing behind the decoded bytes was written.
std::vector<std::uint8_t> Decode(std::span<const std::uint8_t> body,
                                 std::size_t capacity = kRecordBufferBytes) {
  static RecordCodec codec;  // one codec for every body, as in the viewer
  std::vector<std::uint8_t> destination(capacity, kUntouched);
  const std::int32_t decoded = codec.DecodeRecordBody(body, destination);
  EXPECT_GE(decoded, 0);
  EXPECT_LE(static_cast<std::size_t>(decoded), capacity);
  EXPECT_TRUE(std::all_of(destination.begin() + decoded, destination.end(),
                          [](std::uint8_t b) { return b == kUntouched; }))
      << "bytes written behind the decoded length " << decoded;
  destination.resize(static_cast<std::size_t>(decoded));
  return destination;
}

std::vector<std::uint8_t> DecodeCodes(const std::vector<std::uint16_t>& codes) {
  return Decode(PackCodes(codes));
}

std::vector<std::uint16_t> SingleByteCodes(std::span<const std::uint8_t> bytes) {
  return {bytes.begin(), bytes.end()};
}

TEST(RecordCodec, WorkedBodies) {
  struct Case {
    const char* name;
    std::string decoded;
    std::vector<std::uint16_t> codes;
    std::string body;
    EncodeMode mode;
  };
  const Case cases[] = {
      {"two single bytes", "ab", {97, 98}, "30 98 80", EncodeMode::LongestMatch},
      {"entry 258", "abab", {97, 98, 258}, "30 98 A0 40", EncodeMode::LongestMatch},
      {"spelled as single bytes", "abab", {97, 98, 97, 98}, "30 98 8C 26 20",
       EncodeMode::SingleByteCodes},
      {"codes naming the entry they define", "aaaaaa", {97, 258, 259}, "30 C0 A0 60",
       EncodeMode::LongestMatch},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto decoded = Bytes(c.decoded);
    EXPECT_EQ(EncodeCodes(decoded, c.mode), c.codes);
    EXPECT_EQ(PackCodes(c.codes), Hex(c.body));
    EXPECT_EQ(Decode(Hex(c.body)), decoded);
  }
}

TEST(RecordCodec, EmptyBodyWritesNothing) {
  EXPECT_TRUE(Decode(std::span<const std::uint8_t>{}).empty());
  EXPECT_TRUE(EncodeRecordBody({}).empty());
}

// The width of a code depends on its position in the generation. A body of
// zero codes ending in code 0xFF shows the total width: its last set bit is
// the last bit of the last code.
TEST(RecordCodec, CodeWidthsFollowPositionInGeneration) {
  struct Case {
    std::size_t codes;
    std::size_t bits;
  };
  const Case cases[] = {
      {254, 254 * 9},                          // last 9-bit code
      {255, 254 * 9 + 10},                     // first 10-bit code
      {766, 254 * 9 + 512 * 10},               // last 10-bit code
      {767, 254 * 9 + 512 * 10 + 11},          // first 11-bit code
      {1790, 254 * 9 + 512 * 10 + 1024 * 11},  // last 11-bit code
      {1791, 254 * 9 + 512 * 10 + 1024 * 11 + 12},
      {3838, 254 * 9 + 512 * 10 + 1024 * 11 + 2048 * 12},  // last code of a generation
      {3839, 254 * 9 + 512 * 10 + 1024 * 11 + 2048 * 12 + 9},  // next generation: 9 bits
      {3840, 254 * 9 + 512 * 10 + 1024 * 11 + 2048 * 12 + 18},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.codes);
    std::vector<std::uint16_t> codes(c.codes - 1, 0);
    codes.push_back(0xFF);
    const auto body = PackCodes(codes);
    ASSERT_EQ(body.size(), (c.bits + 7) / 8);
    const int lastSetBit = 7 - std::countr_zero(body.back());
    EXPECT_EQ((body.size() - 1) * 8 + static_cast<std::size_t>(lastSetBit) + 1, c.bits);
    EXPECT_EQ(Decode(body), std::vector<std::uint8_t>(codes.begin(), codes.end()));

    // The same widths with varied single bytes.
    const auto varied = VariedBytes(c.codes, static_cast<std::uint32_t>(c.codes));
    EXPECT_EQ(DecodeCodes(SingleByteCodes(varied)), varied);
  }
}

// Bodies that cross generations, chunk boundaries of the original reader
// and long strings decode back to their input in both encoder modes.
TEST(RecordCodec, RoundTrips) {
  std::vector<std::uint8_t> runs;
  for (int length = 1; runs.size() < 12000; ++length) {
    runs.insert(runs.end(), static_cast<std::size_t>(length),
                static_cast<std::uint8_t>('a' + length % 3));
  }
  std::vector<std::uint8_t> record;
  for (const auto& frame : testing_data::MakeFrames(26, 5)) {
    const auto bytes = tools::FrameBytes(frame);
    record.insert(record.end(), bytes.begin(), bytes.end());
  }
  struct Case {
    const char* name;
    std::vector<std::uint8_t> input;
    std::size_t minimumCodes;
  };
  const Case cases[] = {
      {"varied text over several generations", VariedBytes(40000, 1), 3 * 3838},
      {"runs of growing length", runs, 0},
      // Byte 1024 of the body lies inside an 11-bit code; output > 1024.
      {"body longer than 1024 bytes", VariedBytes(1500, 2), 0},
      {"record of 26 frames", record, 0},
      {"every byte value", [] {
         std::vector<std::uint8_t> all(256 * 20);
         for (std::size_t i = 0; i < all.size(); ++i) {
           all[i] = static_cast<std::uint8_t>(i * 7 / 20);
         }
         return all;
       }(), 0},
  };
  for (const Case& c : cases) {
    for (const EncodeMode mode : {EncodeMode::LongestMatch, EncodeMode::SingleByteCodes}) {
      SCOPED_TRACE(std::string(c.name) +
                   (mode == EncodeMode::LongestMatch ? ", longest match" : ", single bytes"));
      const auto codes = EncodeCodes(c.input, mode);
      EXPECT_GE(codes.size(), c.minimumCodes);
      EXPECT_EQ(Decode(PackCodes(codes), c.input.size() + 100), c.input);
    }
  }
}

// Hand-written: 97 = 0 0110 0001, 259 = 1 0000 0011 (9 bits each).
// 00110000 11000000 11|000000 -> 30 C0 C0. Only 258 is free after 'a'.
TEST(RecordCodec, CodeBeyondNextFree) {
  EXPECT_EQ(Decode(Hex("30 C0 C0")), Bytes("a"));
  // Also when an earlier body of the same codec defined that entry.
  ASSERT_EQ(Decode(EncodeRecordBody(Bytes("abababababab"))), Bytes("abababababab"));
  EXPECT_EQ(DecodeCodes({97, 98, 260}), Bytes("ab"));
}

TEST(RecordCodec, CodeNeverDefined) {
  EXPECT_EQ(DecodeCodes({97, 256, 98}), Bytes("a"));
  EXPECT_EQ(DecodeCodes({97, 98, 257}), Bytes("ab"));
}

TEST(RecordCodec, FirstCodeNotSingleByte) {
  // 258 = 1 0000 0010: 10000001 0|0000000 -> 81 00.
  EXPECT_TRUE(Decode(Hex("81 00")).empty());

  // First code of the second generation.
  const auto generation = VariedBytes(3838, 3);
  auto codes = SingleByteCodes(generation);
  codes.push_back(258);
  EXPECT_EQ(DecodeCodes(codes), generation);
}

// After the restart, entries of the previous generation are no longer
// defined, however far the old dictionary reached.
TEST(RecordCodec, CodeFromPreviousGeneration) {
  auto codes = EncodeCodes(VariedBytes(30000, 4), EncodeMode::LongestMatch);
  ASSERT_GT(codes.size(), 3838u);
  codes.resize(3838);
  const auto firstGeneration = DecodeCodes(codes);
  ASSERT_FALSE(firstGeneration.empty());
  codes.push_back('z');   // first code of the second generation defines 4095
  codes.push_back(4000);  // only 258 is free
  auto expected = firstGeneration;
  expected.push_back('z');
  EXPECT_EQ(DecodeCodes(codes), expected);
}

TEST(RecordCodec, BodyEndsInsideCode) {
  // One byte cannot hold the first 9-bit code.
  EXPECT_TRUE(Decode(Hex("30")).empty());

  // Eight 9-bit codes fill exactly 9 bytes; a 10th byte holds 8 of the 9
  // bits of a further code.
  const auto eight = Bytes("abcdefgh");
  auto body = PackCodes(SingleByteCodes(eight));
  ASSERT_EQ(body.size(), 9u);
  EXPECT_EQ(Decode(body), eight);
  body.push_back(0xFF);
  EXPECT_EQ(Decode(body), eight);
}

TEST(RecordCodec, OutputBeyondDestination) {
  // 97, 98, 258 decode to "abab"; the destination holds 3.
  EXPECT_EQ(Decode(Hex("30 98 A0 40"), 3), Bytes("aba"));
  // 97, 258, 259 decode to six 'a'; 258 names itself and is cut after one.
  EXPECT_EQ(Decode(Hex("30 C0 A0 60"), 2), Bytes("aa"));
  // 97, 98 decode to "ab"; the first code alone fills a destination of one.
  EXPECT_EQ(Decode(Hex("30 98 80"), 1), Bytes("a"));

  // A record one byte larger than RecordBuffer keeps its first 16384 bytes.
  const auto large = VariedBytes(kRecordBufferBytes + 1, 6);
  const auto decoded = Decode(EncodeRecordBody(large));
  EXPECT_TRUE(std::equal(decoded.begin(), decoded.end(), large.begin()));
  EXPECT_EQ(decoded.size(), static_cast<std::size_t>(kRecordBufferBytes));
}

// The scan's tail decode gives the same decoded length and the same bytes in
// its window as the full decode, for well-formed and corrupt bodies, windows
// inside one generation, across generations and clipped at either end.
TEST(RecordCodec, TailDecodeMatchesFullDecode) {
  std::vector<std::uint8_t> record;
  for (const auto& frame : testing_data::MakeFrames(26, 8)) {
    const auto bytes = tools::FrameBytes(frame);
    record.insert(record.end(), bytes.begin(), bytes.end());
  }
  const auto area =
      tools::ParameterArea(testing_data::MakeBlock(3), tools::NoteUnits(Bytes("weld 7")));
  record.insert(record.end(), area.begin(), area.end());

  auto overflowing = VariedBytes(kRecordBufferBytes + 300, 9);
  struct Case {
    const char* name;
    std::vector<std::uint8_t> body;
  };
  const Case cases[] = {
      {"record with parameter area", EncodeRecordBody(record)},
      {"record spelled as single bytes", EncodeRecordBody(record, EncodeMode::SingleByteCodes)},
      {"two generations", PackCodes(SingleByteCodes(VariedBytes(5000, 7)))},
      {"dictionary codes over two generations", EncodeRecordBody(VariedBytes(12000, 3))},
      {"more codes than PackedBuffer holds", EncodeRecordBody(VariedBytes(12000, 5))},
      {"beyond RecordBuffer", EncodeRecordBody(overflowing)},
      {"code beyond next free", Hex("30 C0 C0")},
      {"code 256", PackCodes(std::vector<std::uint16_t>{97, 256, 98})},
      {"code 257 after a dictionary code", PackCodes(std::vector<std::uint16_t>{97, 98, 258, 257, 97})},
      {"first code of the second generation not a single byte", [] {
         auto codes = SingleByteCodes(VariedBytes(3838, 3));
         codes.push_back(258);
         return PackCodes(codes);
       }()},
      {"code from the previous generation", [] {
         auto codes = EncodeCodes(VariedBytes(30000, 4), EncodeMode::LongestMatch);
         codes.resize(3838);
         codes.push_back('z');
         codes.push_back(4000);
         return PackCodes(codes);
       }()},
      {"fault deep in a 12-bit run", [] {
         auto codes = EncodeCodes(VariedBytes(30000, 6), EncodeMode::LongestMatch);
         codes.resize(3000);
         codes.push_back(4090);
         codes.push_back(97);
         return PackCodes(codes);
       }()},
      {"body ends inside code", [] {
         auto body = PackCodes(SingleByteCodes(Bytes("abcdefgh")));
         body.push_back(0xFF);
         return body;
       }()},
      {"empty", {}},
  };
  static RecordCodec codec;
  static RecordCodec oneByOne(RecordCodec::CodeCutting::OneByOne);
  for (const Case& c : cases) {
    std::vector<std::uint8_t> full(kRecordBufferBytes);
    const std::int32_t decoded = codec.DecodeRecordBody(c.body, full);
    const std::pair<std::int32_t, std::int32_t> windows[] = {
        {kParameterBlockBytes + 12, kNoteAreaOffset + kNoteWorkAreaBytes},
        {1, 1}, {0, 5}, {decoded, decoded}, {decoded + 7, 20}, {3000, 100}, {600, 0},
    };
    for (const auto& [tail, window] : windows) {
      for (RecordCodec* tailCodec : {&codec, &oneByOne}) {
        SCOPED_TRACE(testing::Message() << c.name << ", tail " << tail << ", window " << window
                                        << (tailCodec->CutsWide() ? ", wide" : ", one by one"));
        std::vector<std::uint8_t> partial(kRecordBufferBytes, kUntouched);
        ASSERT_EQ(tailCodec->DecodeRecordTail(c.body, tail, window, partial), decoded);
        const std::int32_t from = std::max(0, decoded - tail);
        const std::int32_t to = std::min(decoded, decoded - tail + window);
        for (std::int32_t i = from; i < to; ++i) {
          const auto at = static_cast<std::size_t>(i);
          ASSERT_EQ(partial[at], full[at]) << "byte " << i;
        }
      }
    }
  }
}

#if defined(__unix__)
// Memory whose last `bytes` bytes end right before a page that cannot be
// read, so that a read past them ends the test.
class BytesBeforeGuardPage {
 public:
  explicit BytesBeforeGuardPage(std::span<const std::uint8_t> bytes) {
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    pages_ = (bytes.size() + page - 1) / page * page + page;
    void* mapped = mmap(nullptr, pages_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return;
    base_ = static_cast<std::uint8_t*>(mapped);
    mprotect(base_ + pages_ - page, page, PROT_NONE);
    bytes_ = std::span<std::uint8_t>(base_ + pages_ - page - bytes.size(), bytes.size());
    std::copy(bytes.begin(), bytes.end(), bytes_.begin());
  }
  ~BytesBeforeGuardPage() {
    if (base_) munmap(base_, pages_);
  }
  BytesBeforeGuardPage(const BytesBeforeGuardPage&) = delete;
  BytesBeforeGuardPage& operator=(const BytesBeforeGuardPage&) = delete;
  std::span<const std::uint8_t> Bytes() const { return bytes_; }

 private:
  std::uint8_t* base_ = nullptr;
  std::size_t pages_ = 0;
  std::span<std::uint8_t> bytes_;
};
#endif

// Codes cut 16 at a time end where the body ends and stop at the first bad
// code, wherever these fall in a block of 16 and in the bytes loaded for it:
// the tail decode gives the full decode's length for every cut of a body
// (lying right before memory that cannot be read, where the system allows)
// and for a bad code at every place of the first blocks of each width.
TEST(RecordCodec, TailDecodeEndsWhereBodyOrCodesEnd) {
  static RecordCodec codec;
  static RecordCodec oneByOne(RecordCodec::CodeCutting::OneByOne);
  std::vector<std::uint8_t> full(kRecordBufferBytes);
  std::vector<std::uint8_t> partial(kRecordBufferBytes);
  const auto expectTailLength = [&](std::span<const std::uint8_t> body) {
    const std::int32_t decoded = codec.DecodeRecordBody(body, full);
    ASSERT_EQ(codec.DecodeRecordTail(body, 40, 40, partial), decoded);
    ASSERT_EQ(oneByOne.DecodeRecordTail(body, 40, 40, partial), decoded);
  };

  const auto codes = EncodeCodes(VariedBytes(9000, 11), EncodeMode::LongestMatch);
  const auto body = PackCodes(codes);
  for (std::size_t bytes = 0; bytes <= std::min<std::size_t>(body.size(), 2400); ++bytes) {
    SCOPED_TRACE(testing::Message() << "body cut to " << bytes << " bytes");
#if defined(__unix__)
    const BytesBeforeGuardPage guarded{std::span<const std::uint8_t>(body).first(bytes)};
    expectTailLength(guarded.Bytes());
#else
    expectTailLength(std::span(body).first(bytes));
#endif
  }
  // Runs of 9 to 12 bits start at codes 1, 254, 766 and 1790; a code above
  // the next free one at each of the first 20 places of each run.
  for (const std::size_t runStart : {1, 254, 766, 1790}) {
    for (std::size_t at = runStart; at < runStart + 20; ++at) {
      SCOPED_TRACE(testing::Message() << "bad code at " << at);
      auto bad = codes;
      bad.resize(std::max(bad.size(), at + 40), 'q');
      bad[at] = static_cast<std::uint16_t>(258 + at);
      expectTailLength(PackCodes(bad));
    }
  }
}

}  // namespace
}  // namespace sonalyt::recording
