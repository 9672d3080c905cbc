// Everything a viewer can reach in an open recording, visited through the
// session's own steps: every indexed record by a jump (governing load, then
// load) with all of its frames, loads past the end of the index, moves to the
// previous record, playback from record 0 to its end, the note records and
// the report pictures. The damaged-recordings suite and the whole-file fuzz
// target both use it, so they drive the same paths and check the same
// invariants.
#pragma once

#include <cstdint>
#include <limits>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "display/picture_sizes.h"
#include "display/recording_canvas.h"
#include "recording/parameter_block.h"
#include "recording/record_format.h"
#include "recording/record_layout.h"
#include "session/viewer_session.h"

namespace sonalyt::damaged {

// Picture sizes of the main window's A-scan and of the report's three pictures.
inline constexpr std::int32_t kWaveWidth = display::kWavePicture.Width;
inline constexpr std::int32_t kWaveHeight = display::kWavePicture.Height;
inline constexpr std::int32_t kReportScaleWidth = 25;
inline constexpr std::int32_t kReportWaveWidth = 289;
inline constexpr std::int32_t kReportWaveHeight = 257;
inline constexpr std::int32_t kReportRangeHeight = 25;

// FNV-1a over bytes, so a walk keeps a fingerprint of every picture and
// record instead of the pictures themselves.
class Fingerprint {
 public:
  void Add(std::span<const std::uint8_t> bytes) {
    for (std::uint8_t b : bytes) {
      value_ ^= b;
      value_ *= 1099511628211ull;
    }
  }
  void Add(std::string_view text) {
    Add(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    Add(std::int64_t{static_cast<std::int64_t>(text.size())});
  }
  void Add(std::int64_t v) {
    std::uint8_t bytes[8];
    for (int i = 0; i < 8; ++i) bytes[i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(v) >> (8 * i));
    Add(std::span<const std::uint8_t>(bytes, 8));
  }
  void Add(const display::DrawOp& op) {
    Add(std::int64_t{static_cast<int>(op.kind)});
    Add(std::int64_t{static_cast<std::int64_t>(op.points.size())});
    for (const display::Point& p : op.points) {
      Add(std::int64_t{p.X});
      Add(std::int64_t{p.Y});
    }
    Add(std::int64_t{op.color.Red << 16 | op.color.Green << 8 | op.color.Blue});
    Add(std::int64_t{op.width});
    Add(std::int64_t{static_cast<int>(op.style)});
    Add(op.text);
  }
  void Add(const std::vector<display::DrawOp>& ops) {
    for (const display::DrawOp& op : ops) Add(op);
  }
  std::uint64_t Value() const { return value_; }

 private:
  std::uint64_t value_ = 14695981039346656037ull;
};

// One record as a jump to it shows it.
struct RecordView {
  std::int32_t Record = 0;
  std::int32_t DecodedLength = 0;
  std::int32_t ParamLength = 0;
  std::int32_t FramesInRecord = 0;
  std::uint64_t DecodedBytes = 0;             // fingerprint of the decoded record
  recording::ParameterBlock Parameters{};     // the parameter copy after the load
  std::vector<std::uint64_t> Frames;          // fingerprint of each frame's picture and readouts
  bool operator==(const RecordView&) const = default;
};

inline void PrintTo(const RecordView& v, std::ostream* os) {
  *os << "record " << v.Record << ": decoded " << v.DecodedLength << ", param "
      << v.ParamLength << ", frames " << v.FramesInRecord << ", bytes #" << std::hex
      << v.DecodedBytes << ", base gain " << std::dec << v.Parameters.BaseGain << ", frames #";
  for (std::uint64_t f : v.Frames) *os << ' ' << std::hex << f << std::dec;
}

struct WalkLog {
  std::vector<RecordView> Jumps;         // one per index entry, in order
  std::int32_t PlaybackSteps = 0;
  std::int32_t PlaybackFramesDrawn = 0;
  bool PlaybackReachedEnd = false;       // false when the step cap ended it
  std::vector<std::string> Faults;       // broken invariants, empty when sound
};

// Broken invariants of the open recording's index and note list.
inline void CheckIndex(const session::ViewerSession& session, std::vector<std::string>& faults) {
  const auto& index = session.File().RecordIndex();
  const std::int64_t count = session.RecordCount();
  const std::int64_t bound = count < 1 ? 1 : count + 1;
  if (static_cast<std::int64_t>(index.size()) > bound) {
    faults.push_back("index holds more than RecordCount + 1 entries");
  }
  for (std::size_t i = 0; i < index.size(); ++i) {
    const auto& e = index[i];
    if (e.Length < recording::kRecordHeaderBytes ||
        e.Length > recording::kRecordHeaderBytes + recording::kPackedBufferBytes) {
      faults.push_back("entry " + std::to_string(i) + " has length " + std::to_string(e.Length));
    }
    if (i == 0) {
      if (e.Offset != recording::kFirstRecordOffset || e.ParamOffset != recording::kFirstRecordOffset) {
        faults.push_back("entry 0 does not start at offset 4 with ParamOffset 4");
      }
      continue;
    }
    const auto& p = index[i - 1];
    if (static_cast<std::int64_t>(e.Offset) != static_cast<std::int64_t>(p.Offset) + p.Length) {
      faults.push_back("entry " + std::to_string(i) + " does not follow its predecessor");
    }
    if (e.ParamOffset != e.Offset && e.ParamOffset != p.ParamOffset) {
      faults.push_back("entry " + std::to_string(i) + " has a foreign ParamOffset");
    }
  }
  const auto& noteRecords = session.File().NoteRecords();
  const auto& noteTexts = session.File().NoteTexts();
  if (noteRecords.size() != noteTexts.size()) faults.push_back("note records and texts differ in number");
  for (std::size_t i = 0; i < noteRecords.size(); ++i) {
    if (noteRecords[i] < 0 || noteRecords[i] >= static_cast<std::int64_t>(index.size())) {
      faults.push_back("note " + std::to_string(i) + " names a record outside the index");
    }
    if (i > 0 && noteRecords[i] <= noteRecords[i - 1]) faults.push_back("note records out of order");
  }
  // At most 99 text units of at most two bytes each, cut at the first zero byte.
  for (const std::string& text : noteTexts) {
    if (text.size() > 2 * (recording::kMaxNoteLength + 1)) faults.push_back("note text too long");
    if (text.find('\0') != std::string::npos) faults.push_back("note text holds a zero byte");
  }
}

// Broken invariants of the record loaded last.
inline void CheckLoaded(const session::ViewerSession& session, std::int32_t record,
                        std::vector<std::string>& faults) {
  const auto& file = session.File();
  const std::string where = "after loading record " + std::to_string(record) + ": ";
  if (file.DecodedLength() < 0 || file.DecodedLength() > recording::kRecordBufferBytes) {
    faults.push_back(where + "decoded length " + std::to_string(file.DecodedLength()));
  }
  if (static_cast<std::int64_t>(file.DecodedRecord().size()) != file.DecodedLength()) {
    faults.push_back(where + "decoded record size differs from DecodedLength");
  }
  if (file.ParamLength() < 0 || file.ParamLength() > file.DecodedLength()) {
    faults.push_back(where + "ParamLength " + std::to_string(file.ParamLength()) +
                     " outside the decoded record");
  }
  const std::int32_t frames = session.FramesInRecord();
  if (frames < 0 || frames > recording::kRecordBufferBytes / recording::kFrameBytes ||
      frames != recording::FramesInRecordFor(file.DecodedLength(), file.ParamLength())) {
    faults.push_back(where + "FramesInRecord " + std::to_string(frames));
  }
  if (session.PlayInterval() != recording::PlayIntervalFor(frames)) {
    faults.push_back(where + "PlayInterval " + std::to_string(session.PlayInterval()));
  }
}

// Loads record `record` as a jump does and draws each of its frames.
inline RecordView JumpTo(session::ViewerSession& session, std::int32_t record,
                         std::vector<std::string>& faults) {
  display::RecordingCanvas wave(kWaveWidth, kWaveHeight);
  session.CurrentRecord = record;
  session.LoadGoverningParameters(record);
  session.LoadRecord();
  CheckLoaded(session, record, faults);
  if (session.CurrentFrame != 0) faults.push_back("frame cursor not 0 after a load");
  RecordView view;
  view.Record = record;
  view.DecodedLength = session.File().DecodedLength();
  view.ParamLength = session.File().ParamLength();
  view.FramesInRecord = session.FramesInRecord();
  Fingerprint bytes;
  bytes.Add(session.File().DecodedRecord());
  view.DecodedBytes = bytes.Value();
  view.Parameters = session.ParameterCopy();
  for (std::int32_t k = 0; k < session.FramesInRecord(); ++k) {
    wave.Clear();
    if (!session.DrawFrame(k, wave)) faults.push_back("frame " + std::to_string(k) + " refused");
    Fingerprint frame;
    frame.Add(wave.Ops());
    const auto& r = session.Readouts();
    for (const std::string* t : {&r.LabelPara1, &r.LabelPara2, &r.LabelPara3, &r.LabelPara4}) {
      frame.Add(*t);
    }
    view.Frames.push_back(frame.Value());
  }
  return view;
}

inline void DrawReport(session::ViewerSession& session) {
  display::RecordingCanvas left(kReportScaleWidth, kReportWaveHeight + 24);
  display::RecordingCanvas wave(kReportWaveWidth, kReportWaveHeight);
  display::RecordingCanvas bottom(kReportWaveWidth, kReportRangeHeight);
  session.DrawReportImages(left, wave, bottom);
  display::RecordingCanvas range(kWaveWidth, kReportRangeHeight);
  session.DrawRangeScale(range);
}

// Visits everything; playback is cut after playbackStepCap steps (a
// RecordCount far beyond the index would otherwise play on for ever).
inline WalkLog WalkRecording(session::ViewerSession& session, std::int32_t playbackStepCap) {
  WalkLog log;
  CheckIndex(session, log.Faults);
  const auto indexSize = static_cast<std::int32_t>(session.File().RecordIndex().size());
  display::RecordingCanvas wave(kWaveWidth, kWaveHeight);

  // Jumps, as the track bar makes them.
  for (std::int32_t i = 0; i < indexSize; ++i) log.Jumps.push_back(JumpTo(session, i, log.Faults));

  // Loads past the index read on from the current file position.
  for (std::int32_t i = indexSize; i < indexSize + 3; ++i) JumpTo(session, i, log.Faults);

  // Moves to the previous record, last to first.
  for (std::int32_t i = indexSize; i > 0; --i) {
    session.CurrentRecord = i;
    session.CurrentFrame = 0;
    wave.Clear();
    session.PreviousFrame(wave);
    CheckLoaded(session, i - 1, log.Faults);
  }

  // The note list: each note's record, loaded without a governing load.
  const auto noteLines = static_cast<std::int32_t>(session.File().NoteRecords().size());
  for (std::int32_t line = 0; line < noteLines; ++line) {
    wave.Clear();
    const session::MoveOutcome outcome = session.JumpToNote(line, wave);
    CheckLoaded(session, session.File().NoteRecords()[static_cast<std::size_t>(line)], log.Faults);
    if (!outcome.Loaded) log.Faults.push_back("note line " + std::to_string(line) + " loaded nothing");
  }
  DrawReport(session);

  // Playback from record 0 to the end, loads past the index included.
  session.Rewind();
  while (!session.AtEnd() && log.PlaybackSteps < playbackStepCap) {
    wave.Clear();
    const std::int32_t record = session.CurrentRecord;
    const session::StepOutcome step = session.PlaybackStep(wave);
    if (step.Loaded) CheckLoaded(session, record, log.Faults);
    if (step.Drew) ++log.PlaybackFramesDrawn;
    ++log.PlaybackSteps;
  }
  log.PlaybackReachedEnd = session.AtEnd();
  DrawReport(session);
  CheckIndex(session, log.Faults);
  return log;
}

}  // namespace sonalyt::damaged
