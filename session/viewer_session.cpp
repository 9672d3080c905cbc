#include "session/viewer_session.h"

#include <algorithm>
#include <limits>
#include <ostream>

#include "display/frame_image.h"
#include "display/report_images.h"

namespace sonalyt::session {
namespace {

std::int32_t ClampToInt32(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

void PrintTo(const LoadOutcome& o, std::ostream* os) {
  *os << "{ParametersApplied=" << o.ParametersApplied << " NoteLine=" << o.NoteLine << "}";
}

void PrintTo(const MoveOutcome& o, std::ostream* os) {
  *os << "{GoverningApplied=" << o.GoverningApplied << " Loaded=";
  if (o.Loaded) {
    PrintTo(*o.Loaded, os);
  } else {
    *os << "none";
  }
  *os << " LoadedRecord=" << o.LoadedRecord << " Drew=" << o.Drew << " Moved=" << o.Moved << "}";
}

std::int32_t RecordAtTrackBarPosition(std::int64_t position, std::int64_t minimum,
                                      std::int64_t maximum, std::int32_t recordCount) {
  // With one record the range is empty: every position is record 0.
  const std::int64_t range = maximum - minimum;
  return range > 0 ? ClampToInt32(position * recordCount / range) : 0;
}

std::int64_t TrackBarPositionOfRecord(std::int32_t record, std::int64_t maximum,
                                      std::int32_t recordCount) {
  return recordCount < 2 ? 0 : maximum * record / (std::int64_t{recordCount} - 1);
}

bool ViewerSession::OpenRecording(const std::string& path, std::string* error,
                                  recording::OpenFailure* failure) {
  // A file that cannot be opened leaves the open recording and the cursors
  // as they were.
  if (!file_.OpenRecording(path, error, failure)) return false;
  ForgetLoadedRecord();
  return true;
}

bool ViewerSession::OpenRecording(std::unique_ptr<recording::ByteSource> source,
                                  std::string* error, recording::OpenFailure* failure) {
  if (!file_.OpenRecording(std::move(source), error, failure)) return false;
  ForgetLoadedRecord();
  return true;
}

void ViewerSession::ForgetLoadedRecord() {
  CurrentRecord = -1;
  CurrentFrame = 0;
  // Nothing of the new file is loaded yet: no frame of the record buffer
  // belongs to it.
  framesInRecord_ = 0;
  lastDrawnFrame_ = -1;
  lastDrawnSamples_.fill(0);
}

LoadOutcome ViewerSession::LoadRecord() {
  if (CurrentRecord < 0) CurrentRecord = 0;
  LoadOutcome outcome;
  outcome.ParametersApplied = file_.LoadRecord(CurrentRecord, parameterCopy_);
  if (outcome.ParametersApplied) RefreshSettingsPanel();
  framesInRecord_ = file_.FramesInRecord();
  CurrentFrame = 0;
  outcome.NoteLine = recording::SelectNoteLine(file_.NoteRecords(), CurrentRecord);
  playInterval_ = recording::PlayIntervalFor(framesInRecord_);
  return outcome;
}

bool ViewerSession::LoadGoverningParameters(std::int32_t i) {
  const bool applied = file_.LoadGoverningParameters(i, parameterCopy_);
  if (applied) RefreshSettingsPanel();
  return applied;
}

void ViewerSession::RefreshSettingsPanel() {
  display::ShowGainFields(parameterCopy_, settings_);
  display::ShowProbeFields(parameterCopy_, settings_);
  display::ShowBasicFields(parameterCopy_, settings_, axis_);
}

void ViewerSession::Rewind() {
  file_.ReadRecordCount();
  CurrentRecord = 0;
  CurrentFrame = 0;
  // The record loaded last is still in the record buffer; its own block, if
  // it has one, is put back in force before playback starts again.
  if (file_.ParamLength() != 0) {
    recording::ApplyParameterBlock(file_.DecodedRecord(), file_.ParamLength(), parameterCopy_);
  }
  RefreshSettingsPanel();
}

bool ViewerSession::DrawFrame(std::int32_t k, display::Canvas& wave) {
  if (k < 0 || k >= framesInRecord_) return false;
  const auto frame = file_.Frame(k);
  frameReadings_ = recording::ReadFrameReadings(frame);
  readouts_ = display::UpdateReadouts(frameReadings_, parameterCopy_);
  display::DrawFrame(wave, frame.first<recording::kFrameColumns>(), frameReadings_,
                     parameterCopy_, curves_);
  std::copy_n(frame.begin(), recording::kFrameColumns, lastDrawnSamples_.begin());
  lastDrawnFrame_ = k;
  return true;
}

StepOutcome ViewerSession::PlaybackStep(display::Canvas& wave) {
  StepOutcome outcome;
  if (CurrentFrame == 0) {
    outcome.Loaded = LoadRecord();
    ++CurrentRecord;
  }
  if (CurrentFrame < framesInRecord_ - 1) {
    outcome.Drew = DrawFrame(CurrentFrame, wave);
    ++CurrentFrame;
  } else {
    CurrentFrame = 0;
  }
  return outcome;
}

MoveOutcome ViewerSession::AdvanceAfterOpen(display::Canvas& wave) {
  MoveOutcome outcome;
  if (RecordCount() == 0) return outcome;
  if (CurrentFrame == 0) {
    outcome.Loaded = LoadRecord();
    outcome.LoadedRecord = CurrentRecord;
    ++CurrentRecord;
  }
  if (CurrentFrame < framesInRecord_) outcome.Drew = DrawFrame(CurrentFrame, wave);
  ++CurrentFrame;
  return outcome;
}

MoveOutcome ViewerSession::PreviousFrame(display::Canvas& wave) {
  MoveOutcome outcome;
  if (CurrentFrame > 0) {
    --CurrentFrame;
    outcome.Drew = DrawFrame(CurrentFrame, wave);
    outcome.Moved = true;
    return outcome;
  }
  if (CurrentRecord <= 0) return outcome;
  --CurrentRecord;
  outcome.GoverningApplied = LoadGoverningParameters(CurrentRecord);
  outcome.Loaded = LoadRecord();
  outcome.LoadedRecord = CurrentRecord;
  // Playback never shows a record's last frame slot; previous goes to the
  // last frame it does show.
  if (framesInRecord_ >= 2) {
    CurrentFrame = framesInRecord_ - 2;
    outcome.Drew = DrawFrame(CurrentFrame, wave);
    outcome.Moved = true;
  }
  return outcome;
}

MoveOutcome ViewerSession::NextFrame(display::Canvas& wave) {
  MoveOutcome outcome;
  if (CurrentFrame < framesInRecord_ - 2) {
    ++CurrentFrame;
    outcome.Drew = DrawFrame(CurrentFrame, wave);
    outcome.Moved = true;
    return outcome;
  }
  if (std::int64_t{CurrentRecord} < std::int64_t{RecordCount()} - 1) {
    ++CurrentRecord;
    outcome.Loaded = LoadRecord();
    outcome.LoadedRecord = CurrentRecord;
  }
  if (CurrentFrame < framesInRecord_) {
    outcome.Drew = DrawFrame(CurrentFrame, wave);
    outcome.Moved = true;
  }
  return outcome;
}

MoveOutcome ViewerSession::JumpTo(std::int32_t record, std::int32_t frame, display::Canvas& wave,
                                  JumpCursor cursor) {
  MoveOutcome outcome;
  CurrentRecord = record;
  outcome.GoverningApplied = LoadGoverningParameters(CurrentRecord);
  outcome.Loaded = LoadRecord();
  outcome.LoadedRecord = CurrentRecord;
  CurrentFrame = frame;
  outcome.Drew = DrawFrame(frame, wave);
  if (cursor == JumpCursor::PlayOn) {
    ++CurrentRecord;
    ++CurrentFrame;
  }
  return outcome;
}

MoveOutcome ViewerSession::JumpToNote(std::int32_t line, display::Canvas& wave) {
  MoveOutcome outcome;
  const auto& noteRecords = file_.NoteRecords();
  if (line < 0 || line >= static_cast<std::int32_t>(noteRecords.size())) return outcome;
  CurrentRecord = noteRecords[static_cast<std::size_t>(line)];
  outcome.Loaded = LoadRecord();
  outcome.LoadedRecord = CurrentRecord;
  outcome.Drew = DrawFrame(CurrentFrame, wave);
  return outcome;
}

void ViewerSession::DrawReportImages(display::Canvas& amplitudeScale, display::Canvas& wave,
                                     display::Canvas& rangeScale) {
  display::DrawReportAmplitudeScale(amplitudeScale, wave.Height());
  display::DrawReportRangeScale(rangeScale, axis_);
  // The frame on screen is the one drawn last; the frame cursor may already
  // point at the next one (after opening, or when playback was stopped), and
  // the record buffer may since hold another record.
  display::DrawReportWave(wave, lastDrawnSamples_, frameReadings_, parameterCopy_, curves_);
}

void ViewerSession::DrawEmptyPictures(display::Canvas& wave, display::Canvas& amplitudeScale,
                                      display::Canvas& rangeScale) {
  display::DrawEmptyFrame(wave);
  display::DrawAmplitudeScale(amplitudeScale, wave.Height());
  display::DrawEmptyRangeScale(rangeScale);
}

void ViewerSession::DrawRangeScale(display::Canvas& rangeScale) const {
  display::DrawRangeScale(rangeScale, axis_);
}

}  // namespace sonalyt::session
