#include "recording/recording_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "recording/record_layout.h"
#include "recording/scan_reader.h"
#include "tests/recording/test_data.h"
#include "tools/recording_writer.h"

namespace sonalyt::recording {
namespace {

using testing_data::Bytes;
using testing_data::MakeBlock;
using testing_data::MakeFrames;
using tools::RecordingWriter;
using tools::RecordSpec;

RecordSpec Record(int frames, std::uint32_t seed, std::optional<ParameterBlock> block = {},
                  const std::string& note = "") {
  RecordSpec content;
  content.Frames = MakeFrames(frames, seed);
  content.Parameters = block;
  content.NoteUnits = tools::NoteUnits(Bytes(note));
  return content;
}

// Records described by a pattern: 'P' with a parameter area (its block's
// Range is 100 + the record's index), '-' without.
RecordingWriter WriterFor(const std::string& pattern) {
  RecordingWriter writer;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const auto seed = static_cast<std::uint32_t>(i * 10);
    if (pattern[i] == 'P') {
      writer.AddRecord(Record(3, seed, MakeBlock(static_cast<std::uint32_t>(100 + i))));
    } else {
      writer.AddRecord(Record(3, seed));
    }
  }
  return writer;
}

class RecordingFileTest : public testing::Test {
 protected:
  std::string PathFor(const std::string& suffix = "") const {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    return testing::TempDir() + info->test_suite_name() + "_" + info->name() + suffix + ".DAT";
  }
  std::string Write(const std::vector<std::uint8_t>& bytes, const std::string& suffix = "") {
    const std::string path = PathFor(suffix);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    EXPECT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    written_.push_back(path);
    return path;
  }
  std::string Write(const RecordingWriter& writer, const std::string& suffix = "") {
    return Write(writer.Bytes(), suffix);
  }
  void Open(const std::string& path) {
    std::string error;
    ASSERT_TRUE(recording_.OpenRecording(path, &error)) << error;
  }
  // Opens the bytes from memory.
  void Open(const std::vector<std::uint8_t>& bytes) {
    std::string error;
    ASSERT_TRUE(recording_.OpenRecording(std::make_unique<MemoryByteSource>(bytes), &error))
        << error;
  }
  void Open(const RecordingWriter& writer) { Open(writer.Bytes()); }
  void TearDown() override {
    for (const auto& path : written_) std::remove(path.c_str());
  }

  // Entries expected for a file whose records have these body lengths and
  // parameter flags, following the index's chaining rules.
  static std::vector<RecordIndexEntry> ChainedEntries(const std::vector<std::uint8_t>& file,
                                                      std::size_t records) {
    std::vector<RecordIndexEntry> entries;
    std::int32_t offset = 4;
    std::int32_t governing = 4;
    for (std::size_t i = 0; i < records; ++i) {
      const std::uint8_t* header = file.data() + offset;
      const std::int32_t body = header[0] | header[1] << 8 | header[2] << 16 | header[3] << 24;
      const bool params = (header[4] | header[5] << 8) != 0;
      if (params && i > 0) governing = offset;
      entries.push_back({offset, body + 8, governing});
      offset += body + 8;
    }
    return entries;
  }

  // The bytes opened from a file and from memory.
  struct FileAndMemory {
    RecordingFile FromFile;
    RecordingFile FromMemory;
  };
  std::unique_ptr<FileAndMemory> OpenFromFileAndMemory(const std::vector<std::uint8_t>& bytes,
                                                       const std::string& suffix) {
    auto both = std::make_unique<FileAndMemory>();
    EXPECT_TRUE(both->FromFile.OpenRecording(Write(bytes, suffix)));
    EXPECT_TRUE(both->FromMemory.OpenRecording(std::make_unique<MemoryByteSource>(bytes)));
    return both;
  }
  // The same count, index, notes and scan state, then the same loads of
  // these records in this order.
  static void ExpectReadAlike(RecordingFile& a, RecordingFile& b,
                              const std::vector<std::int32_t>& records) {
    EXPECT_EQ(a.RecordCount(), b.RecordCount());
    EXPECT_EQ(a.RecordIndex(), b.RecordIndex());
    EXPECT_EQ(a.NoteRecords(), b.NoteRecords());
    EXPECT_EQ(a.NoteTexts(), b.NoteTexts());
    EXPECT_EQ(a.BodyLength(), b.BodyLength());
    const auto decoded = [](const RecordingFile& file) {
      return std::vector(file.DecodedRecord().begin(), file.DecodedRecord().end());
    };
    EXPECT_EQ(decoded(a), decoded(b));
    for (const std::int32_t record : records) {
      ParameterBlock fromA, fromB;
      EXPECT_EQ(a.LoadRecord(record, fromA), b.LoadRecord(record, fromB)) << record;
      EXPECT_EQ(fromA, fromB);
      EXPECT_EQ(decoded(a), decoded(b));
      EXPECT_EQ(a.LoadGoverningParameters(record, fromA),
                b.LoadGoverningParameters(record, fromB));
      EXPECT_EQ(fromA, fromB);
    }
  }

  RecordingFile recording_;
  ParameterBlock copy_;
  std::vector<std::string> written_;
};

TEST_F(RecordingFileTest, IndexBoundByCountAndShortReads) {
  struct Case {
    const char* name;
    int records;
    std::int32_t recordCount;
    std::size_t cutBytes;                // removed from the end of the file
    std::vector<std::uint8_t> trailing;  // then appended
    std::size_t entries;
  };
  const Case cases[] = {
      {"RecordCount n, n records", 3, 3, 0, {}, 3},
      {"RecordCount n, n + 2 records", 5, 3, 0, {}, 4},
      {"RecordCount 0 still reads the first record", 2, 0, 0, {}, 1},
      {"negative RecordCount", 2, -4, 0, {}, 1},
      {"last record cut short", 3, 3, 5, {}, 2},
      {"last header cut short", 3, 5, 0, {0, 0, 0, 0}, 3},  // BodyLength 0, no ParamLength
      {"no complete record", 1, 1, 1, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto writer = WriterFor(std::string(static_cast<std::size_t>(c.records), '-'));
    writer.SetRecordCount(c.recordCount);
    auto bytes = writer.Bytes();
    const auto expected = ChainedEntries(bytes, c.entries);
    bytes.resize(bytes.size() - c.cutBytes);
    bytes.insert(bytes.end(), c.trailing.begin(), c.trailing.end());
    Open(bytes);
    EXPECT_EQ(recording_.RecordCount(), c.recordCount);
    EXPECT_EQ(recording_.RecordIndex(), expected);
  }
}

TEST_F(RecordingFileTest, ParamOffsetNamesGoverningRecord) {
  for (const std::string pattern : {"P--P-", "-P-", "--"}) {
    SCOPED_TRACE(pattern);
    const auto bytes = WriterFor(pattern).Bytes();
    Open(bytes);
    const auto& index = recording_.RecordIndex();
    ASSERT_EQ(index.size(), pattern.size());
    EXPECT_EQ(index, ChainedEntries(bytes, pattern.size()));
    EXPECT_EQ(index[0].ParamOffset, 4);
    if (pattern == "P--P-") {
      EXPECT_EQ(index[2].ParamOffset, 4);
      EXPECT_EQ(index[4].ParamOffset, index[3].Offset);
    }
  }
}

// Notes at records 5 and 10, a parameter area without a note at 3, 12
// records. RecordCount 10 indexes records 0 to 10: one record more than the
// count, and its note is listed too.
TEST_F(RecordingFileTest, NotesListedInFileOrder) {
  RecordingWriter writer;
  for (std::uint32_t i = 0; i < 12; ++i) {
    if (i == 5) {
      writer.AddRecord(Record(2, i, MakeBlock(5), "\xB0\xA1 5"));
    } else if (i == 10) {
      writer.AddRecord(Record(2, i, MakeBlock(10), "weld 10"));
    } else if (i == 3) {
      writer.AddRecord(Record(2, i, MakeBlock(3)));
    } else {
      writer.AddRecord(Record(2, i));
    }
  }
  writer.SetRecordCount(10);
  Open(writer);
  EXPECT_EQ(recording_.RecordIndex().size(), 11u);
  EXPECT_EQ(recording_.NoteRecords(), (std::vector<std::int32_t>{5, 10}));
  EXPECT_EQ(recording_.NoteTexts(), (std::vector<std::string>{"\xB0\xA1 5", "weld 10"}));

  // Opening a file without notes empties the list and replaces the index.
  Open(WriterFor("P-"));
  EXPECT_TRUE(recording_.NoteRecords().empty());
  EXPECT_TRUE(recording_.NoteTexts().empty());
  EXPECT_EQ(recording_.RecordIndex().size(), 2u);
}

// A long recording whose records all carry a parameter area and a note, with
// one area longer than its decoded record at `bad` (or none). The areas are
// walked beside the reading, also on a second thread, while the reading goes
// on past the bad one; the open must still end exactly there: index, notes,
// the last header and body read, the record last decoded and the file
// position, as if each area had been walked where the scan found it.
TEST_F(RecordingFileTest, ParameterAreaBeyondRecordEndsLongScanThere) {
  constexpr int kRecords = 80;
  const auto badBody = tools::EncodeRecordBody(tools::DecodedRecord(Record(1, 7)));
  const auto lastBody = tools::EncodeRecordBody(tools::DecodedRecord(
      Record(2, 10 * (kRecords - 1), MakeBlock(kRecords - 1), "note " + std::to_string(kRecords - 1))));
  for (const int bad : {-1, 0, 5, 9, 40, 70, kRecords - 1}) {
    SCOPED_TRACE("bad " + std::to_string(bad));
    RecordingWriter writer;
    std::vector<std::string> notes;
    std::vector<std::int32_t> noteRecords;
    for (int i = 0; i < kRecords; ++i) {
      if (i == bad) {
        // Decodes to 600 bytes, but claims a 601-byte area.
        writer.AddRawRecord(static_cast<std::int32_t>(badBody.size()), 601, badBody);
        continue;
      }
      const std::string note = "note " + std::to_string(i);
      writer.AddRecord(Record(2, static_cast<std::uint32_t>(10 * i),
                              MakeBlock(static_cast<std::uint32_t>(i)), note));
      if (bad < 0 || i < bad) {
        notes.push_back(note);
        noteRecords.push_back(i);
      }
    }
    const auto bytes = writer.Bytes();
    Open(bytes);
    const std::size_t indexed = bad < 0 ? kRecords : static_cast<std::size_t>(bad);
    EXPECT_EQ(recording_.RecordIndex(), ChainedEntries(bytes, indexed));
    EXPECT_EQ(recording_.NoteRecords(), noteRecords);
    EXPECT_EQ(recording_.NoteTexts(), notes);
    if (bad < 0) {
      // The last record is the last decoded.
      EXPECT_EQ(recording_.BodyLength(), static_cast<std::int32_t>(lastBody.size()));
      EXPECT_EQ(recording_.DecodedLength(), 2 * kFrameBytes + recording_.ParamLength());
      continue;
    }
    EXPECT_EQ(recording_.BodyLength(), static_cast<std::int32_t>(badBody.size()));
    EXPECT_EQ(recording_.ParamLength(), 601);
    EXPECT_EQ(recording_.DecodedLength(), kFrameBytes);
    // The file stands right behind the bad record: a load past the index
    // reads the record after it.
    if (bad + 1 < kRecords) {
      ParameterBlock copy;
      EXPECT_TRUE(recording_.LoadRecord(bad, copy));
      EXPECT_EQ(copy.Range, MakeBlock(static_cast<std::uint32_t>(bad + 1)).Range);
    }
  }
}

TEST(SelectNoteLine, NoteCoversRecordsUpToNextNote) {
  const std::vector<std::int32_t> notes{5, 10};
  const std::pair<std::int32_t, std::int32_t> cases[] = {
      {7, 0},  {5, 0},  {9, 0},
      {10, 1}, {12, 1}, {2, 1},  // before the first note: the walk ends on the last line
  };
  for (const auto& [record, line] : cases) {
    SCOPED_TRACE(record);
    EXPECT_EQ(SelectNoteLine(notes, record), line);
  }
  EXPECT_EQ(SelectNoteLine({}, 3), -1);
  EXPECT_EQ(SelectNoteLine(std::vector<std::int32_t>{4}, 0), 0);
}

TEST_F(RecordingFileTest, LoadRecordCountsFramesAndAppliesBlock) {
  struct Case {
    const char* name;
    int frames;
    bool params;
    std::int32_t intervalMs;
  };
  const Case cases[] = {
      {"26 frames and a block", 26, true, 40},
      {"one frame without parameters", 1, false, 1000},
      {"11 frames", 11, false, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ParameterBlock block = MakeBlock(777);
    const RecordSpec content = Record(c.frames, 3, c.params ? std::optional(block) : std::nullopt);
    RecordingWriter writer;
    writer.AddRecord(content);
    Open(writer);

    ParameterBlock copy = MakeBlock(1);
    EXPECT_EQ(recording_.LoadRecord(0, copy), c.params);
    EXPECT_EQ(copy, c.params ? block : MakeBlock(1));
    EXPECT_EQ(recording_.DecodedRecord().size(), tools::DecodedRecord(content).size());
    EXPECT_EQ(recording_.FramesInRecord(), c.frames);
    EXPECT_EQ(PlayIntervalFor(recording_.FramesInRecord()), c.intervalMs);
    for (int k = 0; k < c.frames; ++k) {
      const auto frame = recording_.Frame(k);
      ASSERT_TRUE(
          std::ranges::equal(frame, tools::FrameBytes(content.Frames[static_cast<std::size_t>(k)])))
          << "frame " << k;
    }
  }
}

TEST_F(RecordingFileTest, LoadPastIndexDecodesPreviousRecordAgain) {
  Open(WriterFor("P-"));
  ParameterBlock copy;
  recording_.LoadRecord(1, copy);
  const std::vector<std::uint8_t> record1(recording_.DecodedRecord().begin(),
                                          recording_.DecodedRecord().end());
  const std::int32_t body1 = recording_.BodyLength();

  // The file has nothing more to give: header and body stay.
  EXPECT_FALSE(recording_.LoadRecord(2, copy));
  EXPECT_EQ(recording_.BodyLength(), body1);
  EXPECT_TRUE(std::ranges::equal(recording_.DecodedRecord(), record1));
}

// RecordCount 0 indexes one record of three. Past the index, the reads go
// on from where the previous load stopped, so record 2 follows record 1.
TEST_F(RecordingFileTest, LoadPastIndexContinuesAtFilePosition) {
  RecordingWriter writer;
  std::vector<RecordSpec> contents;
  for (std::uint32_t i = 0; i < 3; ++i) contents.push_back(Record(2, 100 * i));
  for (const auto& content : contents) writer.AddRecord(content);
  writer.SetRecordCount(0);
  Open(writer);
  ASSERT_EQ(recording_.RecordIndex().size(), 1u);

  ParameterBlock copy;
  recording_.LoadRecord(0, copy);
  recording_.LoadRecord(1, copy);
  EXPECT_TRUE(std::ranges::equal(recording_.DecodedRecord(), tools::DecodedRecord(contents[1])));
  recording_.LoadRecord(2, copy);
  EXPECT_TRUE(std::ranges::equal(recording_.DecodedRecord(), tools::DecodedRecord(contents[2])));
}

TEST_F(RecordingFileTest, GoverningParameters) {
  Open(WriterFor("P--P-"));
  ParameterBlock copy;
  EXPECT_TRUE(recording_.LoadGoverningParameters(2, copy));
  EXPECT_EQ(copy, MakeBlock(100));
  EXPECT_FALSE(recording_.LoadRecord(2, copy));
  EXPECT_EQ(copy, MakeBlock(100));
  EXPECT_EQ(recording_.FramesInRecord(), 3);

  EXPECT_TRUE(recording_.LoadGoverningParameters(4, copy));
  EXPECT_EQ(copy, MakeBlock(103));
  EXPECT_TRUE(recording_.LoadGoverningParameters(3, copy));
  EXPECT_FALSE(recording_.LoadGoverningParameters(5, copy));
  EXPECT_FALSE(recording_.LoadGoverningParameters(-1, copy));
  EXPECT_EQ(copy, MakeBlock(103));

  // Record 0 without parameters governs itself and applies nothing: the
  // block applied last, from the previous file, stays.
  Open(WriterFor("--P"));
  EXPECT_FALSE(recording_.LoadGoverningParameters(1, copy));
  EXPECT_EQ(copy, MakeBlock(103));
}

// Two good records, a record with a bad header, then a good one.
TEST_F(RecordingFileTest, BadHeaderEndsReadableFile) {
  const auto goodBody = tools::EncodeRecordBody(tools::DecodedRecord(Record(1, 50)));
  struct Case {
    const char* name;
    std::int32_t bodyLength, paramLength;
    std::vector<std::uint8_t> body;
  };
  const Case cases[] = {
      {"BodyLength -1", -1, 0, {}},
      {"BodyLength 6169", 6169, 0, std::vector<std::uint8_t>(6169, 0x30)},
      {"ParamLength -1", static_cast<std::int32_t>(goodBody.size()), -1, goodBody},
      // The body decodes to 600 bytes.
      {"ParamLength beyond DecodedLength", static_cast<std::int32_t>(goodBody.size()), 601,
       goodBody},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingWriter writer = WriterFor("P-");
    writer.AddRawRecord(c.bodyLength, c.paramLength, c.body);
    writer.AddRecord(Record(1, 60, MakeBlock(7), "after"));
    Open(writer);
    EXPECT_EQ(recording_.RecordIndex().size(), 2u);
    EXPECT_TRUE(recording_.NoteTexts().empty());

    // The records before it stay viewable; past them the bad header counts
    // as nothing arrived and record 1 is decoded again.
    ParameterBlock copy;
    EXPECT_FALSE(recording_.LoadRecord(1, copy));
    const std::vector<std::uint8_t> record1(recording_.DecodedRecord().begin(),
                                            recording_.DecodedRecord().end());
    recording_.LoadRecord(2, copy);
    if (c.bodyLength < 0 || c.bodyLength > kPackedBufferBytes) {
      EXPECT_TRUE(std::ranges::equal(recording_.DecodedRecord(), record1));
    }
    EXPECT_GE(recording_.ParamLength(), 0);
    EXPECT_LE(recording_.ParamLength(), recording_.DecodedLength());
    EXPECT_LE(recording_.FramesInRecord() * kFrameBytes, recording_.DecodedLength());
  }
}

// A parameter area of 100 bytes cannot hold the block: the record is
// indexed and its frames are shown, without block and without note.
TEST_F(RecordingFileTest, ParameterAreaShorterThanBlock) {
  auto decoded = tools::DecodedRecord(Record(4, 70));
  decoded.resize(decoded.size() + 100, 3);  // NoteLength byte 3 is not 0
  const auto body = tools::EncodeRecordBody(decoded);
  RecordingWriter writer;
  writer.AddRawRecord(static_cast<std::int32_t>(body.size()), 100, body);
  Open(writer);
  ASSERT_EQ(recording_.RecordIndex().size(), 1u);
  EXPECT_TRUE(recording_.NoteTexts().empty());

  ParameterBlock copy = MakeBlock(5);
  EXPECT_FALSE(recording_.LoadRecord(0, copy));
  EXPECT_EQ(copy, MakeBlock(5));
  EXPECT_EQ(recording_.FramesInRecord(), 4);
}

// A recording read from a file and the same bytes read from memory give the
// same index, notes and loads, also past the index and after a cut.
TEST_F(RecordingFileTest, FileAndMemoryReadAlike) {
  RecordingWriter writer;
  writer.AddRecord(Record(3, 1, MakeBlock(1), "AB"));
  writer.AddRecord(Record(2, 2));
  writer.AddRecord(Record(4, 3, MakeBlock(3), "CD"));
  writer.AddRecord(Record(1, 4));
  std::vector<std::uint8_t> whole = writer.Bytes();
  for (const std::size_t cut : {std::size_t{0}, std::size_t{2}, std::size_t{5}, whole.size() / 2}) {
    SCOPED_TRACE("cut " + std::to_string(cut));
    const std::vector<std::uint8_t> bytes(whole.begin(), whole.end() - static_cast<std::ptrdiff_t>(cut));
    const auto both = OpenFromFileAndMemory(bytes, "_" + std::to_string(cut));
    ExpectReadAlike(both->FromFile, both->FromMemory, {0, 2, 1, 5, 6, 3, 0});
  }
}

// A recording of several read chunks is read ahead on two threads into a
// ring of buffers, with records across the chunks' ends; its index, notes
// and loads must equal those of the same bytes in memory, also when the
// file ends inside a chunk, right at a chunk's end, or in a header or body
// that crosses one.
TEST_F(RecordingFileTest, LongFileReadAheadAsFromMemory) {
  constexpr int kRecords = 600;
  RecordingWriter writer;
  for (int i = 0; i < kRecords; ++i) {
    const auto seed = static_cast<std::uint32_t>(7 * i);
    if (i % 7 == 0) {
      writer.AddRecord(Record(12, seed, MakeBlock(static_cast<std::uint32_t>(i)),
                              i % 21 == 0 ? "n" + std::to_string(i) : ""));
    } else {
      writer.AddRecord(Record(12, seed));
    }
  }
  const std::vector<std::uint8_t> whole = writer.Bytes();
  constexpr std::size_t kChunk = ScanReader::kChunkBytes;
  ASSERT_GT(whole.size(), 4 * kChunk + 4) << "the recording must outgrow the ring of chunks";
  for (const std::size_t size : {whole.size(), 4 * kChunk + 4, 2 * kChunk + 4 + 3,
                                 2 * kChunk + 4 - 5, whole.size() - 1}) {
    SCOPED_TRACE("size " + std::to_string(size));
    const std::vector<std::uint8_t> bytes(whole.begin(),
                                          whole.begin() + static_cast<std::ptrdiff_t>(size));
    const auto both = OpenFromFileAndMemory(bytes, "_" + std::to_string(size));
    const RecordingFile& fromFile = both->FromFile;
    if (size == whole.size()) {
      EXPECT_EQ(fromFile.RecordIndex(), ChainedEntries(whole, kRecords));
      EXPECT_EQ(fromFile.NoteRecords().size(), std::size_t{(kRecords + 20) / 21});
    }
    // Past the index both read on from where the scan stopped.
    const auto past = static_cast<std::int32_t>(fromFile.RecordIndex().size());
    ExpectReadAlike(both->FromFile, both->FromMemory, {past, 0, past - 1, 200});
  }
}

// Bodies whose bytes read like chains of record headers (empty records of
// eight zero bytes, or headers of 16-byte bodies) do not lead the scan
// astray, whichever thread reads a chunk: the index is the file's own chain.
TEST_F(RecordingFileTest, HeaderLookalikesInBodiesLeaveTheIndexAlone) {
  const std::vector<std::uint8_t> zeros(5003, 0);
  std::vector<std::uint8_t> lookalikes;
  while (lookalikes.size() < 4099) {
    const std::uint8_t header[] = {16, 0, 0, 0, 0, 0, 0, 0};
    lookalikes.insert(lookalikes.end(), std::begin(header), std::end(header));
    lookalikes.insert(lookalikes.end(), 16, 0xAB);
  }
  constexpr int kRecords = 400;
  RecordingWriter writer;
  for (int i = 0; i < kRecords; ++i) {
    const auto& body = i % 3 == 0 ? lookalikes : zeros;
    writer.AddRawRecord(static_cast<std::int32_t>(body.size()), 0, body);
  }
  const std::vector<std::uint8_t> whole = writer.Bytes();
  ASSERT_GT(whole.size(), 4 * ScanReader::kChunkBytes);
  const auto both = OpenFromFileAndMemory(whole, "_lookalikes");
  EXPECT_EQ(both->FromFile.RecordIndex(), ChainedEntries(whole, kRecords));
  ExpectReadAlike(both->FromFile, both->FromMemory, {kRecords, 0, 1, 200});
}

TEST(ByteSourceTest, ReadsWithinTheBytesOnly) {
  MemoryByteSource source({1, 2, 3, 4, 5});
  EXPECT_EQ(source.Size(), 5);
  std::vector<std::uint8_t> out(4, 0);
  EXPECT_EQ(source.ReadAt(3, out), 2u);
  EXPECT_EQ(out, (std::vector<std::uint8_t>{4, 5, 0, 0}));
  EXPECT_EQ(source.ReadAt(5, out), 0u);
  EXPECT_EQ(source.ReadAt(-1, out), 0u);
  EXPECT_EQ(source.ReadAt(std::int64_t{1} << 40, out), 0u);
  EXPECT_EQ(source.ReadAt(0, out), 4u);
  EXPECT_EQ(out, (std::vector<std::uint8_t>{1, 2, 3, 4}));
}

TEST_F(RecordingFileTest, MissingFile) {
  auto writer = WriterFor("P--");
  writer.SetRecordCount(3);
  Open(writer);

  const std::string missing = PathFor("_missing");
  std::string error;
  EXPECT_FALSE(recording_.OpenRecording(missing, &error));
  EXPECT_NE(error.find(missing), std::string::npos) << error;
  // The recording open before stays open, index and notes included.
  EXPECT_TRUE(recording_.FileOpened());
  EXPECT_EQ(recording_.RecordIndex().size(), 3u);
  EXPECT_EQ(recording_.NoteRecords().size(), 0u);
  EXPECT_EQ(recording_.RecordCount(), 3);
  ParameterBlock copy;
  EXPECT_TRUE(recording_.LoadRecord(0, copy)) << "the open file still loads";
}

}  // namespace
}  // namespace sonalyt::recording
