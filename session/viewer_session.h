// The state of one open recording and the steps every front end shares:
// open, load a record, load the governing parameters, refresh the settings
// panel, draw a frame, one playback step, rewind, and the report pictures.
// Widgets are not touched here: each step reports what the window must
// update (settings panel, track bar, note selection).
#pragma once

#include <array>
#include <cstdint>
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

class ViewerSession {
 public:
  // Record and frame cursors; see the window's handlers for their meaning
  // during playback and after manual moves.
  std::int32_t CurrentRecord = 0;
  std::int32_t CurrentFrame = 0;

  // Opens and scans a recording. Afterwards CurrentRecord is -1 and
  // CurrentFrame 0; nothing is loaded yet. False (with a reason) when the
  // file could not be opened: the recording open before stays open and
  // every cursor keeps its value.
  bool OpenRecording(const std::string& path, std::string* error = nullptr);

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
