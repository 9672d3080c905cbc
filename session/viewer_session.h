// The state of one open recording and the steps every front end shares:
// open, load a record, load the governing parameters, refresh the settings
// panel, draw a frame, one playback step, rewind, and the report pictures.
// Widgets are not touched here: each step reports what the window must
// update (settings panel, track bar, note selection).
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "display/canvas.h"
#include "display/readouts.h"
#include "display/reference_curve.h"
#include "display/settings_panel.h"
#include "recording/parameter_block.h"
#include "recording/record_layout.h"
#include "recording/recording_file.h"

namespace sonalyt::session {

// What a load did besides filling the record buffer. Every load is followed
// by the window's track-bar sync.
struct LoadOutcome {
  bool ParametersApplied = false;  // the settings texts and range axis were refreshed
  std::int32_t NoteLine = -1;      // note line the record selects; -1 without notes
  bool operator==(const LoadOutcome&) const = default;
};

struct StepOutcome {
  std::optional<LoadOutcome> Loaded;  // the step loaded a record
  bool Drew = false;                  // the step drew a frame
};

// What a navigation step (previous, next, a jump, the step after opening)
// did, in the order the window brings its controls up to date: settings,
// then track bar and note selection, then the picture.
struct MoveOutcome {
  // The governing load applied a block (the settings texts and range axis
  // were refreshed). A load's own block is reported in Loaded.
  bool GoverningApplied = false;
  // The step loaded a record: the track bar goes to LoadedRecord and the
  // note list selects Loaded->NoteLine.
  std::optional<LoadOutcome> Loaded;
  std::int32_t LoadedRecord = -1;
  // A frame was drawn onto the canvas passed in (readouts rewritten).
  bool Drew = false;
  // Previous/next moved the frame cursor; the window then enables the
  // button for the opposite direction.
  bool Moved = false;

  // Whether the settings texts and range axis changed.
  bool SettingsRefreshed() const {
    return GoverningApplied || (Loaded && Loaded->ParametersApplied);
  }
  bool operator==(const MoveOutcome&) const = default;
};
void PrintTo(const LoadOutcome& outcome, std::ostream* os);
void PrintTo(const MoveOutcome& outcome, std::ostream* os);

// Where the cursors are left after a jump.
enum class JumpCursor {
  // On the frame shown (CurrentRecord = record, CurrentFrame = frame), as the
  // track bar, previous and next leave them.
  OnFrame,
  // Past it, as a playback step leaves them after drawing that frame
  // (CurrentRecord = record + 1, CurrentFrame = frame + 1), so that the next
  // playback step draws the following frame.
  PlayOn,
};

// The record a track-bar position stands for: position * RecordCount /
// (maximum - minimum), or 0 when the range is empty (one record). The
// maximum position gives RecordCount, which stands for the end.
std::int32_t RecordAtTrackBarPosition(std::int64_t position, std::int64_t minimum,
                                      std::int64_t maximum, std::int32_t recordCount);
// The track-bar position that shows record: maximum * record /
// (RecordCount - 1), or 0 with fewer than two records.
std::int64_t TrackBarPositionOfRecord(std::int32_t record, std::int64_t maximum,
                                      std::int32_t recordCount);

class ViewerSession {
 public:
  // The record and frame cursors. They have two meanings, and every step
  // keeps the one it is written for:
  //  - during playback (PlaybackStep, AdvanceAfterOpen, a PlayOn jump) they
  //    point at what comes next: CurrentRecord is the record after the one
  //    loaded and CurrentFrame the next frame slot to draw; CurrentFrame 0
  //    makes the next step load CurrentRecord;
  //  - after a manual move (PreviousFrame, NextFrame, the track bar, a note,
  //    an OnFrame jump) they point at the frame on screen: CurrentRecord is
  //    the record loaded and CurrentFrame the frame drawn.
  // PreviousFrame and NextFrame start from whichever meaning the cursors
  // have, so a move right after a playback step counts from the slot ahead
  // of the frame on screen. Playing on after a manual move loads
  // CurrentRecord again when CurrentFrame returns to 0.
  std::int32_t CurrentRecord = 0;
  std::int32_t CurrentFrame = 0;

  // Opens and scans a recording. Afterwards CurrentRecord is -1 and
  // CurrentFrame 0; nothing is loaded yet. False (with a reason) when the
  // file could not be opened: the recording open before stays open and
  // every cursor keeps its value.
  bool OpenRecording(const std::string& path, std::string* error = nullptr,
                     recording::OpenFailure* failure = nullptr);
  // The same for a recording read from source (a file, or bytes in memory).
  bool OpenRecording(std::unique_ptr<recording::ByteSource> source,
                     std::string* error = nullptr, recording::OpenFailure* failure = nullptr);

  // Loads record CurrentRecord (a negative cursor becomes 0): decodes it,
  // applies its parameter block if it has one (refreshing the settings),
  // sets FramesInRecord, CurrentFrame = 0 and PlayInterval.
  LoadOutcome LoadRecord();

  // Applies the parameter block of record i's governing record; returns
  // whether one was applied (the settings are then refreshed).
  bool LoadGoverningParameters(std::int32_t i);

  // Settings texts and range axis from the parameter copy.
  void RefreshSettingsPanel();

  // The rewind after the end of playback: re-reads RecordCount, sets both
  // cursors to 0, applies the block of the record loaded last again when it
  // has one, and refreshes the settings.
  void Rewind();

  // Frame k of the loaded record: copies its readings, rewrites the readout
  // texts and draws the picture onto wave. Returns false and does nothing
  // when k is not a frame of the loaded record.
  bool DrawFrame(std::int32_t k, display::Canvas& wave);

  // One playback step: loads record CurrentRecord when CurrentFrame is 0
  // (then advances CurrentRecord), then draws CurrentFrame and advances it,
  // or at the record's last frame slot resets CurrentFrame and draws nothing.
  StepOutcome PlaybackStep(display::Canvas& wave);

  // The first half of a playback step after opening: loads record
  // CurrentRecord when CurrentFrame is 0 (then advances CurrentRecord), draws
  // CurrentFrame when it is a frame of the loaded record, and advances
  // CurrentFrame. Does nothing without records.
  MoveOutcome AdvanceAfterOpen(display::Canvas& wave);

  // Previous frame: steps back one frame in the loaded record, or at frame
  // cursor 0 loads the previous record (governing load first) and shows its
  // frame FramesInRecord - 2, the last that playback shows. Nothing at frame
  // cursor 0 of record 0.
  MoveOutcome PreviousFrame(display::Canvas& wave);

  // Next frame: steps on one frame while the cursor is below
  // FramesInRecord - 2; otherwise loads the next record (when there is one
  // below RecordCount) and shows the frame at the cursor, frame 0 after a
  // load.
  MoveOutcome NextFrame(display::Canvas& wave);

  // Jump to frame `frame` of record `record`: the governing load of the
  // record, its load, then DrawFrame(frame). The record is not checked
  // against the index (the loads handle any value as the viewer does); a
  // frame outside the record draws nothing (Drew false). The cursors are
  // left as `cursor` says.
  MoveOutcome JumpTo(std::int32_t record, std::int32_t frame, display::Canvas& wave,
                     JumpCursor cursor = JumpCursor::OnFrame);

  // Note jump: loads the record of note line `line` (no governing load: the
  // note record carries its own block) and draws its frame 0. Nothing when
  // the line is not a note line.
  MoveOutcome JumpToNote(std::int32_t line, display::Canvas& wave);

  // True when the playback loop would stop: CurrentRecord >= RecordCount.
  bool AtEnd() const { return CurrentRecord >= RecordCount(); }

  // The three report pictures of the frame on screen (the frame drawn last).
  void DrawReportImages(display::Canvas& amplitudeScale, display::Canvas& wave,
                        display::Canvas& rangeScale);

  // The empty screen picture and scales shown before any frame.
  static void DrawEmptyPictures(display::Canvas& wave, display::Canvas& amplitudeScale,
                                display::Canvas& rangeScale);
  // The range scale of the current axis.
  void DrawRangeScale(display::Canvas& rangeScale) const;

  const recording::RecordingFile& File() const { return file_; }
  bool FileOpened() const { return file_.FileOpened(); }
  std::int32_t RecordCount() const { return file_.RecordCount(); }
  std::int32_t FramesInRecord() const { return framesInRecord_; }
  std::int32_t PlayInterval() const { return playInterval_; }
  // Index of the frame drawn last (the frame on screen); -1 before the first
  // drawing of a file. The report draws this frame's samples.
  std::int32_t LastDrawnFrame() const { return lastDrawnFrame_; }

  const recording::ParameterBlock& ParameterCopy() const { return parameterCopy_; }
  const recording::FrameReadings& FrameReadings() const { return frameReadings_; }
  const display::CurveState& Curves() const { return curves_; }
  const display::RangeAxis& Axis() const { return axis_; }
  const display::SettingsTexts& Settings() const { return settings_; }
  const display::ReadoutTexts& Readouts() const { return readouts_; }

 private:
  // After an open: cursors at the start, nothing of the new file loaded.
  void ForgetLoadedRecord();

  recording::RecordingFile file_;
  recording::ParameterBlock parameterCopy_{};
  recording::FrameReadings frameReadings_{};
  display::CurveState curves_{};
  display::RangeAxis axis_{};
  display::SettingsTexts settings_{};
  display::ReadoutTexts readouts_ = display::InitialReadouts();
  std::int32_t framesInRecord_ = 0;
  std::int32_t playInterval_ = 0;
  std::int32_t lastDrawnFrame_ = -1;
  std::array<std::uint8_t, recording::kFrameColumns> lastDrawnSamples_{};
};

}  // namespace sonalyt::session
