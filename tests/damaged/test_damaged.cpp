// Damaged recordings, as they come off instruments over cables and cards:
// cut short, bit-flipped, with impossible header values or parameter areas.
// Each is opened through the viewer session and everything is visited
// (session_walk.h); nothing may crash or break an invariant, and the records
// before the damage must show exactly as in the undamaged recording.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <limits>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "recording/record_format.h"
#include "session/viewer_session.h"
#include "tests/damaged/damaged_recordings.h"
#include "tests/damaged/session_walk.h"
#include "tools/record_encoder.h"
#include "tools/recording_writer.h"

namespace sonalyt::damaged {
namespace {

using recording::kRecordHeaderBytes;
using recording::RecordIndexEntry;
using tools::RecordingWriter;
using tools::RecordSpec;

constexpr std::int32_t kMaxInt = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMinInt = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kStepCap = 400;

// What a session shows of a recording.
struct Opened {
  std::vector<RecordIndexEntry> Index;
  std::vector<std::int32_t> NoteRecords;
  std::vector<std::string> NoteTexts;
  WalkLog Log;
};

Opened OpenAndWalk(std::span<const std::uint8_t> bytes, std::int32_t stepCap = kStepCap) {
  // Opened from memory: the test processes that CTest runs side by side
  // share no file.
  session::ViewerSession session;
  std::string error;
  EXPECT_TRUE(session.OpenRecording(std::make_unique<recording::MemoryByteSource>(
                                        std::vector<std::uint8_t>(bytes.begin(), bytes.end())),
                                    &error))
      << error;
  Opened opened;
  opened.Index = session.File().RecordIndex();
  opened.NoteRecords = session.File().NoteRecords();
  opened.NoteTexts = session.File().NoteTexts();
  opened.Log = WalkRecording(session, stepCap);
  EXPECT_EQ(opened.Log.Faults, std::vector<std::string>{});
  return opened;
}

class DamagedRecordingTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    reference_ = new std::vector<std::uint8_t>(Bytes(SmallRecording()));
    bounds_ = new std::vector<RecordBounds>(BoundsOf(*reference_));
    shown_ = new Opened(OpenAndWalk(*reference_));
  }
  static void TearDownTestSuite() {
    delete reference_;
    delete bounds_;
    delete shown_;
  }

  // Records wholly before byte `damage` of the file.
  static std::size_t RecordsBefore(std::size_t damage) {
    std::size_t n = 0;
    while (n < bounds_->size() && (*bounds_)[n].End <= damage) ++n;
    return n;
  }

  // The first `intact` records are indexed, listed and shown as undamaged.
  static void ExpectIntact(const Opened& damaged, std::size_t intact) {
    ASSERT_GE(damaged.Index.size(), intact);
    ASSERT_GE(damaged.Log.Jumps.size(), intact);
    ASSERT_GE(shown_->Index.size(), intact);
    ASSERT_GE(shown_->Log.Jumps.size(), intact);
    EXPECT_EQ(std::vector(damaged.Index.begin(), damaged.Index.begin() + intact),
              std::vector(shown_->Index.begin(), shown_->Index.begin() + intact));
    EXPECT_EQ(std::vector(damaged.Log.Jumps.begin(), damaged.Log.Jumps.begin() + intact),
              std::vector(shown_->Log.Jumps.begin(), shown_->Log.Jumps.begin() + intact));
    for (std::size_t i = 0; i < shown_->NoteRecords.size(); ++i) {
      if (static_cast<std::size_t>(shown_->NoteRecords[i]) >= intact) break;
      ASSERT_GT(damaged.NoteRecords.size(), i);
      EXPECT_EQ(damaged.NoteRecords[i], shown_->NoteRecords[i]);
      EXPECT_EQ(damaged.NoteTexts[i], shown_->NoteTexts[i]);
    }
  }

  static std::vector<std::uint8_t>* reference_;
  static std::vector<RecordBounds>* bounds_;
  static Opened* shown_;
};

std::vector<std::uint8_t>* DamagedRecordingTest::reference_ = nullptr;
std::vector<RecordBounds>* DamagedRecordingTest::bounds_ = nullptr;
Opened* DamagedRecordingTest::shown_ = nullptr;

TEST_F(DamagedRecordingTest, UndamagedRecordingIsShownWhole) {
  ASSERT_EQ(bounds_->size(), 5u);
  EXPECT_EQ(shown_->Index.size(), 5u);
  EXPECT_EQ(shown_->NoteTexts, (std::vector<std::string>{"AB", "CD"}));
  EXPECT_TRUE(shown_->Log.PlaybackReachedEnd);
  // Playback draws all but the last frame slot, and only frame 0 of the last record.
  EXPECT_EQ(shown_->Log.PlaybackFramesDrawn, 2 + 1 + 2 + 0 + 1);
}

// Cut inside the count: no recording. The open is refused with the reason
// and the recording open before stays.
TEST_F(DamagedRecordingTest, CutInsideTheCountIsRefused) {
  session::ViewerSession session;
  ASSERT_TRUE(session.OpenRecording(std::make_unique<recording::MemoryByteSource>(*reference_)));
  for (std::size_t length = 0; length < recording::kRecordCountBytes; ++length) {
    SCOPED_TRACE("cut after " + std::to_string(length) + " bytes");
    std::string error;
    recording::OpenFailure failure = recording::OpenFailure::None;
    EXPECT_FALSE(session.OpenRecording(
        std::make_unique<recording::MemoryByteSource>(
            std::vector<std::uint8_t>(reference_->begin(), reference_->begin() + static_cast<std::ptrdiff_t>(length))),
        &error, &failure));
    EXPECT_EQ(failure, recording::OpenFailure::TooShort);
    EXPECT_NE(error.find("too short to hold a record count"), std::string::npos) << error;
    EXPECT_EQ(session.File().RecordIndex(), shown_->Index);
    EXPECT_EQ(session.RecordCount(), 5);
  }
}

// Cut after every byte of every header, at the start, middle and end of
// every body, and on every boundary between records.
TEST_F(DamagedRecordingTest, CutShortKeepsEveryCompleteRecord) {
  std::vector<std::size_t> lengths;
  for (const RecordBounds& r : *bounds_) {
    for (std::size_t i = 0; i <= kRecordHeaderBytes; ++i) lengths.push_back(r.Header + i);
    const std::size_t body = r.Header + kRecordHeaderBytes;
    lengths.insert(lengths.end(), {body + 1, (body + r.End) / 2, r.End - 1, r.End});
  }
  for (std::size_t length : lengths) {
    SCOPED_TRACE("cut after " + std::to_string(length) + " bytes");
    const Opened cut = OpenAndWalk(std::span(*reference_).first(length));
    const std::size_t complete = RecordsBefore(length);
    EXPECT_EQ(cut.Index.size(), complete);
    ExpectIntact(cut, complete);
    // Playback runs past the short index to the recorded count, loading
    // beyond the index, and ends.
    if (length >= recording::kRecordCountBytes) {
      EXPECT_TRUE(cut.Log.PlaybackReachedEnd);
    }
    if (HasFailure()) break;
  }
}

TEST_F(DamagedRecordingTest, BitFlipsLeaveTheRecordsBeforeThemAlone) {
  for (std::uint32_t seed = 1; seed <= 150; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes = *reference_;
    // The count stays; its damage is a case of its own.
    std::uniform_int_distribution<std::size_t> where(recording::kRecordCountBytes, bytes.size() - 1);
    std::size_t first = bytes.size();
    for (std::uint32_t flip = 0; flip <= seed % 4; ++flip) {
      const std::size_t at = where(random);
      bytes[at] ^= static_cast<std::uint8_t>(1u << (random() % 8));
      first = std::min(first, at);
    }
    const Opened flipped = OpenAndWalk(bytes);
    ExpectIntact(flipped, RecordsBefore(first));
    if (HasFailure()) break;
  }
}

struct HeaderCase {
  const char* name;
  int record;
  std::size_t field;  // 0 BodyLength, 4 ParamLength
  std::int32_t value;
};

// Header values outside the format end the readable file at that record.
TEST_F(DamagedRecordingTest, HeaderOutOfBoundsEndsTheIndexThere) {
  const std::int32_t decodedOfRecord2 = 3 * recording::kFrameBytes + recording::kParameterBlockBytes;
  const HeaderCase cases[] = {
      {"BodyLengthNegative", 1, 0, -1},
      {"BodyLengthZeroWithParameterArea", 2, 0, 0},
      {"BodyLengthOneBeyondPackedBuffer", 1, 0, recording::kPackedBufferBytes + 1},
      {"BodyLengthMaxInt", 1, 0, kMaxInt},
      {"BodyLengthMinInt", 3, 0, kMinInt},
      {"BodyLengthBeyondFileOnLastRecord", 4, 0, recording::kPackedBufferBytes},
      {"ParamLengthAboveDecodedLength", 2, 4, decodedOfRecord2 + 1},
      {"ParamLengthMaxInt", 2, 4, kMaxInt},
      {"ParamLengthNegative", 2, 4, -1},
      {"ParamLengthOnRecordWithoutArea", 1, 4, 2 * recording::kFrameBytes + 1},
      {"ParamLengthMinIntOnLastRecord", 4, 4, kMinInt},
  };
  for (const HeaderCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::uint8_t> bytes = *reference_;
    StoreInt32(bytes, (*bounds_)[c.record].Header + c.field, c.value);
    const Opened damaged = OpenAndWalk(bytes);
    EXPECT_EQ(damaged.Index.size(), static_cast<std::size_t>(c.record));
    ExpectIntact(damaged, c.record);
    EXPECT_TRUE(damaged.Log.PlaybackReachedEnd);
  }
}

// A zero BodyLength on a record without a parameter area is a record with
// no frames; the bytes of its former body are then read as the next header.
TEST_F(DamagedRecordingTest, BodyLengthZeroWithoutParameterAreaIsAnEmptyRecord) {
  std::vector<std::uint8_t> bytes = *reference_;
  StoreInt32(bytes, (*bounds_)[3].Header, 0);
  const Opened damaged = OpenAndWalk(bytes);
  ExpectIntact(damaged, 3);
  ASSERT_GE(damaged.Log.Jumps.size(), 4u);
  EXPECT_EQ(damaged.Log.Jumps[3].FramesInRecord, 0);
  EXPECT_EQ(damaged.Log.Jumps[3].DecodedLength, 0);
}

struct CountCase {
  const char* name;
  std::int32_t count;
  std::size_t indexed;
  bool playsToEnd;
};

TEST_F(DamagedRecordingTest, RecordCountOfAnyValueIndexesWhatTheFileHolds) {
  const CountCase cases[] = {
      {"CountZero", 0, 1, true},          // the scan runs once
      {"CountNegative", -1, 1, true},
      {"CountMinInt", kMinInt, 1, true},
      {"CountBelowRecords", 2, 3, true},  // one record beyond the count
      {"CountAboveRecords", 40, 5, true}, // playback loads 35 records past the index
      {"CountMaxInt", kMaxInt, 5, false}, // plays on past the index until cut
  };
  for (const CountCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Opened damaged = OpenAndWalk(Bytes(SmallRecording(), c.count));
    EXPECT_EQ(damaged.Index.size(), c.indexed);
    ExpectIntact(damaged, c.indexed);
    EXPECT_EQ(damaged.Log.PlaybackReachedEnd, c.playsToEnd);
  }
}

// Record 2 replaced by `decoded` with the header ParamLength `paramLength`.
std::vector<std::uint8_t> WithRecord2(std::span<const std::uint8_t> decoded, std::int32_t paramLength) {
  const std::vector<RecordSpec> contents = SmallRecording();
  RecordingWriter writer;
  for (int r = 0; r < 5; ++r) {
    if (r != 2) {
      writer.AddRecord(contents[r]);
      continue;
    }
    const std::vector<std::uint8_t> body = tools::EncodeRecordBody(decoded);
    writer.AddRawRecord(static_cast<std::int32_t>(body.size()), paramLength, body);
  }
  return writer.Bytes();
}

RecordSpec Record2WithNote(std::size_t units) {
  RecordSpec content = SmallRecording()[2];
  for (std::size_t i = 0; i < units; ++i) content.NoteUnits.push_back(static_cast<std::uint16_t>('a' + i % 26));
  return content;
}

std::string NoteOf(std::size_t units) {
  std::string text;
  for (std::size_t i = 0; i < units; ++i) text += static_cast<char>('a' + i % 26);
  return text;
}

struct AreaCase {
  const char* name;
  std::vector<std::uint8_t> decoded;
  std::int32_t paramLength;
  std::string fullNote;  // what the note would say if nothing were cut
};

// Parameter areas that do not hold what their header or NoteLength claims.
// The record stays indexed, nothing outside the area is read, and a note
// that is shown at all is a prefix of what the area holds.
TEST_F(DamagedRecordingTest, ParameterAreaShorterThanItsContents) {
  const auto area = [](const RecordSpec& s) {
    return static_cast<std::int32_t>(tools::ParameterArea(*s.Parameters, s.NoteUnits).size());
  };
  std::vector<AreaCase> cases;
  {
    // The decoded record ends where the header's ParamLength says the area
    // ends, so the block stays in place and the area is cut behind it.
    const RecordSpec s = Record2WithNote(5);
    const std::vector<std::uint8_t> whole = tools::DecodedRecord(s);
    const std::size_t frames = whole.size() - static_cast<std::size_t>(area(s));
    const auto cutTo = [&](std::int32_t paramLength) {
      return std::vector<std::uint8_t>(whole.begin(), whole.begin() + frames + paramLength);
    };
    cases.push_back({"ParamLengthShorterThanBlock", cutTo(217), 217, ""});
    cases.push_back({"ParamLengthOne", cutTo(1), 1, ""});
    cases.push_back({"ParamLengthCutsTheNote", cutTo(area(s) - 3), area(s) - 3, NoteOf(5)});
  }
  for (std::size_t units : {99u, 255u}) {
    const RecordSpec s = Record2WithNote(units);
    cases.push_back({units == 99 ? "NoteLength99" : "NoteLength255FullArea",
                     tools::DecodedRecord(s), area(s), NoteOf(units)});
  }
  {
    // A NoteLength of 255 over a note of two units: the area ends long before.
    const RecordSpec s = Record2WithNote(2);
    std::vector<std::uint8_t> decoded = tools::DecodedRecord(s);
    decoded[decoded.size() - area(s) + recording::kNoteLengthOffset] = 255;
    cases.push_back({"NoteLength255ShortArea", decoded, area(s), NoteOf(2)});
  }
  for (const AreaCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Opened damaged = OpenAndWalk(WithRecord2(c.decoded, c.paramLength));
    EXPECT_EQ(damaged.Index.size(), 5u);
    ExpectIntact(damaged, 2);
    for (std::size_t i = 0; i < damaged.NoteRecords.size(); ++i) {
      if (damaged.NoteRecords[i] != 2) continue;
      const std::string& text = damaged.NoteTexts[i];
      EXPECT_EQ(text, c.fullNote.substr(0, text.size())) << "not a prefix of the note";
    }
  }
}

// The longest note the work area holds comes through whole.
TEST_F(DamagedRecordingTest, NoteLength98IsShownWhole) {
  const RecordSpec s = Record2WithNote(recording::kMaxNoteLength);
  const auto decoded = tools::DecodedRecord(s);
  const auto paramLength =
      static_cast<std::int32_t>(tools::ParameterArea(*s.Parameters, s.NoteUnits).size());
  const Opened opened = OpenAndWalk(WithRecord2(decoded, paramLength));
  EXPECT_EQ(opened.NoteRecords, (std::vector<std::int32_t>{0, 2, 4}));
  ASSERT_EQ(opened.NoteTexts.size(), 3u);
  EXPECT_EQ(opened.NoteTexts[1], NoteOf(recording::kMaxNoteLength));
}

// A body that decodes to more than the record buffer holds (a run of zero
// bytes compresses very well) is cut at the buffer's end.
TEST_F(DamagedRecordingTest, BodyDecodesBeyondRecordBuffer) {
  for (std::int32_t paramLength : {0, recording::kParameterBlockBytes}) {
    SCOPED_TRACE("ParamLength " + std::to_string(paramLength));
    const std::vector<std::uint8_t> decoded(3 * recording::kRecordBufferBytes, 0);
    const Opened damaged = OpenAndWalk(WithRecord2(decoded, paramLength));
    ExpectIntact(damaged, 2);
    ASSERT_GE(damaged.Log.Jumps.size(), 3u);
    EXPECT_LE(damaged.Log.Jumps[2].DecodedLength, recording::kRecordBufferBytes);
  }
}

// The largest body the packed buffer holds is read, whatever it decodes to.
TEST_F(DamagedRecordingTest, BodyOfExactlyThePackedBufferIsRead) {
  std::vector<std::uint8_t> noise(recording::kPackedBufferBytes * 2);
  std::mt19937 random(7);
  for (auto& b : noise) b = static_cast<std::uint8_t>(random());
  std::vector<std::uint8_t> body = tools::EncodeRecordBody(noise);
  body.resize(recording::kPackedBufferBytes);  // ends inside a code
  RecordingWriter writer;
  writer.AddRecord(SmallRecording()[0]);
  writer.AddRawRecord(recording::kPackedBufferBytes, 0, body);
  writer.AddRecord(SmallRecording()[1]);
  const Opened opened = OpenAndWalk(writer.Bytes());
  EXPECT_EQ(opened.Index.size(), 3u);
  ExpectIntact(opened, 1);
}

}  // namespace
}  // namespace sonalyt::damaged
